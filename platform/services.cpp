#include "platform/services.h"

#include <shellapi.h>

namespace platform {

namespace {
Services g_real;
Services* g_current = &g_real;

// Wine 8 ignores MB_TOPMOST, so a box meant to be seen would open behind a window that stays on
// top. The first window the box's call activates is the box: it is raised above every
// non-topmost window there, as Windows itself does.
HHOOK g_raiseHook = nullptr;
LRESULT CALLBACK RaiseFirstActivated(int code, WPARAM wp, LPARAM lp) {
    LRESULT next = CallNextHookEx(g_raiseHook, code, wp, lp);
    if (code == HCBT_ACTIVATE && g_raiseHook) {
        UnhookWindowsHookEx(g_raiseHook);
        g_raiseHook = nullptr;
        SetWindowPos(reinterpret_cast<HWND>(wp), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return next;
}
}  // namespace

FARPROC LoadProc(const char* library, const char* name) {
    HMODULE module = LoadLibraryA(library);
    return module ? GetProcAddress(module, name) : nullptr;
}

BOOL Services::Beep(UINT type) { return ::MessageBeep(type); }

HINSTANCE Services::ShellOpen(HWND owner, const char* verb, const char* file, int show) {
    // The shell is loaded on the first help request, not at start: it is large and most runs
    // never need it.
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static auto shellExecute = LoadFunction<ShellExecuteFn>("shell32.dll", "ShellExecuteA");
    if (!shellExecute) return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_NOASSOC));
    return shellExecute(owner, verb, file, nullptr, nullptr, show);
}

int Services::MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if ((type & MB_TOPMOST) && !g_raiseHook)
        g_raiseHook = SetWindowsHookExA(WH_CBT, RaiseFirstActivated, nullptr, GetCurrentThreadId());
    int result = ::MessageBoxA(owner, text, caption, type);
    if (g_raiseHook) {  // never activated: the box could not be shown
        UnhookWindowsHookEx(g_raiseHook);
        g_raiseHook = nullptr;
    }
    return result;
}

LONG Services::OpenRegistryKey(HKEY parent, const char* name, REGSAM access, HKEY* result) {
    return ::RegOpenKeyExA(parent, name, 0, access, result);
}

void SetServices(Services* services) { g_current = services ? services : &g_real; }

BOOL Beep(UINT type) { return g_current->Beep(type); }
HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, int show) {
    return g_current->ShellOpen(owner, verb, file, show);
}
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return g_current->MessageBox(owner, text, caption, type);
}
LONG OpenRegistryKey(HKEY parent, const char* name, REGSAM access, HKEY* result) {
    return g_current->OpenRegistryKey(parent, name, access, result);
}

}  // namespace platform
