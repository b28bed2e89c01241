// Start-up and memory of a program against the minimal dialog program, side by side under the
// same Wine: from process start until it waits for input with its window shown, and its peak
// working set. Runs each program in turn, medians over the rounds.
//   startup_bench ROUNDS PROGRAM BASELINE
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
        std::fprintf(stderr, "usage: startup_bench ROUNDS PROGRAM BASELINE\n");
        return 2;
    }
    int rounds = std::atoi(argv[1]);
    std::vector<double> ourStart, baseStart, ourPeak, basePeak;
    Sample s{};
    Run(argv[2], s);  // warm the caches for both
    Run(argv[3], s);
    for (int i = 0; i < rounds; ++i) {
        if (!Run(argv[2], s)) return 1;
        ourStart.push_back(s.startMs);
        ourPeak.push_back(s.peakMiB);
        if (!Run(argv[3], s)) return 1;
        baseStart.push_back(s.startMs);
        basePeak.push_back(s.peakMiB);
    }
    double os = Median(ourStart), bs = Median(baseStart), op = Median(ourPeak), bp = Median(basePeak);
    std::printf("start-up: Quendrix %.1f ms, minimal dialog %.1f ms, ratio %.3fx (target <= 1.15x)\n", os, bs, os / bs);
    std::printf("peak working set: Quendrix %.2f MiB, minimal dialog %.2f MiB, ratio %.3fx (target <= 1.1x)\n", op, bp,
                bp > 0 ? op / bp : 0.0);
    return 0;
}
