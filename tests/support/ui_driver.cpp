#include "tests/support/ui_driver.h"

#include <cstring>
#include <exception>
#include <set>
#include <stdexcept>

namespace uitest {

namespace {

struct PendingWindow {
    std::set<HWND> known;
    std::function<bool(HWND)> match;
    std::function<void(HWND)> action;
    int run;               // the RunModal it was asked in, by depth
    std::string required;  // what it is, when it must appear; empty when it need not
};
std::vector<PendingWindow> g_pending;
UINT_PTR g_watchTimer = 0;
int g_runDepth = 0;

void Await(std::function<bool(HWND)> match, std::function<void(HWND)> action, std::string required);

std::set<HWND> ThreadWindows() {
    std::set<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) {
            reinterpret_cast<std::set<HWND>*>(lp)->insert(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void CALLBACK WatchWindows(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND h : ThreadWindows()) {
        for (size_t i = 0; i < g_pending.size(); ++i) {
            PendingWindow& p = g_pending[i];
            if (p.known.count(h) || !IsWindowVisible(h) || !p.match(h)) continue;
            auto action = std::move(p.action);
            g_pending.erase(g_pending.begin() + static_cast<std::ptrdiff_t>(i));
            if (g_pending.empty() && g_watchTimer) {
                KillTimer(nullptr, g_watchTimer);
                g_watchTimer = 0;
            }
            action(h);
            return;  // one at a time; the next tick looks again
        }
    }
}

HWND RootOf(HWND h) { return h ? GetAncestor(h, GA_ROOT) : nullptr; }

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

}  // namespace

INT_PTR RunModal(CDialog& dlg, const std::function<void(HWND)>& script) {
    std::exception_ptr failure;
    ++g_runDepth;
    Await([&](HWND h) { return h == dlg.m_hWnd; },
          [&](HWND h) {
              try {
                  Pump();
                  script(h);
              } catch (...) {
                  failure = std::current_exception();
              }
              // A dialog the script ended is hidden already and keeps the script's result.
              if (IsWindow(h) && IsWindowVisible(h)) EndDialog(h, kLeftOpen);
          },
          "the dialog RunModal runs");
    INT_PTR result = dlg.DoModal();
    std::vector<std::string> missing;
    for (auto p = g_pending.begin(); p != g_pending.end();) {
        if (p->run != g_runDepth) {
            ++p;
            continue;
        }
        if (!p->required.empty()) missing.push_back(p->required);
        p = g_pending.erase(p);
    }
    --g_runDepth;
    if (g_pending.empty() && g_watchTimer) KillTimer(nullptr, g_watchTimer), g_watchTimer = 0;
    if (failure) std::rethrow_exception(failure);
    if (!missing.empty()) throw std::runtime_error(missing[0] + " never appeared; the checks meant for it did not run");
    return result;
}

void Pump() {
    // Input sent through the system arrives a moment later: look until the queue stays empty.
    // Unicode, as the system's own dialog loop is: a character reaches a Unicode field whole
    // whatever the ANSI code page.
    for (int idle = 0; idle < 3;) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ++idle;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        // Timers tick for as long as a control tracks the pointer: they are handled, but count
        // as quiet moments.
        constexpr UINT kSystemTimer = 0x0118;
        if (msg.message == WM_TIMER || msg.message == kSystemTimer)
            ++idle;
        else
            idle = 0;
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        HWND root = RootOf(msg.hwnd);
        if (root && IsDialogMessageW(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Key(UINT vk, unsigned modifiers) {
    Press(vk, modifiers);
    Pump();
}

void Press(UINT vk, unsigned modifiers) {
    if (modifiers & kCtrl) SendKey(VK_CONTROL, false);
    if (modifiers & kShift) SendKey(VK_SHIFT, false);
    if (modifiers & kAlt) SendKey(VK_MENU, false);
    SendKey(static_cast<WORD>(vk), false);
    SendKey(static_cast<WORD>(vk), true);
    if (modifiers & kAlt) SendKey(VK_MENU, true);
    if (modifiers & kShift) SendKey(VK_SHIFT, true);
    if (modifiers & kCtrl) SendKey(VK_CONTROL, true);
}

void Type(const std::string& text) {
    for (char c : text) {
        PostMessageA(GetFocus(), WM_CHAR, static_cast<unsigned char>(c), 1);
        Pump();
    }
}

void ClickAt(HWND control, int x, int y) {
    LPARAM at = MAKELPARAM(x, y);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Pump();
    PostMessageA(control, WM_LBUTTONUP, 0, at);
    Pump();
}

void Click(HWND control) {
    RECT r;
    GetClientRect(control, &r);
    ClickAt(control, r.right / 2, r.bottom / 2);
}

std::string Text(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    length = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}

std::string Text(HWND dlg, int id) { return Text(GetDlgItem(dlg, id)); }

void SetText(HWND dlg, int id, const std::string& text) {
    SetWindowTextA(GetDlgItem(dlg, id), text.c_str());
    Pump();
}

int FocusId() {
    HWND focus = GetFocus();
    return focus ? GetDlgCtrlID(focus) : 0;
}

bool Checked(HWND dlg, int id) { return SendDlgItemMessageA(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE; }
bool Modified(HWND dlg, int id) { return SendDlgItemMessageA(dlg, id, EM_GETMODIFY, 0, 0) != 0; }

std::pair<int, int> Selection(HWND dlg, int id) {
    DWORD start = 0, end = 0;
    SendDlgItemMessageA(dlg, id, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

HWND VisibleToolTip() {
    for (HWND w = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); w;
         w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr))
        if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) return w;
    return nullptr;
}

HWND WaitForToolTip(HWND tool, DWORD ms) {
    for (const DWORD start = GetTickCount();;) {
        if (HWND tip = VisibleToolTip()) {
            TOOLINFOA current{};
            current.cbSize = sizeof current;
            if (!tool || (SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&current)) &&
                          current.uId == reinterpret_cast<UINT_PTR>(tool)))
                return tip;
        }
        if (GetTickCount() - start >= ms) return nullptr;
        Pump();
    }
}

bool WaitForNoToolTip(DWORD ms) {
    for (const DWORD start = GetTickCount(); VisibleToolTip(); Pump())
        if (GetTickCount() - start >= ms) return false;
    return true;
}

bool SetClipboardText(const std::string& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    bool placed = false;
    if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        std::memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
        GlobalUnlock(mem);
        placed = SetClipboardData(CF_TEXT, mem) != nullptr;
    }
    CloseClipboard();
    return placed;
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

namespace {
void Await(std::function<bool(HWND)> match, std::function<void(HWND)> action, std::string required) {
    g_pending.push_back({ThreadWindows(), std::move(match), std::move(action), g_runDepth, std::move(required)});
    if (!g_watchTimer) g_watchTimer = SetTimer(nullptr, 0, 20, WatchWindows);
}
}  // namespace

void WhenWindowAppears(std::function<bool(HWND)> match, std::function<void(HWND)> action,
                       std::source_location asked) {
    Await(std::move(match), std::move(action),
          "the window awaited at " + std::string(asked.file_name()) + ":" + std::to_string(asked.line()));
}

void IfWindowAppears(std::function<bool(HWND)> match, std::function<void(HWND)> action) {
    Await(std::move(match), std::move(action), {});
}

bool IsMessageBox(HWND window) {
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    return std::string(cls) == "#32770" && GetDlgItem(window, 0xFFFF) != nullptr;
}

std::string MessageBoxText(HWND box) { return Text(GetDlgItem(box, 0xFFFF)); }

CleanOptions::CleanOptions() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Holvanta"); }
CleanOptions::~CleanOptions() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Holvanta"); }

BOOL RecordingServices::Beep(UINT type) {
    beeps.push_back(type);
    return TRUE;
}

HINSTANCE RecordingServices::ShellOpen(HWND owner, const char* verb, const char* file, int show) {
    shellCalls.push_back({verb ? verb : "", file ? file : "", show});
    if (realShell) return platform::Services::ShellOpen(owner, verb, file, show);
    // As the shell would answer, without starting a browser: found, or file not found (2).
    bool found = file && GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES;
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(found ? 42 : 2));
}

int RecordingServices::MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    boxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    if (realMessageBoxes) return platform::Services::MessageBox(owner, text, caption, type);
    return IDOK;
}

}  // namespace uitest
