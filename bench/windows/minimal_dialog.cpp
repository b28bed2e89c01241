// The baseline for start-up and memory: the least a Win32 program can be that shows a dialog
// from a template and waits for the user. Escape ends it.
#include <windows.h>
#include <commctrl.h>

static INT_PTR CALLBACK MinimalProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL) {
        EndDialog(hWnd, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef WITH_COMMON_CONTROLS
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
#endif
#ifdef TEMPLATE
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(TEMPLATE), nullptr, MinimalProc, 0));
#else
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(1), nullptr, MinimalProc, 0));
#endif
}
