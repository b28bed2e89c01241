// Shows one of the program's dialog templates exactly as the dialog manager lays it out, for
// screenshots: show_dialog NUMBER [SECONDS]. Prints the window's screen rectangle
// ("x y width height") once it is drawn, then keeps it up for SECONDS (default 10).
//
//   x86_64-w64-mingw32-windres -Ires res/Quendrix.rc -O coff -o res.o
//   x86_64-w64-mingw32-g++-posix -std=c++20 -static -Ires tests/tools/show_dialog.cpp res.o
//       -lcomctl32 -lgdi32 -o show_dialog.exe
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace {

// No handlers: the screenshot shows the template alone. The owner-drawn swatch stays empty.
INT_PTR CALLBACK showOnly(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: show_dialog NUMBER [SECONDS]\n");
        return 2;
    }
    int number = std::atoi(argv[1]);
    UINT seconds = argc > 2 ? static_cast<UINT>(std::atoi(argv[2])) : 10;

    // The converter's template holds an up-down control.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(number), nullptr, showOnly, 0);
    if (!dialog) {
        std::fprintf(stderr, "show_dialog: no dialog %d (error %lu)\n", number, GetLastError());
        return 1;
    }
    SetWindowPos(dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(dialog);
    SetTimer(nullptr, 0, seconds * 1000, nullptr);

    RECT r{};
    GetWindowRect(dialog, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fflush(stdout);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) {
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DestroyWindow(dialog);
    return 0;
}
