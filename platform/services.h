// The few platform calls whose real effect a test cannot observe or must not trigger: the beep,
// the shell's open and message boxes. The program calls these functions; a test may put its own
// Services in place to watch them (and may still pass them on to the real ones).
#pragma once

#include <windows.h>

namespace platform {

class Services {
public:
    virtual ~Services() = default;
    virtual BOOL Beep(UINT type);
    virtual HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, int show);
    virtual int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
};

// Puts `services` in place of the real ones; nullptr restores the real ones.
void SetServices(Services* services);

BOOL Beep(UINT type);
HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, int show);
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

}  // namespace platform
