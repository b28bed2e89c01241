// Stepping the value as a user does: mouse clicks and holds on the up-down control's arrows (the
// control itself reports each step to the window) and wheel messages sent to the focused control,
// which hands them on to the window.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "res/resource.h"
#include "tests/support/converter_session.h"
#include "ui/converter_dialog.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace uitest;

namespace {

enum Arrow { kUp, kDown };

// A point in the upper or lower half of the up-down control, in its client coordinates.
POINT ArrowPoint(HWND spin, Arrow arrow) {
    RECT r;
    GetClientRect(spin, &r);
    return {r.right / 2, arrow == kUp ? r.bottom / 4 : r.bottom * 3 / 4};
}

void ClickArrow(HWND dlg, Arrow arrow) {
    HWND spin = GetDlgItem(dlg, IDC_SPIN);
    POINT p = ArrowPoint(spin, arrow);
    ClickAt(spin, p.x, p.y);
}

// Clicks given as a string of 'u' and 'd'.
void ClickArrows(HWND dlg, const std::string& clicks) {
    for (char c : clicks) ClickArrow(dlg, c == 'u' ? kUp : kDown);
}

// Keeps the button down on an arrow for `ms` so the control's own timer repeats, then releases.
void HoldArrow(HWND dlg, Arrow arrow, DWORD ms) {
    HWND spin = GetDlgItem(dlg, IDC_SPIN);
    POINT p = ArrowPoint(spin, arrow);
    POINT screen = p;
    ClientToScreen(spin, &screen);
    SetCursorPos(screen.x, screen.y);  // a move the control sees must not find the mouse elsewhere
    Pump();
    PostMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) Pump();
    PostMessageA(spin, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    Pump();
}


// One wheel message to the control with the focus, as the platform delivers it.
void Wheel(short delta, UINT keys = 0) {
    HWND target = GetFocus();
    SendMessageA(target, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)), MAKELPARAM(10, 10));
    Pump();
}

int SpinPos(HWND dlg) {
    return static_cast<short>(LOWORD(SendDlgItemMessageA(dlg, IDC_SPIN, UDM_GETPOS, 0, 0)));
}

}  // namespace

TEST_CASE("the up-down control starts at 0 in the range -1 to 1 and never accelerates") {
    Session s;
    s.Run([&](HWND dlg) {
        CHECK(SpinPos(dlg) == 0);
        CHECK(static_cast<uint32_t>(SendDlgItemMessageA(dlg, IDC_SPIN, UDM_GETRANGE, 0, 0)) == 0xFFFF0001u);  // upper limit in the low word
        UDACCEL accel[4]{};
        CHECK(SendDlgItemMessageA(dlg, IDC_SPIN, UDM_GETACCEL, 4, reinterpret_cast<LPARAM>(accel)) == 1);
        CHECK(accel[0].nSec == 1);
        CHECK(accel[0].nInc == 1);
        CHECK(s.dlg.Converter().WheelDelta() == 0);
    });
}

TEST_CASE("arrow clicks step the value by the increment with 32-bit wrap-around") {
    struct Row {
        uint32_t increment;
        const char* start;  // typed into Dec first; the first click commits it
        int width;
        std::string clicks;
        uint32_t value;
        const char* dec;
        const char* hex;
    };
    const Row rows[] = {
        {1, "", IDC_LONG, "d", 0xFFFFFFFF, "-1", "FFFFFFFF"},
        {1, "", IDC_LONG, "u", 1, "1", "1"},
        {1, "", IDC_LONG, "uuud", 2, "2", "2"},
        {16, "", IDC_LONG, "uu", 32, "32", "20"},
        {134217728, "", IDC_LONG, std::string(16, 'u'), 0x80000000, "-2147483648", "80000000"},
        {134217728, "", IDC_WORD, std::string(32, 'u'), 0, "0", "0"},
        {134217728, "", IDC_LONG, std::string(32, 'u'), 0, "0", "0"},
        {134217728, "67108864", IDC_LONG, std::string(32, 'u'), 0x4000000, "67108864", "4000000"},
        {134217728, "67108864", IDC_LONG, std::string(32, 'd'), 0x4000000, "67108864", "4000000"},
        {3000000000u, "", IDC_LONG, "u", 3000000000u, "-1294967296", "B2D05E00"},
        {3000000000u, "", IDC_LONG, "d", 1294967296u, "1294967296", "4D2FA200"},
        {0xFFFFFFFF, "", IDC_LONG, "u", 0xFFFFFFFF, "-1", "FFFFFFFF"},
        {0, "7", IDC_LONG, "uud", 7, "7", "7"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.increment);
        CAPTURE(row.clicks);
        Session s;
        s.Run([&](HWND dlg) {
            s.dlg.Converter().Options().nIncrement = row.increment;
            if (row.width != IDC_LONG) {
                Click(GetDlgItem(dlg, row.width));
                Key('D', kAlt);
            }
            Type(row.start);
            ClickArrows(dlg, row.clicks);
            CHECK(s.dlg.Converter().Number().GetValue() == row.value);
            CHECK(Text(dlg, IDC_DEC) == row.dec);
            CHECK(Text(dlg, IDC_HEX) == row.hex);
            // The control's own position is put back to 0 at every report, then moved by it.
            if (!row.clicks.empty()) CHECK(SpinPos(dlg) == (row.clicks.back() == 'u' ? 1 : -1));
            CHECK(FocusId() == IDC_DEC);  // the control takes no focus
        });
    }
}

TEST_CASE("in a narrow width a step works on all 32 bits and the fields show the narrowed value") {
    Session s;
    s.Run([&](HWND dlg) {
        Type("255");
        Click(GetDlgItem(dlg, IDC_CHAR));  // takes the focus, so 255 is committed first
        ClickArrow(dlg, kUp);
        CHECK(s.dlg.Converter().Number().GetValue() == 0x100u);
        CHECK(Text(dlg, IDC_DEC) == "0");
        CHECK(Text(dlg, IDC_HEX) == "0");
        ClickArrow(dlg, kDown);
        CHECK(Text(dlg, IDC_DEC) == "-1");
        ClickArrow(dlg, kUp);
        Click(GetDlgItem(dlg, IDC_LONG));
        CHECK(Text(dlg, IDC_DEC) == "256");
        CHECK(Text(dlg, IDC_HEX) == "100");
    });
}

TEST_CASE("text typed into the focused field is committed before the step") {
    struct Row {
        const char* typed;
        uint32_t increment;
        std::string clicks;
        const char* dec;
        size_t beeps;
    };
    const Row rows[] = {
        {"100", 1, "u", "101", 0},
        {"100", 7, "d", "93", 0},
        {"100", 1, "uu", "102", 0},  // the second click finds nothing pending
        {"12a", 1, "u", "1", 1},     // refused: one beep, the step applies to the old value
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.typed));
        CAPTURE(row.clicks);
        Session s;
        s.Run([&](HWND dlg) {
            s.dlg.Converter().Options().nIncrement = row.increment;
            Type(row.typed);
            CHECK(Modified(dlg, IDC_DEC));
            ClickArrows(dlg, row.clicks);
            CHECK(Text(dlg, IDC_DEC) == row.dec);
            CHECK(FocusId() == IDC_DEC);
            CHECK_FALSE(Modified(dlg, IDC_DEC));
            CHECK(s.services.beeps.size() == row.beeps);
        });
    }
}

TEST_CASE("holding an arrow keeps stepping past the ends of the control's range") {
    struct Row {
        Arrow arrow;
        int32_t sign;
    };
    for (const Row& row : {Row{kUp, 1}, Row{kDown, -1}}) {
        CAPTURE(row.sign);
        Session s;
        s.Run([&](HWND dlg) {
            s.dlg.Converter().Options().nIncrement = 10;
            HoldArrow(dlg, row.arrow, 3000);
            int32_t value = static_cast<int32_t>(s.dlg.Converter().Number().GetValue());
            CHECK(value % 10 == 0);
            CHECK(value * row.sign >= 30);  // the first press and at least two repeats
            CHECK(Text(dlg, IDC_DEC) == std::to_string(value));
            // Released: no more steps.
            for (DWORD start = GetTickCount(); GetTickCount() - start < 1500;) Pump();
            CHECK(static_cast<int32_t>(s.dlg.Converter().Number().GetValue()) == value);
            CHECK(SpinPos(dlg) == row.sign);
        });
    }
}

TEST_CASE("wheel messages collect in a 16-bit accumulator and make at most one step each") {
    struct Row {
        const char* name;
        uint32_t increment;
        UINT keys;
        std::vector<short> deltas;
        std::vector<uint32_t> values;  // after each message
        int16_t leftOver;
    };
    const Row rows[] = {
        {"+60, +60: one step at the second", 1, 0, {60, 60}, {0, 1}, 0},
        {"+60, -60: none", 1, 0, {60, -60}, {0, 0}, 0},
        {"+240: one step, not two", 1, 0, {240}, {1}, 0},
        {"-120: one step down", 1, 0, {-120}, {0xFFFFFFFF}, 0},
        {"+119, -239: one step down at -120", 1, 0, {119, -239}, {0, 0xFFFFFFFF}, 0},
        {"+100, +32700 wraps to -32736: one step down", 1, 0, {100, 32700}, {0, 0xFFFFFFFF}, 0},
        {"-100, -32700 wraps to +32736: one step up", 1, 0, {-100, -32700}, {0, 1}, 0},
        {"+100, +10: no step, 110 left over", 1, 0, {100, 10}, {0, 0}, 110},
        {"the increment steps the wheel", 1000, 0, {120, 120, -120}, {1000, 2000, 1000}, 0},
        {"middle button: by 1", 1000, MK_MBUTTON, {120, 120, -360}, {1, 2, 1}, 0},
        {"middle button among others: by 1", 1000, MK_MBUTTON | MK_SHIFT, {-120}, {0xFFFFFFFF}, 0},
        {"other keys: by the increment", 1000, MK_SHIFT | MK_CONTROL, {-120}, {0xFFFFFC18}, 0},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.name));
        Session s;
        s.Run([&](HWND dlg) {
            s.dlg.Converter().Options().nIncrement = row.increment;
            for (size_t i = 0; i < row.deltas.size(); ++i) {
                CAPTURE(i);
                Wheel(row.deltas[i], row.keys);
                CHECK(s.dlg.Converter().Number().GetValue() == row.values[i]);
            }
            CHECK(s.dlg.Converter().WheelDelta() == row.leftOver);
            if (row.values.back() != 0)
                CHECK(Text(dlg, IDC_DEC) == std::to_string(static_cast<int32_t>(row.values.back())));
        });
    }
}

TEST_CASE("the wheel reaches the window from any focused control") {
    for (int id : {IDC_LONG, IDC_WORD, IDC_SIGNED, IDC_CLEAR, IDC_DEC, IDC_IP}) {
        CAPTURE(id);
        Session s;
        s.Run([&](HWND dlg) {
            SetFocus(GetDlgItem(dlg, id));
            Pump();
            REQUIRE(FocusId() == id);
            Wheel(120);
            CHECK(s.dlg.Converter().Number().GetValue() == 1u);
            CHECK(Text(dlg, IDC_HEX) == "1");
        });
    }
}

TEST_CASE("a wheel message commits a modified field whether or not it steps") {
    struct Row {
        short delta;
        const char* dec;
        int16_t leftOver;
    };
    for (const Row& row : {Row{60, "42", 60}, Row{120, "43", 0}, Row{-120, "41", 0}}) {
        CAPTURE(row.delta);
        Session s;
        s.Run([&](HWND dlg) {
            Type("42");
            Wheel(row.delta);
            CHECK(Text(dlg, IDC_DEC) == row.dec);
            CHECK(Text(dlg, IDC_HEX) != "");  // all fields were refreshed
            CHECK_FALSE(Modified(dlg, IDC_DEC));
            CHECK(s.dlg.Converter().WheelDelta() == row.leftOver);
        });
    }
}

TEST_CASE("a partial wheel turn outlives arrow clicks and typing") {
    Session s;
    s.Run([&](HWND dlg) {
        Wheel(60);
        ClickArrow(dlg, kUp);
        CHECK(s.dlg.Converter().WheelDelta() == 60);
        SendDlgItemMessageA(dlg, IDC_DEC, EM_SETSEL, 0, -1);
        Type("5");
        Key(VK_TAB);
        REQUIRE(Text(dlg, IDC_DEC) == "5");
        CHECK(s.dlg.Converter().WheelDelta() == 60);
        Wheel(60);
        CHECK(s.dlg.Converter().Number().GetValue() == 6u);
        CHECK(s.dlg.Converter().WheelDelta() == 0);
    });
}
