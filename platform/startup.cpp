// The GUI entry point; linked into the program only (tests bring their own main).
#include "platform/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return platform::RunApplication();
}
