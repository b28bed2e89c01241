// The GUI entry point; linked into the program only (tests bring their own main).
#include "platform/app.h"
#include "platform/services.h"

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything loads a library on demand (comctl32 its theme library, the shell, the
    // colour dialog).
    platform::RestrictDllSearch();
    return platform::RunApplication();
}

// The program throws nothing; should the runtime ever end it, it need not spell out the type of
// an exception. Replacing the verbose handler keeps the runtime's name demangler out of the
// executable (a third of its size).
namespace __gnu_cxx {
void __verbose_terminate_handler() { abort(); }
}  // namespace __gnu_cxx
