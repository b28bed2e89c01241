#include "platform/services.h"

#include <shellapi.h>

#include <cstring>

namespace platform {

namespace {
Services g_real;
Services* g_current = &g_real;

// Wine 8 ignores MB_TOPMOST, so a box meant to be seen would open behind a window that stays on
// top. The first top-level window the box's call creates is the box: it is made topmost as it
// is activated, as Windows does itself.
thread_local HHOOK t_raiseHook = nullptr;
thread_local HWND t_box = nullptr;
LRESULT CALLBACK RaiseBox(int code, WPARAM wp, LPARAM lp) {
    LRESULT next = CallNextHookEx(t_raiseHook, code, wp, lp);
    auto hWnd = reinterpret_cast<HWND>(wp);
    if (code == HCBT_CREATEWND && !t_box && !(reinterpret_cast<CBT_CREATEWNDA*>(lp)->lpcs->style & WS_CHILD)) t_box = hWnd;
    if (code == HCBT_ACTIVATE && hWnd == t_box && t_raiseHook) {
        UnhookWindowsHookEx(t_raiseHook);
        t_raiseHook = nullptr;
        SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return next;
}
}  // namespace

namespace {
template <class F>
F KernelFunction(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// The update that brought the LOAD_LIBRARY_SEARCH_ flags brought AddDllDirectory with them.
bool LoaderHasSearchFlags() {
    static const bool has = KernelFunction<FARPROC>("AddDllDirectory") != nullptr;
    return has;
}
}  // namespace

void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = KernelFunction<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories");
    // Without it, at least the current folder leaves the search; the program's own folder stays
    // first, which is why LoadSystemLibrary then names the full path.
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryA("");
}

HMODULE LoadSystemLibrary(const char* name) { return LoadSystemLibrary(name, LoaderHasSearchFlags()); }

HMODULE LoadSystemLibrary(const char* name, bool loaderHasSearchFlags) {
    if (loaderHasSearchFlags) return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    size_t nameLength = std::strlen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, name, nameLength + 1);
    // The library's own imports are then looked for beside it first, not in the program's folder.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC LoadProc(const char* library, const char* name) {
    HMODULE module = LoadSystemLibrary(library);
    return module ? GetProcAddress(module, name) : nullptr;
}

BOOL Services::Beep(UINT type) { return ::MessageBeep(type); }

HINSTANCE Services::ShellOpen(HWND owner, const char* verb, const char* file, int show) {
    // The shell is loaded on the first help request, not at start: it is large and most runs
    // never need it.
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static auto shellExecute = LoadFunction<ShellExecuteFn>("shell32.dll", "ShellExecuteA");
    if (!shellExecute) return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_NOASSOC));
    // A relative file is the current directory's, as Windows' shell reads it; Wine's also looks
    // beside the executable and would open a page the current directory does not hold.
    char full[MAX_PATH];
    if (file && !std::strchr(file, ':') && file[0] != '\\') {
        DWORD length = GetFullPathNameA(file, MAX_PATH, full, nullptr);
        if (length > 0 && length < MAX_PATH) file = full;
    }
    return shellExecute(owner, verb, file, nullptr, nullptr, show);
}

int Services::MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if ((type & MB_TOPMOST) && !t_raiseHook) {
        t_box = nullptr;
        t_raiseHook = SetWindowsHookExA(WH_CBT, RaiseBox, nullptr, GetCurrentThreadId());
    }
    int result = ::MessageBoxA(owner, text, caption, type);
    if (t_raiseHook) {  // the box was never activated
        UnhookWindowsHookEx(t_raiseHook);
        t_raiseHook = nullptr;
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
