// The colour swatch driven with the real pointer: presses, drags and double-clicks go through
// the system's input queue, and what the swatch shows is read back from the screen itself.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "app/converter_app.h"
#include "res/resource.h"
#include "tests/support/ui_driver.h"
#include "ui/converter_dialog.h"

#include <string>
#include <vector>

using namespace uitest;

namespace {

// ---- Pointer and screen ------------------------------------------------------------------


DWORD g_lastPress = 0;

void SendMouse(DWORD flags, POINT screen = {}) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    // Absolute positions are 0..65535 across the screen; round up so the pointer lands on the pixel.
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = (screen.x * 65536 + w - 1) / w;
    in.mi.dy = (screen.y * 65536 + h - 1) / h;
    in.mi.dwFlags = flags;
    REQUIRE(SendInput(1, &in, sizeof in) == 1);
    Pump();
}

void MoveTo(POINT screen) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
    POINT at{};
    GetCursorPos(&at);
    REQUIRE(at.x == screen.x);
    REQUIRE(at.y == screen.y);
}

// A press that must not pair with the previous one into a double-click.
void LeftDown() {
    while (GetTickCount() - g_lastPress <= GetDoubleClickTime()) Sleep(20);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    g_lastPress = GetTickCount();
}
void LeftUp() { SendMouse(MOUSEEVENTF_LEFTUP); }

// Press, release and press again as one input, with the system's times given: the second press
// falls within the double-click time however late this thread gets to run.
void DoubleClickPress() {
    while (GetTickCount() - g_lastPress <= GetDoubleClickTime()) Sleep(20);
    const DWORD now = GetTickCount();
    const DWORD flags[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN};
    INPUT in[3]{};
    for (int i = 0; i < 3; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dwFlags = flags[i];
        in[i].mi.time = now + 10 * static_cast<DWORD>(i);
    }
    REQUIRE(SendInput(3, in, sizeof(INPUT)) == 3);
    g_lastPress = now + 20;
    Pump();
}
void RightDown() { SendMouse(MOUSEEVENTF_RIGHTDOWN); }
void RightUp() { SendMouse(MOUSEEVENTF_RIGHTUP); }

// A corner of the desktop that no window of ours covers: keys and uitest::Pump work again
// once the pointer rests here.
POINT ParkingPoint() { return {GetSystemMetrics(SM_CXSCREEN) - 3, GetSystemMetrics(SM_CYSCREEN) - 3}; }
void Park() { MoveTo(ParkingPoint()); }

COLORREF ScreenPixel(POINT screen) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, screen.x, screen.y);
    ReleaseDC(nullptr, dc);
    return c;
}

// ---- The swatch --------------------------------------------------------------------------

HWND Swatch(HWND dlg) { return GetDlgItem(dlg, IDC_COLOR); }

POINT SwatchPoint(HWND dlg, int dx = 0, int dy = 0) {
    RECT r;
    GetClientRect(Swatch(dlg), &r);
    POINT p{r.right / 2 + dx, r.bottom / 2 + dy};
    ClientToScreen(Swatch(dlg), &p);
    return p;
}

// Every client pixel of the swatch as the screen shows it, after any pending redraw.
std::vector<COLORREF> SwatchPixels(HWND dlg) {
    UpdateWindow(Swatch(dlg));
    Pump();
    RECT r;
    GetClientRect(Swatch(dlg), &r);
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(nullptr);
    for (LONG y = 0; y < r.bottom; ++y)
        for (LONG x = 0; x < r.right; ++x) {
            POINT p{x, y};
            ClientToScreen(Swatch(dlg), &p);
            pixels.push_back(GetPixel(dc, p.x, p.y));
        }
    ReleaseDC(nullptr, dc);
    return pixels;
}

COLORREF Shown(HWND dlg) {
    UpdateWindow(Swatch(dlg));
    Pump();
    return ScreenPixel(SwatchPoint(dlg));
}

bool AllAre(const std::vector<COLORREF>& pixels, COLORREF c) {
    for (COLORREF p : pixels)
        if (p != c) return false;
    return !pixels.empty();
}

// The one-pixel checkerboard: neighbours across differ, neighbours along a diagonal agree.
bool IsCheckerboard(HWND dlg) {
    UpdateWindow(Swatch(dlg));
    Pump();
    POINT o = SwatchPoint(dlg, -2, -2);
    COLORREF a = ScreenPixel(o), b = ScreenPixel({o.x + 1, o.y});
    if (a == b) return false;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            if (ScreenPixel({o.x + x, o.y + y}) != (((x + y) % 2) ? b : a)) return false;
    return true;
}

// Brings the dialog's centre to the screen's centre, so there is screen on every side of it.
void CentreOnScreen(HWND dlg) {
    RECT r;
    GetWindowRect(dlg, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(dlg, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    Pump();
}

// ---- Windows of a known colour -----------------------------------------------------------

// A plain popup filled with one colour, to be picked from.
class ColourWindow {
public:
    ColourWindow(COLORREF colour, POINT centre, int size = 60) : m_brush(CreateSolidBrush(colour)), m_centre(centre) {
        static const char* const kClass = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                if (m != WM_ERASEBKGND) return DefWindowProcA(h, m, w, l);
                RECT r;
                GetClientRect(h, &r);
                FillRect(reinterpret_cast<HDC>(w), &r, reinterpret_cast<HBRUSH>(GetWindowLongPtrA(h, GWLP_USERDATA)));
                return 1;
            };
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.lpszClassName = "SwatchTestColour";
            RegisterClassA(&wc);
            return "SwatchTestColour";
        }();
        m_hWnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClass, "", WS_POPUP,
                                 centre.x - size / 2, centre.y - size / 2, size, size, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_brush));
        ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        UpdateWindow(m_hWnd);
        Pump();
    }
    ~ColourWindow() {
        DestroyWindow(m_hWnd);
        DeleteObject(m_brush);
    }
    ColourWindow(const ColourWindow&) = delete;
    ColourWindow& operator=(const ColourWindow&) = delete;

    POINT Centre() const { return m_centre; }

private:
    HBRUSH m_brush;
    POINT m_centre;
    HWND m_hWnd = nullptr;
};

// ---- The dialog ----------------------------------------------------------------------------

struct Pick {
    WPARAM id;
    LPARAM colour;
    bool operator==(const Pick&) const = default;
};

// One run of the real window; every WM_COLORPICKED that reaches it is recorded on its way in.
struct Session {
    CleanOptions options;
    RecordingServices services;
    CConverterDlg dlg;
    std::vector<Pick> picks;

    Session() { theApp.m_pMainWnd = &dlg; }
    ~Session() { theApp.m_pMainWnd = nullptr; }

    INT_PTR Run(const std::function<void(HWND)>& script) {
        return RunModal(dlg, [&](HWND h) {
            SetWindowSubclass(h, Spy, 1, reinterpret_cast<DWORD_PTR>(this));
            // Whatever an earlier run left pressed is let go away from our windows.
            Park();
            SendMouse(MOUSEEVENTF_LEFTUP);
            SendMouse(MOUSEEVENTF_RIGHTUP);
            script(h);
            Park();
            RemoveWindowSubclass(h, Spy, 1);
        });
    }

    static LRESULT CALLBACK Spy(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
        if (m == WM_COLORPICKED) reinterpret_cast<Session*>(self)->picks.push_back({w, l});
        return DefSubclassProc(h, m, w, l);
    }
};

// Commits a hexadecimal value through the Hex field, as typed; the focus moves on to Text.
void SetValueByHex(const std::string& hex) {
    Key('H', kAlt);
    Type(hex);
    Key(VK_TAB);
}

bool Picking(Session& s) { return s.dlg.Swatch().IsPicking(); }

// Presses on the swatch and moves one pixel, which starts a pick.
void StartPick(HWND dlg) {
    MoveTo(SwatchPoint(dlg));
    LeftDown();
    MoveTo(SwatchPoint(dlg, -1, 0));
}

HWND ColourDialogOf(HWND owner, HWND candidate) {
    char cls[16] = "";
    GetClassNameA(candidate, cls, sizeof cls);
    return std::string(cls) == "#32770" && GetWindow(candidate, GW_OWNER) == owner ? candidate : nullptr;
}

// The colour dialog's red, green and blue fields in its opened-out part.
constexpr int kRedEdit = 0x2C2, kGreenEdit = 0x2C3, kBlueEdit = 0x2C4, kDefineCustom = 0x2CF;

}  // namespace

TEST_CASE("the swatch draws the value's low 24 bits, and the checkerboard at the narrow widths") {
    struct Step {
        const char* action;  // a hex value to commit, or a width button
        int widthButton;
        bool checkerboard;
        COLORREF shown;  // on screen, when solid
    };
    const Step steps[] = {
        {"FF8000", 0, false, RGB(255, 128, 0)},
        {"12345678", 0, false, RGB(0x34, 0x56, 0x78)},  // bits above 23 are not a colour
        {"FF8000", 0, false, RGB(255, 128, 0)},
        {"Word", IDC_WORD, true, 0},
        {"Char", IDC_CHAR, true, 0},
        {"Long", IDC_LONG, false, RGB(255, 128, 0)},
    };
    Session s;
    s.Run([&](HWND dlg) {
        CHECK(Shown(dlg) == RGB(0, 0, 0));  // black before the first refresh
        for (const Step& step : steps) {
            CAPTURE(step.action);
            if (step.widthButton)
                Click(GetDlgItem(dlg, step.widthButton));
            else
                SetValueByHex(step.action);
            CHECK(Enabled(dlg, IDC_COLOR) == !step.checkerboard);
            if (step.checkerboard)
                CHECK(IsCheckerboard(dlg));
            else
                CHECK(AllAre(SwatchPixels(dlg), step.shown));
        }
    });
}

TEST_CASE("a plain click starts no pick but reports the colour shown; all fields refresh") {
    Session s;
    s.Run([&](HWND dlg) {
        SetValueByHex("12345678");
        MoveTo(SwatchPoint(dlg));
        LeftDown();
        CHECK_FALSE(Picking(s));
        CHECK(GetCapture() == nullptr);  // the press is swallowed: no capture, no pushed look
        CHECK(s.picks.empty());
        LeftUp();
        CHECK(s.picks == std::vector<Pick>{{IDC_COLOR, 0x345678}});
        CHECK(Text(dlg, IDC_HEX) == "345678");
        CHECK(Text(dlg, IDC_DEC) == "3430008");
        CHECK(Text(dlg, IDC_IP) == "0.52.86.120");
        CHECK(Text(dlg, IDC_BIN) == "00110100 01010110 01111000");
        for (int id : {IDC_DEC, IDC_HEX, IDC_TEXT, IDC_IP, IDC_BIN}) CHECK_FALSE(Modified(dlg, id));
        CHECK(FocusId() == IDC_TEXT);  // the click did not take the focus
        CHECK(AllAre(SwatchPixels(dlg), RGB(0x34, 0x56, 0x78)));
    });
}

TEST_CASE("an eyedropper drag shows the pixel under the pointer and sets the value at the release") {
    struct Row {
        const char* where;
        int dx, dy;  // target relative to the swatch, in pixels
        COLORREF colour;
        uint32_t value;
        const char* hex;
        bool pressOutside;  // pressed beside the swatch, then moved onto it
    };
    const Row rows[] = {
        {"above and left of the dialog", -700, -350, 0x00123456, 0x563412, "563412", false},
        {"left of the dialog", -700, 0, 0x0000FF00, 0x00FF00, "FF00", false},
        {"above the dialog", 0, -350, 0x00FF0000, 0x0000FF, "FF", false},
        {"below and right of the dialog", 300, 400, 0x00C0B0A0, 0xA0B0C0, "A0B0C0", false},
        {"after a press beside the swatch", -700, -350, 0x00010203, 0x030201, "30201", true},
    };
    for (const Row& row : rows) {
        CAPTURE(row.where);
        Session s;
        s.Run([&](HWND dlg) {
            CentreOnScreen(dlg);
            POINT target = SwatchPoint(dlg, row.dx, row.dy);
            ColourWindow window(row.colour, target);
            REQUIRE(ScreenPixel(target) == row.colour);
            SetValueByHex("FF8000");

            if (row.pressOutside) {
                MoveTo(SwatchPoint(dlg, -40, 0));  // the dialog's own background
                LeftDown();
                CHECK_FALSE(Picking(s));
                MoveTo(SwatchPoint(dlg));
            } else {
                StartPick(dlg);
            }
            CHECK(Picking(s));
            CHECK(GetCapture() == Swatch(dlg));
            CHECK(GetCursor() == LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_PICKER)));
            CHECK(s.dlg.Swatch().GetRGB() == 0xFF8000u);  // it sampled itself

            MoveTo(window.Centre());
            CHECK(Shown(dlg) == row.colour);
            CHECK(s.dlg.Swatch().GetRGB() == row.value);
            CHECK(s.picks.empty());
            CHECK(Text(dlg, IDC_HEX) == "FF8000");

            LeftUp();
            CHECK_FALSE(Picking(s));
            CHECK(GetCapture() == nullptr);
            CHECK(s.picks == std::vector<Pick>{{IDC_COLOR, static_cast<LPARAM>(row.value)}});
            CHECK(Text(dlg, IDC_HEX) == row.hex);
            CHECK(Shown(dlg) == row.colour);
        });
    }
}

// With the capture held the real pointer cannot leave the screen, so the last move of these
// picks is posted to the swatch with client coordinates that lie beyond every edge.
TEST_CASE("a pick that ends outside the screen reports white") {
    struct Row {
        const char* where;
        short x, y;  // client coordinates of the swatch
    };
    const Row rows[] = {
        {"far left and above", -32000, -32000},
        {"far right", 32000, 5},
        {"far below", 5, 32000},
    };
    for (const Row& row : rows) {
        CAPTURE(row.where);
        Session s;
        s.Run([&](HWND dlg) {
            CentreOnScreen(dlg);
            SetValueByHex("123456");
            POINT away = SwatchPoint(dlg, -700, 0);
            ColourWindow window(RGB(1, 2, 3), away);
            StartPick(dlg);
            MoveTo(window.Centre());
            REQUIRE(s.dlg.Swatch().GetRGB() == 0x010203u);

            const LPARAM outside = MAKELPARAM(row.x, row.y);
            PostMessageA(Swatch(dlg), WM_MOUSEMOVE, MK_LBUTTON, outside);
            Pump();
            CHECK(Shown(dlg) == RGB(255, 255, 255));
            CHECK(s.picks.empty());
            PostMessageA(Swatch(dlg), WM_LBUTTONUP, 0, outside);
            Pump();
            CHECK(s.picks == std::vector<Pick>{{IDC_COLOR, 0xFFFFFF}});
            CHECK(Text(dlg, IDC_HEX) == "FFFFFF");
            CHECK_FALSE(Picking(s));

            LeftUp();  // the real button, over the colour window: no longer the swatch's
            CHECK(s.picks.size() == 1);
        });
    }
}

TEST_CASE("a right press cancels a pick without a report; while idle it changes nothing") {
    struct Row {
        const char* name;
        bool picking;          // right press during a pick
        bool releaseOnSwatch;  // where the left button is let go afterwards
        std::vector<Pick> picks;
    };
    const Row rows[] = {
        {"cancel, release away", true, false, {}},
        // Back over the swatch with the button held a new pick starts there; it samples the
        // restored colour and the release reports it.
        {"cancel, release on the swatch", true, true, {{IDC_COLOR, 0xFF8000}}},
        {"idle", false, false, {}},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        Session s;
        s.Run([&](HWND dlg) {
            CentreOnScreen(dlg);
            POINT away = SwatchPoint(dlg, -700, -300);
            ColourWindow window(0x00123456, away);
            SetValueByHex("FF8000");
            if (row.picking) {
                StartPick(dlg);
                MoveTo(window.Centre());
                REQUIRE(Shown(dlg) == COLORREF{0x00123456});
                RightDown();
                CHECK_FALSE(Picking(s));
                CHECK(GetCapture() == nullptr);
                RightUp();  // over the colour window, not the swatch: no context menu
                if (row.releaseOnSwatch) MoveTo(SwatchPoint(dlg));
                LeftUp();
            } else {
                MoveTo(SwatchPoint(dlg));
                RightDown();
                CHECK_FALSE(Picking(s));
                MoveTo(window.Centre());
                RightUp();
            }
            CHECK(AllAre(SwatchPixels(dlg), RGB(255, 128, 0)));
            CHECK(s.dlg.Swatch().GetRGB() == 0xFF8000u);
            CHECK(s.picks == row.picks);
            CHECK(Text(dlg, IDC_HEX) == "FF8000");
        });
    }
}

TEST_CASE("a double-click opens the colour dialog, which starts at the colour and reports its own") {
    struct Row {
        const char* name;
        int rgb[3];  // typed into the dialog's red, green and blue fields
        int button;
        uint32_t reported;
        const char* hex;
    };
    const Row rows[] = {
        {"OK", {0x12, 0x34, 0x56}, IDOK, 0x123456, "123456"},
        {"Cancel", {0x12, 0x34, 0x56}, IDCANCEL, 0xFF8000, "FF8000"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        Session s;
        s.Run([&](HWND dlg) {
            SetValueByHex("12FF8000");
            bool opened = false;
            WhenWindowAppears([&](HWND h) { return ColourDialogOf(dlg, h) != nullptr; },
                              [&](HWND cd) {
                                  opened = true;
                                  // The release inside the double-click has reported already.
                                  CHECK(s.picks == std::vector<Pick>{{IDC_COLOR, 0xFF8000}});
                                  CHECK(Text(cd, kRedEdit) == "255");
                                  CHECK(Text(cd, kGreenEdit) == "128");
                                  CHECK(Text(cd, kBlueEdit) == "0");
                                  CHECK_FALSE(Enabled(cd, kDefineCustom));  // opened out already
                                  const int ids[] = {kRedEdit, kGreenEdit, kBlueEdit};
                                  for (int i = 0; i < 3; ++i)
                                      SetWindowTextA(GetDlgItem(cd, ids[i]), std::to_string(row.rgb[i]).c_str());
                                  PostMessageA(cd, WM_COMMAND, static_cast<WPARAM>(row.button), 0);
                              });
            MoveTo(SwatchPoint(dlg));
            DoubleClickPress();  // the second press becomes a double-click
            REQUIRE(opened);
            const Pick fromDialog{IDC_COLOR, static_cast<LPARAM>(row.reported)};
            CHECK(s.picks == std::vector<Pick>{{IDC_COLOR, 0xFF8000}, fromDialog});
            CHECK(Text(dlg, IDC_HEX) == row.hex);
            CHECK(s.dlg.Swatch().GetRGB() == row.reported);
            CHECK_FALSE(Picking(s));
            CHECK(GetFocus() != Swatch(dlg));
            LeftUp();  // the double-click's own release reports once more
            CHECK(s.picks == std::vector<Pick>{{IDC_COLOR, 0xFF8000}, fromDialog, fromDialog});
        });
    }
}

TEST_CASE("a pick replaces text typed and not committed; the field keeps the focus") {
    struct Row {
        char mnemonic;
        int field;
        const char* typed;
    };
    const Row rows[] = {
        {'H', IDC_HEX, "XYZ"},  // would be refused if it were parsed
        {'D', IDC_DEC, "42"},
        {'T', IDC_TEXT, "ab"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.typed);
        Session s;
        s.Run([&](HWND dlg) {
            CentreOnScreen(dlg);
            ColourWindow window(0x00123456, SwatchPoint(dlg, -700, -300));
            SetValueByHex("FF8000");
            Key(static_cast<UINT>(row.mnemonic), kAlt);
            Type(row.typed);
            REQUIRE(Modified(dlg, row.field));

            StartPick(dlg);
            MoveTo(window.Centre());
            CHECK(FocusId() == row.field);
            CHECK(Text(dlg, row.field) == row.typed);
            CHECK(Text(dlg, IDC_HEX) == (row.field == IDC_HEX ? "XYZ" : "FF8000"));
            LeftUp();

            CHECK(FocusId() == row.field);
            CHECK(Text(dlg, IDC_HEX) == "563412");
            CHECK(Text(dlg, IDC_DEC) == "5649426");
            CHECK_FALSE(Modified(dlg, row.field));
            CHECK(s.services.beeps.empty());
            Park();
            Key(VK_TAB);  // leaving now commits nothing new
            CHECK(Text(dlg, IDC_HEX) == "563412");
            CHECK(s.services.beeps.empty());
        });
    }
}

TEST_CASE("the swatch takes the focus with Tab, shows no sign of it, and keys do nothing to it") {
    const UINT keys[] = {VK_SPACE, VK_RETURN, 'A', VK_F2};
    Session s;
    s.Run([&](HWND dlg) {
        SetValueByHex("FF8000");
        for (int i = 0; i < 10 && FocusId() != IDC_CLEAR; ++i) Key(VK_TAB);
        REQUIRE(FocusId() == IDC_CLEAR);
        const std::vector<COLORREF> unfocused = SwatchPixels(dlg);
        CHECK(AllAre(unfocused, RGB(255, 128, 0)));
        Key(VK_TAB);
        REQUIRE(FocusId() == IDC_COLOR);
        CHECK(SwatchPixels(dlg) == unfocused);

        bool dialogOpened = false;
        IfWindowAppears([&](HWND h) { return ColourDialogOf(dlg, h) != nullptr; },
                        [&](HWND cd) {
                            dialogOpened = true;
                            PostMessageA(cd, WM_COMMAND, IDCANCEL, 0);
                        });
        for (UINT key : keys) {
            CAPTURE(key);
            Key(key);
            CHECK(FocusId() == IDC_COLOR);
            CHECK(SwatchPixels(dlg) == unfocused);
        }
        CHECK_FALSE(dialogOpened);
        CHECK(s.picks.empty());
        CHECK(Text(dlg, IDC_HEX) == "FF8000");
        CHECK_FALSE(Picking(s));
    });
}
