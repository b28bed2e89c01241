// Linked into the soak's build of the program only: tells how many GDI and USER objects the
// process holds. A message-only window of its own answers the probe's question (WM_APP) on the
// program's thread, between two of its messages. Wine's GetGuiResources answers 0, so there the
// objects are counted from the process's own tables.
#include <windows.h>
#include <winternl.h>

#include <cstdint>

namespace {

constexpr char kClass[] = "QuendrixObjectCount";

// GDI objects: on Windows the system's count; under Wine the live entries of the handle table
// the PEB points to (GdiSharedHandleTable, at 0xF8 of a 64-bit PEB): 65,536 entries of 24
// bytes, the object's type in byte 14, 0 for a free entry.
DWORD GdiObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
    PROCESS_BASIC_INFORMATION info{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return 0;
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(reinterpret_cast<const BYTE*>(info.PebBaseAddress) + 0xF8);
    DWORD n = 0;
    if (table)
        for (size_t i = 0; i < 0x10000; ++i) n += table[i * 24 + 14] != 0;
    return n;
}

struct WindowCount {
    DWORD pid;
    DWORD windows;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
    ++reinterpret_cast<WindowCount*>(lp)->windows;
    return TRUE;
}

void CountTree(HWND w, WindowCount& count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != count.pid) return;
    ++count.windows;
    EnumChildWindows(w, CountChild, reinterpret_cast<LPARAM>(&count));  // all descendants
}

BOOL CALLBACK CountTop(HWND w, LPARAM lp) {
    CountTree(w, *reinterpret_cast<WindowCount*>(lp));
    return TRUE;
}

// Windows of this process, hidden and message-only ones included (this counter's own among them).
DWORD Windows() {
    WindowCount count{GetCurrentProcessId(), 0};
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&count));
    for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr))
        CountTree(w, count);
    return count.windows;
}

// Menus, and icons and cursors: every user handle index, named by its low word alone (which
// Wine accepts for an object of this process, whatever its generation), tried as each kind.
void MenusAndIcons(DWORD& menus, DWORD& icons) {
    menus = icons = 0;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 1, 1);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (UINT_PTR h = 0x20; h <= 0xFFEF; h += 2) {
        if (IsMenu(reinterpret_cast<HMENU>(h)))
            ++menus;
        else if (DrawIconEx(dc, 0, 0, reinterpret_cast<HICON>(h), 1, 1, 0, nullptr, DI_NORMAL))
            ++icons;
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// USER objects: on Windows the system's count; under Wine windows, menus, icons and cursors.
DWORD UserObjects(DWORD& windows, DWORD& menus, DWORD& icons) {
    windows = Windows();
    menus = icons = 0;
    // Windows counts them itself; probing handle indexes there would find other processes' menus.
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return n;
    MenusAndIcons(menus, icons);
    return windows + menus + icons;
}

LRESULT CALLBACK CounterProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_APP) return DefWindowProcA(w, msg, wp, lp);
    // GDI first: the user count draws, with objects of its own.
    const DWORD gdi = GdiObjects();
    DWORD windows = 0, menus = 0, icons = 0;
    const DWORD user = UserObjects(windows, menus, icons);
    // Four counts of 16 bits: GDI, USER, and of the USER objects the windows and the menus.
    return static_cast<LRESULT>(static_cast<uint64_t>(gdi & 0xFFFF) | static_cast<uint64_t>(user & 0xFFFF) << 16 |
                                static_cast<uint64_t>(windows & 0xFFFF) << 32 |
                                static_cast<uint64_t>(menus & 0xFFFF) << 48);
}

// Made before WinMain runs, on the thread that will run the program's window.
const HWND g_counter = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CounterProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    return CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}();

}  // namespace
