// Start-up and memory of a program against the minimal dialog program, side by side under the
// same Wine: from process start until it waits for input with its window shown, and its peak
// working set. Runs each program in turn, medians over the rounds.
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
    double peakMiB;
};

bool VisibleWindowOf(DWORD pid) {
    struct Find {
        DWORD pid;
        bool found;
    } find{pid, false};
    EnumWindows(
        [](HWND w, LPARAM lp) {
            auto* f = reinterpret_cast<Find*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == f->pid && IsWindowVisible(w)) f->found = true;
            return f->found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
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
    LARGE_INTEGER freq, start, ready;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    WaitForInputIdle(pi.hProcess, 20000);
    HWND focus = nullptr;
    for (int i = 0; i < 20000 && !(VisibleWindowOf(pi.dwProcessId) && (focus = FocusOf(pi.dwThreadId))); ++i) Sleep(1);
    QueryPerformanceCounter(&ready);
    sample.startMs = 1000.0 * static_cast<double>(ready.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);
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
    std::vector<std::vector<double>> starts(static_cast<size_t>(count)), peaks(static_cast<size_t>(count));
    Sample s{};
    for (int p = 0; p < count; ++p) Run(argv[2 + p], s);  // warm the caches for all
    for (int i = 0; i < rounds; ++i)
        for (int p = 0; p < count; ++p) {
            if (!Run(argv[2 + p], s)) return 1;
            starts[static_cast<size_t>(p)].push_back(s.startMs);
            peaks[static_cast<size_t>(p)].push_back(s.peakMiB);
        }
    double baseStart = Median(starts[0]), basePeak = Median(peaks[0]);
    std::printf("baseline %s: start-up %.1f ms, peak working set %.2f MiB\n", argv[2], baseStart, basePeak);
    for (int p = 1; p < count; ++p) {
        double st = Median(starts[static_cast<size_t>(p)]), pk = Median(peaks[static_cast<size_t>(p)]);
        std::printf("%s: start-up %.1f ms (%.3fx), peak working set %.2f MiB (%.3fx)\n", argv[2 + p], st,
                    st / baseStart, pk, basePeak > 0 ? pk / basePeak : 0.0);
    }
    return 0;
}
