// Start-up and memory of a program against a baseline program, side by side under the same Wine:
// from process start until it waits for input with its window shown and the focus set (ready),
// until the window and every control in it have been painted (painted), and its peak working
// set. Runs each program in turn, medians over the rounds.
//   startup_bench ROUNDS BASELINE PROGRAM...
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sample {
    double startMs;
    double paintedMs;
    double peakMiB;
};

HWND VisibleWindowOf(DWORD pid) {
    struct Find {
        DWORD pid;
        HWND found;
    } find{pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) {
            auto* f = reinterpret_cast<Find*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == f->pid && IsWindowVisible(w)) f->found = w;
            return f->found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// Nothing left to paint in the window nor in any of its controls (a shown window has all of it
// to paint until its WM_PAINTs have run).
bool Painted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c) && GetUpdateRect(c, nullptr, FALSE)) return false;
    return true;
}

double MsSince(const LARGE_INTEGER& start, const LARGE_INTEGER& freq) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    return GetGUIThreadInfo(thread, &gui) ? gui.hwndFocus : nullptr;
}

bool Run(const std::string& program, Sample& sample) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + program + "\"";
    LARGE_INTEGER freq, start;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    WaitForInputIdle(pi.hProcess, 20000);
    HWND window = nullptr, focus = nullptr;
    for (int i = 0; i < 20000 && !((window = VisibleWindowOf(pi.dwProcessId)) && (focus = FocusOf(pi.dwThreadId))); ++i)
        Sleep(1);
    sample.startMs = MsSince(start, freq);
    for (int i = 0; i < 20000 && window && !Painted(window); ++i) Sleep(1);
    sample.paintedMs = MsSince(start, freq);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    sample.peakMiB = GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters)
                         ? static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0)
                         : 0.0;
    if (focus) {
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    }
    bool ended = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return focus && ended;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench ROUNDS BASELINE PROGRAM...\n");
        return 2;
    }
    int rounds = std::atoi(argv[1]);
    int count = argc - 2;  // the baseline first
    std::vector<std::vector<double>> starts(static_cast<size_t>(count)), paints(static_cast<size_t>(count)),
        peaks(static_cast<size_t>(count));
    Sample s{};
    for (int p = 0; p < count; ++p) Run(argv[2 + p], s);  // warm the caches for all
    for (int i = 0; i < rounds; ++i)
        for (int p = 0; p < count; ++p) {
            if (!Run(argv[2 + p], s)) return 1;
            starts[static_cast<size_t>(p)].push_back(s.startMs);
            paints[static_cast<size_t>(p)].push_back(s.paintedMs);
            peaks[static_cast<size_t>(p)].push_back(s.peakMiB);
        }
    double baseStart = Median(starts[0]), basePaint = Median(paints[0]), basePeak = Median(peaks[0]);
    std::printf("baseline %s: start-up %.1f ms, painted %.1f ms, peak working set %.2f MiB\n", argv[2], baseStart,
                basePaint, basePeak);
    for (int p = 1; p < count; ++p) {
        auto i = static_cast<size_t>(p);
        double st = Median(starts[i]), pt = Median(paints[i]), pk = Median(peaks[i]);
        std::printf("%s: start-up %.1f ms (%.3fx), painted %.1f ms (%.3fx), peak working set %.2f MiB (%.3fx)\n",
                    argv[2 + p], st, st / baseStart, pt, pt / basePaint, pk, basePeak > 0 ? pk / basePeak : 0.0);
    }
    return 0;
}
