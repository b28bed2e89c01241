// Window commands through the real menus and dialogs: the system menu's Settings and About,
// the Settings dialog's checks, stay on top, tooltips, the context menu and its edit commands,
// F1 inside the two dialogs, and the minimised window.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "app/converter_app.h"
#include "platform/controls.h"
#include "res/resource.h"
#include "tests/support/converter_session.h"
#include "ui/converter_dialog.h"

#include <cstring>
#include <optional>
#include <string>

using namespace uitest;

namespace {


bool HasCaption(HWND window, const char* caption) { return Text(window) == caption; }

bool IsTopmost(HWND window) { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool IsPopupMenu(HWND window) {
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    return std::string(cls) == "#32768";
}

// Opens the Settings dialog through the system command, as the menu sends it, and runs
// `inside` in it.
void WithSettings(HWND dlg, const std::function<void(HWND)>& inside) {
    WhenWindowAppears([](HWND w) { return HasCaption(w, "Settings"); }, inside);
    SendMessageA(dlg, WM_SYSCOMMAND, IDM_SETTINGS, 0);
}

// Opens the context menu with a right click at a client point of the dialog, then chooses the
// item with its mnemonic (or closes the menu when `key` is Escape).
POINT ContextMenuAt(HWND dlg, POINT client, UINT key) {
    POINT shown{-1, -1};
    WhenWindowAppears(IsPopupMenu, [&](HWND menu) {
        RECT r;
        GetWindowRect(menu, &r);
        shown = {r.left, r.top};
        Press(key);
    });
    PostMessageA(dlg, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(client.x, client.y));
    PostMessageA(dlg, WM_RBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    Pump();
    return shown;
}

}  // namespace

TEST_CASE("the system menu ends with a separator, Settings and About") {
    Session s;
    s.Run([&](HWND dlg) {
        HMENU menu = GetSystemMenu(dlg, FALSE);
        int count = GetMenuItemCount(menu);
        REQUIRE(count >= 3);
        char text[64];
        CHECK((GetMenuState(menu, static_cast<UINT>(count - 3), MF_BYPOSITION) & MF_SEPARATOR) != 0);
        GetMenuStringA(menu, static_cast<UINT>(count - 2), text, sizeof text, MF_BYPOSITION);
        CHECK(std::string(text) == "&Settings...");
        CHECK(GetMenuItemID(menu, count - 2) == IDM_SETTINGS);
        GetMenuStringA(menu, static_cast<UINT>(count - 1), text, sizeof text, MF_BYPOSITION);
        CHECK(std::string(text) == "&About Quendrix...");
        CHECK(GetMenuItemID(menu, count - 1) == IDM_ABOUTBOX);
    });
}

TEST_CASE("the system commands open their dialogs, owned by the disabled main window") {
    struct Row {
        UINT command;
        const char* caption;
    };
    const Row rows[] = {{IDM_SETTINGS, "Settings"}, {IDM_ABOUTBOX, "About Quendrix"},
                        {IDM_ABOUTBOX | 0x000F, "About Quendrix"}};  // the low four bits are the system's
    for (const Row& row : rows) {
        CAPTURE(row.command);
        Session s;
        bool opened = false, ownedByMain = false, mainDisabled = false;
        s.Run([&](HWND dlg) {
            WhenWindowAppears([&](HWND w) { return HasCaption(w, row.caption); },
                              [&](HWND w) {
                                  opened = true;
                                  ownedByMain = GetWindow(w, GW_OWNER) == dlg;
                                  mainDisabled = !IsWindowEnabled(dlg);
                                  Key(VK_ESCAPE);
                              });
            SendMessageA(dlg, WM_SYSCOMMAND, row.command, 0);
            CHECK(IsWindowEnabled(dlg));
        });
        CHECK(opened);
        CHECK(ownedByMain);
        CHECK(mainDisabled);
    }
}

TEST_CASE("the system menu opened with Alt+Space chooses Settings") {
    Session s;
    bool opened = false;
    s.Run([&](HWND dlg) {
        WhenWindowAppears(IsPopupMenu, [](HWND) {
            Press(VK_END);  // About Quendrix..., the last item
            Press(VK_UP);
            Press(VK_RETURN);
        });
        WhenWindowAppears([](HWND w) { return HasCaption(w, "Settings"); }, [&](HWND) {
            opened = true;
            Key(VK_ESCAPE);
        });
        Key(VK_SPACE, kAlt);
        Pump();
        CHECK(IsWindowEnabled(dlg));
    });
    CHECK(opened);
}

TEST_CASE("Settings shows the options and Cancel changes nothing but a flag outside 0 to 2") {
    Session s;
    s.Run([&](HWND dlg) {
        s.dlg.Converter().Options().nIncrement = 4294967295u;  // as a stored value may be
        s.dlg.Converter().Options().bToolTips = 0;
        s.dlg.Converter().Options().bStayOnTop = 7;
        s.dlg.Converter().Options().bSaveOnExit = 1;
        WithSettings(dlg, [&](HWND settings) {
            CHECK(Text(settings, IDC_INCREMENT) == "4294967295");
            CHECK_FALSE(Checked(settings, IDC_TOOLTIPS));
            CHECK_FALSE(Checked(settings, IDC_STAYONTOP));
            CHECK(Checked(settings, IDC_SAVEONEXIT));
            CHECK(FocusId() == IDC_INCREMENT);
            Key(VK_ESCAPE);
        });
        CHECK(s.dlg.Converter().Options().nIncrement == 4294967295u);
        CHECK(s.dlg.Converter().Options().bToolTips == 0);
        CHECK(s.dlg.Converter().Options().bStayOnTop == 0);
        CHECK(s.dlg.Converter().Options().bSaveOnExit == 1);
        CHECK_FALSE(IsTopmost(dlg));
    });
}

TEST_CASE("Settings: the increment's accepted and refused texts") {
    const char* positive = "Please enter a positive integer.";
    const char* range = "Please enter an integer between 1 and 134217728.";
    struct Row {
        const char* text;
        const char* message;  // nullptr: accepted
        uint32_t increment;   // after OK, or after the refusal and Cancel
    };
    const Row rows[] = {
        {"134217728", nullptr, 134217728}, {" +5 ", nullptr, 5},   {"1", nullptr, 1},
        {"0", range, 3},                   {"134217729", range, 3}, {"4294967296", range, 3},
        {"", positive, 3},                 {"-1", positive, 3},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.text));
        Session s;
        s.Run([&](HWND dlg) {
            s.dlg.Converter().Options().nIncrement = 3;
            WithSettings(dlg, [&](HWND settings) {
                SetText(settings, IDC_INCREMENT, row.text);
                Click(GetDlgItem(settings, IDC_TOOLTIPS));  // a change that Cancel must drop
                Key(VK_RETURN);
                if (row.message) {
                    CHECK(IsWindowVisible(settings));
                    CHECK(FocusId() == IDC_INCREMENT);
                    CHECK(Selection(settings, IDC_INCREMENT) ==
                          std::pair{0, static_cast<int>(std::strlen(row.text))});
                    Key(VK_ESCAPE);
                }
            });
            if (row.message) {
                REQUIRE(s.services.boxes.size() == 1);
                CHECK(s.services.boxes[0].text == row.message);
                CHECK(s.dlg.Converter().Options().bToolTips == 1);
            } else {
                CHECK(s.services.boxes.empty());
                CHECK(s.dlg.Converter().Options().bToolTips == 0);
            }
            CHECK(s.dlg.Converter().Options().nIncrement == row.increment);
        });
    }
}

TEST_CASE("Settings: the increment field takes only digits as typed") {
    Session s;
    s.Run([&](HWND dlg) {
        WithSettings(dlg, [&](HWND settings) {
            Type("x-+9 2");
            CHECK(Text(settings, IDC_INCREMENT) == "92");  // typed over the selected "1"
            Key(VK_RETURN);
        });
        CHECK(s.dlg.Converter().Options().nIncrement == 92u);
    });
}

TEST_CASE("Stay on top follows the Settings dialog at once") {
    Session s;
    s.Run([&](HWND dlg) {
        CHECK(IsTopmost(dlg));  // on by default
        for (bool on : {false, true, false}) {
            WithSettings(dlg, [&](HWND settings) {
                if (Checked(settings, IDC_STAYONTOP) != on) Click(GetDlgItem(settings, IDC_STAYONTOP));
                Key(VK_RETURN);
            });
            CHECK(IsTopmost(dlg) == on);
            CHECK((s.dlg.Converter().Options().bStayOnTop != 0) == on);
        }
    });
}

namespace {
// Hovers over a control and returns the text of the tooltip that appears, if one does.
std::string HoverTip(HWND dlg, int id, bool& shown) {
    RECT r;
    if (id) {
        GetWindowRect(GetDlgItem(dlg, id), &r);
    } else {  // the "Mode" group box's label area, which has no tooltip
        HWND longButton = GetDlgItem(dlg, IDC_LONG);
        GetWindowRect(longButton, &r);
        r.top -= 14;
    }
    SetCursorPos(0, 0);
    REQUIRE(WaitForNoToolTip(10 * GetDoubleClickTime()));  // the last tip goes first, at the latest on its own
    SetCursorPos(r.left + 3, r.top + 3);
    Pump();
    SetCursorPos(r.left + 4, r.top + 4);
    // The control's own tip; over a label, any tip at all, waited for past the tip's delay.
    HWND tip = id ? WaitForToolTip(GetDlgItem(dlg, id), 5000) : WaitForToolTip(nullptr, NoToolTipWait());
    shown = tip != nullptr;
    return tip ? Text(tip) : std::string();
}
}  // namespace

namespace {
// Makes the next dialog this thread creates a Unicode window from its first message on, as
// Windows' subclassing does (Wine 8 leaves it ANSI): a Unicode procedure in front of its own,
// as comctl32's is on Windows. Controls that ask the dialog which form it wants (the tooltip,
// when its tools are added) then hear Unicode.
class UnicodeDialog {
public:
    UnicodeDialog() { s_hook = SetWindowsHookExA(WH_CBT, OnCreate, nullptr, GetCurrentThreadId()); }
    ~UnicodeDialog() {
        if (s_hook) UnhookWindowsHookEx(s_hook);
        s_hook = nullptr;
    }
    static bool Made(HWND dlg) { return s_dialog == dlg && IsWindowUnicode(dlg); }

private:
    static LRESULT CALLBACK OnCreate(int code, WPARAM wp, LPARAM lp) {
        LRESULT next = CallNextHookEx(s_hook, code, wp, lp);
        auto hWnd = reinterpret_cast<HWND>(wp);
        char cls[16] = "";
        if (code == HCBT_CREATEWND && s_hook && GetClassNameA(hWnd, cls, sizeof cls) && std::string(cls) == "#32770") {
            s_ansiProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UnicodeFront)));
            s_dialog = hWnd;
            UnhookWindowsHookEx(s_hook);
            s_hook = nullptr;
        }
        return next;
    }
    static LRESULT CALLBACK UnicodeFront(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) {
        return CallWindowProcW(s_ansiProc, hWnd, msg, wp, lp);
    }
    static inline HHOOK s_hook = nullptr;
    static inline WNDPROC s_ansiProc = nullptr;
    static inline HWND s_dialog = nullptr;
};
}  // namespace

TEST_CASE("tooltips: the control's own text, none over a label, none when switched off") {
    for (bool unicode : {false, true}) {
        CAPTURE(unicode);
        Session s;
        std::optional<UnicodeDialog> windows;
        if (unicode) windows.emplace();
        s.Run([&](HWND dlg) {
            REQUIRE(UnicodeDialog::Made(dlg) == unicode);
            struct Row {
                int id;
                const char* tip;
            };
            const Row rows[] = {
                {IDC_HEX, "Hexadecimal numbers. Color is displayed in RRGGBB form"},
                {IDC_SPIN, "Increment/decrement value. Use [Settings...] menu to adjust stepping."},
                {IDC_WORD, "2-byte wide numbers."},
            };
            bool shown = false;
            for (const Row& row : rows) {
                CAPTURE(row.id);
                CHECK(HoverTip(dlg, row.id, shown) == row.tip);
                CHECK(shown);
            }
            HoverTip(dlg, 0, shown);
            CHECK_FALSE(shown);

            WithSettings(dlg, [&](HWND settings) {
                Click(GetDlgItem(settings, IDC_TOOLTIPS));
                Key(VK_RETURN);
            });
            HoverTip(dlg, IDC_HEX, shown);
            CHECK_FALSE(shown);
            CHECK(s.dlg.Converter().Options().bToolTips == 0);
        });
    }
}

namespace {
// The pointer put on the Hex field of the next dialog as it is about to be shown, where it rests:
// no move reaches any window while the hooks are in place.
HHOOK g_placeHook = nullptr, g_restHook = nullptr;
LRESULT CALLBACK PointAtHex(int code, WPARAM wp, LPARAM lp) {
    const auto* ret = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && ret->message == WM_INITDIALOG && GetDlgItem(ret->hwnd, IDC_HEX)) {
        RECT r;
        GetWindowRect(GetDlgItem(ret->hwnd, IDC_HEX), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    return CallNextHookEx(g_placeHook, code, wp, lp);
}
LRESULT CALLBACK NoMoves(int code, WPARAM wp, LPARAM lp) {
    auto* msg = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && msg->message == WM_MOUSEMOVE) msg->message = WM_NULL;
    return CallNextHookEx(g_restHook, code, wp, lp);
}
}  // namespace

TEST_CASE("a pointer resting on a control from the first instant gets its tooltip") {
    Session s;
    g_placeHook = SetWindowsHookExA(WH_CALLWNDPROCRET, PointAtHex, nullptr, GetCurrentThreadId());
    g_restHook = SetWindowsHookExA(WH_GETMESSAGE, NoMoves, nullptr, GetCurrentThreadId());
    s.Run([&](HWND) {
        HWND tip = nullptr;
        for (DWORD start = GetTickCount(); !tip && GetTickCount() - start < 3000;) {
            Pump();
            tip = VisibleToolTip();
        }
        UnhookWindowsHookEx(g_restHook);
        UnhookWindowsHookEx(g_placeHook);
        REQUIRE(tip != nullptr);
        CHECK(Text(tip) == "Hexadecimal numbers. Color is displayed in RRGGBB form");
    });
}

namespace {
// A right click of the real pointer at a point of the screen; both halves are queued before
// anything handles the press, which on the caption waits for the release.
void RightClickAt(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    REQUIRE(SendInput(2, in, sizeof in[0]) == 2);
    Pump();
}

// A point of the window's caption, as its own hit test finds it.
POINT CaptionPoint(HWND dlg) {
    RECT r;
    GetWindowRect(dlg, &r);
    POINT p{(r.left + r.right) / 2, r.top};
    while (p.y < r.bottom && SendMessageA(dlg, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) != HTCAPTION) ++p.y;
    return p;
}
}  // namespace

TEST_CASE("the context menu opens at the mouse or just inside the client area; the caption's is the system menu") {
    struct Row {
        const char* name;
        std::function<POINT(HWND dlg)> open;  // returns where the menu should open
        UINT lastItem;  // the field menu ends with Paste, the system menu with About
    };
    // Under Wine, whose window manager may keep the caption's menu, Settings and About follow Paste.
    const UINT fieldMenuLast = platform::RunsUnderWine() ? IDM_ABOUTBOX : ID_EDIT_PASTE;
    const Row rows[] = {
        {"right click in the client area",
         [](HWND dlg) {
             POINT at{200, 60};
             PostMessageA(dlg, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
             PostMessageA(dlg, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
             Pump();
             ClientToScreen(dlg, &at);
             return at;
         },
         fieldMenuLast},
        {"Shift+F10",
         [](HWND dlg) {
             SetFocus(GetDlgItem(dlg, IDC_LONG));
             Key(VK_F10, kShift);
             POINT corner{5, 5};
             ClientToScreen(dlg, &corner);
             return corner;
         },
         fieldMenuLast},
        {"the menu key",
         [](HWND dlg) {
             SetFocus(GetDlgItem(dlg, IDC_LONG));
             Key(VK_APPS);
             POINT corner{5, 5};
             ClientToScreen(dlg, &corner);
             return corner;
         },
         fieldMenuLast},
        {"right click on the caption",
         [](HWND dlg) {
             POINT at = CaptionPoint(dlg);
             RightClickAt(at);
             return at;
         },
         IDM_ABOUTBOX},
    };
    Session s;
    s.Run([&](HWND dlg) {
        for (const Row& row : rows) {
            CAPTURE(std::string(row.name));
            POINT shown{-1, -1};
            UINT last = 0;
            WhenWindowAppears(IsPopupMenu, [&](HWND menu) {
                RECT r;
                GetWindowRect(menu, &r);
                shown = {r.left, r.top};
                auto items = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
                last = GetMenuItemID(items, GetMenuItemCount(items) - 1);
                Press(VK_ESCAPE);
            });
            POINT expected = row.open(dlg);
            Pump();
            CHECK(last == row.lastItem);
            CHECK(shown.x == expected.x);
            CHECK(shown.y == expected.y);
        }
    });
}

TEST_CASE("Cut, Copy and Paste act on the field last entered, with the real clipboard") {
    Session s;
    s.Run([&](HWND dlg) {
        POINT onWindow{200, 60};
        Type("1234");
        SendDlgItemMessageA(dlg, IDC_DEC, EM_SETSEL, 1, 3);
        REQUIRE(SetClipboardText(""));
        ContextMenuAt(dlg, onWindow, 'C');
        CHECK(ClipboardText() == "23");
        CHECK(Text(dlg, IDC_DEC) == "1234");

        ContextMenuAt(dlg, onWindow, 'T');
        CHECK(ClipboardText() == "23");
        CHECK(Text(dlg, IDC_DEC) == "14");
        CHECK(FocusId() == IDC_DEC);

        REQUIRE(SetClipboardText("77"));
        SendDlgItemMessageA(dlg, IDC_DEC, EM_SETSEL, 0, -1);
        ContextMenuAt(dlg, onWindow, 'P');
        CHECK(Text(dlg, IDC_DEC) == "77");
        CHECK(Modified(dlg, IDC_DEC));
        Key(VK_TAB);
        CHECK(Text(dlg, IDC_HEX) == "4D");
        CHECK(Text(dlg, IDC_DEC) == "77");

        // After the refresh nothing in Hex is selected: Copy takes the whole field.
        ContextMenuAt(dlg, onWindow, 'C');
        CHECK(ClipboardText() == "4D");
        DWORD start = 1, end = 1;
        SendDlgItemMessageA(dlg, IDC_HEX, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        CHECK((start == 0 && end == 0));
        CHECK(s.services.beeps.empty());
    });
}

TEST_CASE("a paste into a field that has lost the focus is committed at once") {
    Session s;
    s.Run([&](HWND dlg) {
        Key('H', kAlt);
        Click(GetDlgItem(dlg, IDC_SIGNED));  // the focus leaves Hex, which stays the active field
        CHECK(FocusId() == IDC_SIGNED);
        REQUIRE(SetClipboardText("FF"));
        SendDlgItemMessageA(dlg, IDC_HEX, EM_SETSEL, 0, -1);
        ContextMenuAt(dlg, POINT{200, 60}, 'P');
        CHECK(Text(dlg, IDC_HEX) == "FF");
        CHECK(Text(dlg, IDC_DEC) == "255");
        CHECK_FALSE(Modified(dlg, IDC_HEX));
    });
}

TEST_CASE("F1 in the About box and in the Settings dialog opens the same page") {
    for (UINT command : {IDM_ABOUTBOX, IDM_SETTINGS}) {
        CAPTURE(command);
        Session s;
        s.Run([&](HWND dlg) {
            WhenWindowAppears([&](HWND w) { return w != dlg && GetWindow(w, GW_OWNER) == dlg; }, [](HWND) {
                Key(VK_F1);
                Key(VK_ESCAPE);
            });
            SendMessageA(dlg, WM_SYSCOMMAND, command, 0);
        });
        REQUIRE(s.services.shellCalls.size() == 1);
        CHECK(s.services.shellCalls[0].file == "Help\\Quendrix.htm");
        CHECK(s.services.shellCalls[0].verb == "open");
    }
}

namespace {
// Counts the icon-background erases a minimised window's paint asks for.
int g_iconErases = 0;
LRESULT CALLBACK WatchCalls(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && reinterpret_cast<CWPSTRUCT*>(lp)->message == WM_ICONERASEBKGND) ++g_iconErases;
    return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST_CASE("the minimised window paints its icon; the drag icon is the program's") {
    Session s;
    s.Run([&](HWND dlg) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(dlg, WM_GETICON, ICON_BIG, 0));
        CHECK(icon != nullptr);
        CHECK(reinterpret_cast<HICON>(SendMessageA(dlg, WM_QUERYDRAGICON, 0, 0)) == icon);
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchCalls, nullptr, GetCurrentThreadId());
        g_iconErases = 0;
        SendMessageA(dlg, WM_PAINT, 0, 0);  // restored: the dialog paints itself as usual
        CHECK(g_iconErases == 0);
        ShowWindow(dlg, SW_MINIMIZE);
        Pump();
        CHECK(IsIconic(dlg));
        InvalidateRect(dlg, nullptr, TRUE);
        SendMessageA(dlg, WM_PAINT, 0, 0);  // minimised: the icon's background, then the icon
        CHECK(g_iconErases == 1);
        UnhookWindowsHookEx(hook);
        ShowWindow(dlg, SW_RESTORE);
        Pump();
        CHECK_FALSE(IsIconic(dlg));
    });
}
