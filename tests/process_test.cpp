// The program as a process: it starts, shows the window captioned "Quendrix" with the focus in
// Dec, and Escape ends the process.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include <windows.h>

#include <string>

namespace {

std::string g_program;  // Quendrix.exe, as a Windows path

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;  // a host path, as Wine maps it
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// The top-level window captioned "Quendrix" that belongs to the process.
HWND FindProgramWindow(DWORD pid) {
    for (int i = 0; i < 1000; ++i) {
        for (HWND w = FindWindowA(nullptr, "Quendrix"); w; w = FindWindowExA(nullptr, w, nullptr, "Quendrix")) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid && IsWindowVisible(w)) return w;
        }
        Sleep(10);
    }
    return nullptr;
}

}  // namespace

TEST_CASE("Quendrix.exe opens its window and Escape ends the process") {
    REQUIRE_FALSE(g_program.empty());
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + g_program + "\"";
    REQUIRE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));

    HWND window = FindProgramWindow(pi.dwProcessId);
    REQUIRE(window != nullptr);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    for (int i = 0; i < 500 && !(GetGUIThreadInfo(pi.dwThreadId, &gui) && gui.hwndFocus); ++i) Sleep(10);
    REQUIRE(gui.hwndFocus != nullptr);
    CHECK(GetDlgCtrlID(gui.hwndFocus) == 1004);  // Dec

    PostMessageA(gui.hwndFocus, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(gui.hwndFocus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    CHECK(WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CHECK(code == 0);
    CHECK_FALSE(IsWindow(window));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

int main(int argc, char** argv) {
    if (argc > 1) g_program = WindowsPath(argv[1]);
    doctest::Context context(argc - 1, argv + 1);
    return context.run();
}
