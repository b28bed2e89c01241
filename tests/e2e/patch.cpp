// A patch of one known colour on the screen, for the eyedropper to pick from:
//   e2e_patch RRGGBB X Y WIDTH HEIGHT
// Shown without taking the activation, above other windows; it closes when its standard input
// ends, so the suite that started it ends it by closing the pipe.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

HWND g_window = nullptr;

LRESULT CALLBACK PatchProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

DWORD WINAPI WatchInput(void*) {
    char buf[64];
    while (std::fgets(buf, sizeof buf, stdin)) {
    }
    PostMessageA(g_window, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: e2e_patch RRGGBB X Y WIDTH HEIGHT\n");
        return 2;
    }
    unsigned long rgb = std::strtoul(argv[1], nullptr, 16);
    COLORREF colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    WNDCLASSA wc{};
    wc.lpfnWndProc = PatchProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(colour);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "e2e_patch";
    RegisterClassA(&wc);
    g_window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "e2e_patch", "e2e patch", WS_POPUP,
                               std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), nullptr,
                               nullptr, wc.hInstance, nullptr);
    if (!g_window) return 1;
    ShowWindow(g_window, SW_SHOWNOACTIVATE);
    UpdateWindow(g_window);
    CloseHandle(CreateThread(nullptr, 0, WatchInput, nullptr, 0, nullptr));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
