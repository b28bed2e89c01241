// The few platform calls whose real effect a test cannot observe or must not trigger: the beep,
// the shell's open, message boxes, and opening a registry key (a test may refuse it where the
// platform under test would grant every access). The program calls these functions; a test may
// put its own Services in place to watch them (and may still pass them on to the real ones).
#pragma once

#include <windows.h>

namespace platform {

class Services {
public:
    virtual ~Services() = default;
    virtual BOOL Beep(UINT type);
    virtual HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, int show);
    // MB_TOPMOST is honoured where the system ignores it (Wine 8).
    virtual int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
    virtual LONG OpenRegistryKey(HKEY parent, const char* name, REGSAM access, HKEY* result);
};

// Keeps every later DLL search of the process to the system directory, so that a DLL of a system
// library's name in the program's folder (a Downloads folder, say) or the current one is never
// loaded in its place. The program's first call.
void RestrictDllSearch();

// A system library from the system directory only, nullptr where it cannot be loaded: through the
// loader's own flag where it has one (Windows 8, and 7 with update KB2533623), else by its full
// path there. The second form takes the way to use, for tests of both.
HMODULE LoadSystemLibrary(const char* name);
HMODULE LoadSystemLibrary(const char* name, bool loaderHasSearchFlags);

// A function of a system library loaded on first use, to keep the start-up small; nullptr when
// the library or the function is missing.
FARPROC LoadProc(const char* library, const char* name);
template <class F>
F LoadFunction(const char* library, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(LoadProc(library, name)));
}

// Puts `services` in place of the real ones; nullptr restores the real ones.
void SetServices(Services* services);

BOOL Beep(UINT type);
HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, int show);
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
LONG OpenRegistryKey(HKEY parent, const char* name, REGSAM access, HKEY* result);

}  // namespace platform
