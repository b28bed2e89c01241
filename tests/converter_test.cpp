// The converter window driven as a user drives it: keys through the dialog manager, typed
// characters, clicks, pastes; checked by what a user sees and hears.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "app/converter_app.h"
#include "engine/text.h"
#include "platform/controls.h"
#include "res/resource.h"
#include "tests/support/converter_session.h"
#include "ui/converter_dialog.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <cstring>
#include <string>

using namespace uitest;

namespace {

struct Fields {
    std::string dec, hex, text, ip, bin;
};

Fields Read(HWND dlg) {
    return {Text(dlg, IDC_DEC), Text(dlg, IDC_HEX), Text(dlg, IDC_TEXT), Text(dlg, IDC_IP), Text(dlg, IDC_BIN)};
}

void CheckFields(HWND dlg, const Fields& want) {
    Fields got = Read(dlg);
    CHECK(got.dec == want.dec);
    CHECK(got.hex == want.hex);
    CHECK(got.text == want.text);
    CHECK(got.ip == want.ip);
    CHECK(got.bin == want.bin);
}

bool NoneModified(HWND dlg) {
    for (int id : {IDC_DEC, IDC_HEX, IDC_TEXT, IDC_IP, IDC_BIN})
        if (Modified(dlg, id)) return false;
    return true;
}


// Commits `text` typed into a field entered by its mnemonic, leaving it with Tab.
void Enter(char mnemonic, const std::string& text) {
    Key(static_cast<UINT>(mnemonic), kAlt);
    Type(text);
    Key(VK_TAB);
}

}  // namespace

TEST_CASE("the window opens with empty fields, focus in Dec and the default options") {
    Session s;
    s.Run([&](HWND dlg) {
        CheckFields(dlg, {"", "", "", "", ""});
        CHECK(FocusId() == IDC_DEC);
        CHECK(Checked(dlg, IDC_LONG));
        CHECK_FALSE(Checked(dlg, IDC_WORD));
        CHECK_FALSE(Checked(dlg, IDC_CHAR));
        CHECK(Checked(dlg, IDC_SIGNED));
        CHECK_FALSE(Checked(dlg, IDC_CLEAR));
        CHECK(Enabled(dlg, IDC_IP));
        CHECK(Enabled(dlg, IDC_COLOR));
        CHECK(Text(dlg) == "Quendrix");
    });
}

TEST_CASE("Tab visits the tab stops in order and, with Clear off, changes no empty field") {
    Session s;
    s.Run([&](HWND dlg) {
        const int order[] = {IDC_HEX, IDC_TEXT, IDC_IP, IDC_BIN, IDC_LONG, IDC_SIGNED, IDC_CLEAR, IDC_COLOR, IDC_DEC};
        for (int id : order) {
            Key(VK_TAB);
            CHECK(FocusId() == id);
            CheckFields(dlg, {"", "", "", "", ""});
        }
        Key(VK_TAB, kShift);
        CHECK(FocusId() == IDC_COLOR);
        CHECK(s.services.beeps.empty());
    });
}

TEST_CASE("with Clear on, leaving the empty Dec field shows 0 everywhere and the next field is emptied") {
    Session s;
    s.Run([&](HWND dlg) {
        Click(GetDlgItem(dlg, IDC_CLEAR));
        CHECK(Checked(dlg, IDC_CLEAR));
        CheckFields(dlg, {"", "", "", "", ""});  // turning Clear on empties nothing by itself
        Key('D', kAlt);
        CHECK(FocusId() == IDC_DEC);
        Key(VK_TAB);
        CHECK(FocusId() == IDC_HEX);
        CheckFields(dlg, {"0", "", "", "0.0.0.0", "0000"});
        // Leaving without typing fills the field again.
        Key(VK_TAB);
        CHECK(Text(dlg, IDC_HEX) == "0");
        CHECK(s.services.beeps.empty());
    });
}

TEST_CASE("the road of one edit: 0x41 typed into Hex, then Tab") {
    Session s;
    s.Run([&](HWND dlg) {
        Key('H', kAlt);
        Type("0x41");
        CHECK(Modified(dlg, IDC_HEX));
        CHECK(Text(dlg, IDC_DEC) == "");  // nothing changes until the field is left
        Key(VK_TAB);
        CheckFields(dlg, {"65", "41", "A", "0.0.0.65", "01000001"});
        CHECK(FocusId() == IDC_TEXT);
        CHECK(NoneModified(dlg));
        CHECK(s.dlg.Swatch().GetRGB() == 0x000041u);
        CHECK(s.services.beeps.empty());
    });
}

TEST_CASE("each field reads its own kind of text") {
    struct Row {
        char mnemonic;
        const char* typed;
        Fields shown;
    };
    const Row rows[] = {
        {'D', "-1", {"-1", "FFFFFFFF", "\xFF\xFF\xFF\xFF", "255.255.255.255", "11111111 11111111 11111111 11111111"}},
        {'D', " 42", {"42", "2A", "*", "0.0.0.42", "00101010"}},
        {'H', "0x1f", {"31", "1F", "\x1F", "0.0.0.31", "00011111"}},
        {'T', "ABCD", {"1094861636", "41424344", "ABCD", "65.66.67.68", "01000001 01000010 01000011 01000100"}},
        {'I', "1..2.3", {"16777731", "1000203", "\x01", "1.0.2.3", "0001 00000000 00000010 00000011"}},
        {'B', "1 1", {"3", "3", "\x03", "0.0.0.3", "0011"}},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.typed));
        Session s;
        s.Run([&](HWND dlg) {
            Enter(row.mnemonic, row.typed);
            CheckFields(dlg, row.shown);
            CHECK(s.services.beeps.empty());
        });
    }
}

TEST_CASE("a refused text beeps once and the field shows the value again") {
    struct Row {
        char mnemonic;
        int id;
        const char* refused;
        const char* shownAgain;
    };
    const Row rows[] = {
        {'H', IDC_HEX, "XYZ", "12"},      {'D', IDC_DEC, "42 ", "18"},   {'D', IDC_DEC, "12a", "18"},
        {'B', IDC_BIN, "102", "00010010"}, {'I', IDC_IP, "256.0.0.0", "0.0.0.18"},
        {'I', IDC_IP, "4294967296.1.2.3", "0.0.0.18"},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.refused));
        Session s;
        s.Run([&](HWND dlg) {
            Enter('H', "12");
            Enter(row.mnemonic, row.refused);
            CHECK(s.services.beeps == std::vector<UINT>{0});
            CHECK(Text(dlg, row.id) == row.shownAgain);
            CHECK(Text(dlg, IDC_HEX) == "12");
        });
    }
}

TEST_CASE("Enter commits the field in place") {
    SUBCASE("Clear off: the focus and the caret stay") {
        Session s;
        s.Run([&](HWND dlg) {
            Type("42");
            Key(VK_RETURN);
            CheckFields(dlg, {"42", "2A", "*", "0.0.0.42", "00101010"});
            CHECK(FocusId() == IDC_DEC);
            CHECK(Selection(dlg, IDC_DEC) == std::pair{2, 2});
            CHECK(IsWindow(dlg));
        });
    }
    SUBCASE("Clear on: Dec is empty afterwards, the others show 42") {
        Session s;
        s.Run([&](HWND dlg) {
            Click(GetDlgItem(dlg, IDC_CLEAR));
            Key('D', kAlt);
            Type("42");
            Key(VK_RETURN);
            CheckFields(dlg, {"", "2A", "*", "0.0.0.42", "00101010"});
            CHECK(FocusId() == IDC_DEC);
        });
    }
}

TEST_CASE("Enter outside the fields does nothing and Escape then closes") {
    for (int id : {IDC_LONG, IDC_SIGNED, IDC_CLEAR}) {
        CAPTURE(id);
        Session s;
        bool openAfterEnter = false;
        INT_PTR result = s.Run([&](HWND dlg) {
            Enter('D', "7");
            SetFocus(GetDlgItem(dlg, id));
            Pump();
            Key(VK_RETURN);
            openAfterEnter = IsWindow(dlg) && IsWindowVisible(dlg);
            CHECK(Text(dlg, IDC_DEC) == "7");
            Key(VK_ESCAPE);
            CHECK_FALSE(IsWindowVisible(dlg));  // ended by Escape, not by the driver afterwards
        });
        CHECK(openAfterEnter);
        CHECK(result == IDCANCEL);
    }
}

TEST_CASE("a comma typed into IP becomes a dot at once and the address is committed") {
    Session s;
    s.Run([&](HWND dlg) {
        Key('I', kAlt);
        Type("192,");
        CHECK(Text(dlg, IDC_IP) == "192.");
        CHECK(Selection(dlg, IDC_IP) == std::pair{4, 4});
        CHECK(Modified(dlg, IDC_IP));
        Type("168,0,1");
        CHECK(Text(dlg, IDC_IP) == "192.168.0.1");
        CHECK(Selection(dlg, IDC_IP) == std::pair{11, 11});
        CHECK(Modified(dlg, IDC_IP));
        Key(VK_TAB);
        CHECK(Text(dlg, IDC_HEX) == "C0A80001");
        CHECK(Text(dlg, IDC_IP) == "192.168.0.1");
        CHECK(s.services.beeps.empty());
    });
}

TEST_CASE("a pasted address with commas is shown with dots and committed when the field is left") {
    Session s;
    s.Run([&](HWND dlg) {
        REQUIRE(SetClipboardText("10,0,0,7"));
        Key('I', kAlt);
        Key('V', kCtrl);
        CHECK(Text(dlg, IDC_IP) == "10.0.0.7");
        CHECK(Modified(dlg, IDC_IP));
        Key(VK_TAB);
        CHECK(Text(dlg, IDC_HEX) == "A000007");
        CHECK(Text(dlg, IDC_IP) == "10.0.0.7");
    });
}

TEST_CASE("the widths narrow only what is shown") {
    SUBCASE("Char with 0x1234, then Long again") {
        Session s;
        s.Run([&](HWND dlg) {
            Enter('H', "1234");
            Click(GetDlgItem(dlg, IDC_CHAR));
            CheckFields(dlg, {"52", "34", "4", "0.0.0.52", "00110100"});
            CHECK_FALSE(Enabled(dlg, IDC_IP));
            CHECK_FALSE(Enabled(dlg, IDC_COLOR));
            CHECK(Checked(dlg, IDC_CHAR));
            Click(GetDlgItem(dlg, IDC_WORD));
            CheckFields(dlg, {"4660", "1234", "\x12" "4", "0.0.18.52", "00010010 00110100"});
            Click(GetDlgItem(dlg, IDC_LONG));
            CHECK(Text(dlg, IDC_HEX) == "1234");
            CHECK(Enabled(dlg, IDC_IP));
            CHECK(Enabled(dlg, IDC_COLOR));
            CHECK(s.dlg.Swatch().GetRGB() == 0x001234u);
        });
    }
    SUBCASE("300 typed into Dec, then a click on Char commits it first") {
        Session s;
        s.Run([&](HWND dlg) {
            Key('D', kAlt);
            Type("300");
            Click(GetDlgItem(dlg, IDC_CHAR));
            CheckFields(dlg, {"44", "2C", ",", "0.0.0.44", "00101100"});
            Click(GetDlgItem(dlg, IDC_LONG));
            CHECK(Text(dlg, IDC_DEC) == "300");
        });
    }
    SUBCASE("the IP mnemonic skips the disabled field") {
        Session s;
        s.Run([&](HWND dlg) {
            Click(GetDlgItem(dlg, IDC_WORD));
            Key('D', kAlt);
            Key('I', kAlt);
            CHECK(FocusId() != IDC_IP);
        });
    }
}

TEST_CASE("Signed switches Dec between signed and unsigned") {
    Session s;
    s.Run([&](HWND dlg) {
        Enter('H', "FF80");
        CHECK(Text(dlg, IDC_DEC) == "65408");
        Click(GetDlgItem(dlg, IDC_WORD));
        CHECK(Text(dlg, IDC_DEC) == "-128");
        Click(GetDlgItem(dlg, IDC_SIGNED));
        CHECK_FALSE(Checked(dlg, IDC_SIGNED));
        CHECK(Text(dlg, IDC_DEC) == "65408");
        CHECK(Text(dlg, IDC_HEX) == "FF80");
    });
}

TEST_CASE("leaving a field the user did not change rewrites it without parsing") {
    Session s;
    s.Run([&](HWND dlg) {
        Enter('H', "FF");
        SetText(dlg, IDC_DEC, "999");  // set by a program: not the user's change
        Key('D', kAlt);
        Key(VK_TAB);
        CHECK(Text(dlg, IDC_DEC) == "255");
        CHECK(s.services.beeps.empty());
    });
}

TEST_CASE("with Clear on, typing and deleting everything commits the empty text as 0") {
    Session s;
    s.Run([&](HWND dlg) {
        Enter('H', "FF");
        Click(GetDlgItem(dlg, IDC_CLEAR));
        Key('D', kAlt);
        CHECK(Text(dlg, IDC_DEC) == "");
        Type("5\b");
        Key(VK_TAB);
        CHECK(Text(dlg, IDC_DEC) == "0");
        CHECK(Text(dlg, IDC_HEX) == "");  // emptied on entry
        CHECK(Text(dlg, IDC_BIN) == "0000");
    });
}

namespace {
// Runs with the help page present or missing in a fresh current directory.
struct HelpFolder {
    char previous[MAX_PATH] = "";
    std::string dir;
    explicit HelpFolder(bool withPage) {
        GetCurrentDirectoryA(MAX_PATH, previous);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "quendrix-help-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir.c_str(), nullptr);
        CreateDirectoryA((dir + "\\Help").c_str(), nullptr);
        DeleteFileA((dir + "\\Help\\Quendrix.htm").c_str());
        if (withPage) {
            FILE* f = std::fopen((dir + "\\Help\\Quendrix.htm").c_str(), "w");
            std::fputs("<html></html>", f);
            std::fclose(f);
        }
        SetCurrentDirectoryA(dir.c_str());
    }
    ~HelpFolder() { SetCurrentDirectoryA(previous); }
};
}  // namespace

TEST_CASE("F1 opens the help page from the current directory") {
    HelpFolder folder(true);
    Session s;
    s.Run([&](HWND) {
        Key(VK_F1);
        REQUIRE(s.services.shellCalls.size() == 1);
        CHECK(s.services.shellCalls[0].verb == "open");
        CHECK(s.services.shellCalls[0].file == "Help\\Quendrix.htm");
        CHECK(s.services.shellCalls[0].show == SW_SHOW);
        CHECK(s.services.beeps.empty());
        CHECK(s.services.boxes.empty());
        Key('H', kAlt);
        Key(VK_F1);  // from any control
        CHECK(s.services.shellCalls.size() == 2);
    });
}

namespace {
// Whether `upper` comes before `lower` in the stacking order of top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower) return true;
    return false;
}
}  // namespace

TEST_CASE("F1 without the page warns above the window that stays on top; with Shift, Ctrl or Alt it does nothing") {
    HelpFolder folder(false);
    Session s;
    s.services.realMessageBoxes = true;
    s.Run([&](HWND dlg) {
        for (unsigned mod : {kShift, kCtrl, kAlt}) {
            Key(VK_F1, mod);
            CHECK(s.services.shellCalls.empty());
        }
        REQUIRE((GetWindowLongPtrA(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
        bool seen = false;
        WhenWindowAppears(IsMessageBox, [&](HWND box) {
            seen = true;
            CHECK(MessageBoxText(box) == "Can't locate help file");
            CHECK(Above(box, dlg));
            CHECK(GetForegroundWindow() == box);
            Key(VK_RETURN);
        });
        Key(VK_F1);
        Pump();
        CHECK(seen);
        CHECK(s.services.shellCalls.size() == 1);
        CHECK(s.services.beeps == std::vector<UINT>{MB_ICONEXCLAMATION});
        REQUIRE(s.services.boxes.size() == 1);
        CHECK(s.services.boxes[0].caption == "");
        CHECK((s.services.boxes[0].type & MB_ICONMASK) == MB_ICONEXCLAMATION);
        CHECK(s.services.boxes[0].owner == nullptr);
    });
}

TEST_CASE("Escape, the close box and Alt+F4 end the window") {
    const std::function<void(HWND)> closers[] = {
        [](HWND) { Key(VK_ESCAPE); },
        [](HWND dlg) { SendMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](HWND) { Key(VK_F4, kAlt); },
    };
    for (const auto& close : closers) {
        Session s;
        HWND window = nullptr;
        INT_PTR result = s.Run([&](HWND dlg) {
            window = dlg;
            Enter('D', "5");
            close(dlg);
            Pump();
            CHECK_FALSE(IsWindowVisible(dlg));  // ended here, not by the driver afterwards
        });
        CHECK(result == IDCANCEL);
        CHECK_FALSE(IsWindow(window));
    }
}

namespace {
// Text's bytes as the user sees them: characters of the ANSI code page where it is single-byte,
// of Windows-1252 elsewhere.
wchar_t Character(unsigned char byte) {
    if (platform::AnsiCodePageIsMultiByte()) return static_cast<wchar_t>(text::CodePoint(byte));
    wchar_t c = 0;
    MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(&byte), 1, &c, 1);
    return c;
}
std::wstring Characters(const char* bytes) {
    std::wstring shown;
    for (; *bytes; ++bytes) shown += Character(static_cast<unsigned char>(*bytes));
    return shown;
}
std::string Bytes(uint32_t value) {
    const char bytes[] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
                          static_cast<char>(value), 0};
    return bytes;
}
// Plays `check` on the value with `byte` first, in the middle and last among letters, for each byte
// from `first` on.
void ForEachValueWith(unsigned first, const std::function<void(uint32_t)>& check) {
    for (unsigned byte = first; byte < 256; ++byte)
        for (uint32_t value : {byte << 24 | 0x414243, 0x41000043 | byte << 16 | byte << 8, 0x41424300 | byte}) {
            CAPTURE(value);
            check(value);
        }
}
std::wstring WideText(HWND field) {
    wchar_t wide[64] = L"";
    return std::wstring(wide, static_cast<size_t>(GetWindowTextW(field, wide, 64)));
}
}  // namespace

TEST_CASE("the Text field shows every byte as it is, first, middle or last, control and high characters included") {
    // Run under another locale, the code page it must have brought.
    if (const char* page = std::getenv("QUENDRIX_CODE_PAGE")) REQUIRE(GetACP() == std::strtoul(page, nullptr, 10));
    Session s;
    s.Run([&](HWND dlg) {
        ForEachValueWith(1, [&](uint32_t value) {
            s.dlg.Converter().SetValue(value);
            Pump();
            CHECK(WideText(GetDlgItem(dlg, IDC_TEXT)) == Characters(Bytes(value).c_str()));
        });
    });
}

TEST_CASE("the Text field reads every high character typed into it as its byte, first, middle or last") {
    Session s;
    s.Run([&](HWND dlg) {
        HWND field = GetDlgItem(dlg, IDC_TEXT);
        ForEachValueWith(0x80, [&](uint32_t value) {
            s.dlg.Converter().SetValue(0);
            SetFocus(field);
            SendMessageW(field, EM_SETSEL, 0, -1);
            for (wchar_t c : Characters(Bytes(value).c_str())) PostMessageW(field, WM_CHAR, c, 1);
            Pump();
            SetFocus(GetDlgItem(dlg, IDC_DEC));
            Pump();
            CHECK(s.dlg.Converter().Number().GetValue() == value);
        });
    });
}
