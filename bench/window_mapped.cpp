// window_mapped PROGRAM [ARGUMENT...]: starts the program on $DISPLAY and prints the milliseconds
// from its start until its first top-level window is mapped, its resident memory in KiB (VmRSS)
// once the window has settled (SETTLE_MS, 1000 by default) and the processor time it had used
// when the window was mapped (milliseconds, all its threads); then ends it with SIGTERM.
// A top-level is a child of the root: the program's own window on a bare screen, the frame a
// window manager puts around it otherwise. It is the program's when it or a child of it carries
// the program's _NET_WM_PID. The root's substructure is watched before the program starts, so
// no map is missed.
#include <xcb/xcb.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

namespace {

double Milliseconds(const timespec& since) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - since.tv_sec) * 1e3 + (now.tv_nsec - since.tv_nsec) / 1e6;
}

template <typename T>
std::unique_ptr<T, decltype(&std::free)> Owned(T* reply) {
    return {reply, &std::free};
}

bool CarriesPid(xcb_connection_t* x, xcb_window_t window, xcb_atom_t pidAtom, pid_t pid) {
    auto reply = Owned(xcb_get_property_reply(x, xcb_get_property(x, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    return reply && xcb_get_property_value_length(reply.get()) == 4 &&
           *static_cast<uint32_t*>(xcb_get_property_value(reply.get())) == static_cast<uint32_t>(pid);
}

bool Owns(xcb_connection_t* x, xcb_window_t window, xcb_atom_t pidAtom, pid_t pid) {
    if (CarriesPid(x, window, pidAtom, pid)) return true;
    auto tree = Owned(xcb_query_tree_reply(x, xcb_query_tree(x, window), nullptr));
    if (!tree) return false;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
        if (CarriesPid(x, children[i], pidAtom, pid)) return true;
    return false;
}

// The processor time all the program's threads have had, in milliseconds (the scheduler's count).
double CpuMilliseconds(pid_t pid) {
    char path[320];
    std::snprintf(path, sizeof path, "/proc/%d/task", static_cast<int>(pid));
    DIR* tasks = opendir(path);
    if (!tasks) return -1;
    double ns = 0;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.') continue;
        std::snprintf(path, sizeof path, "/proc/%d/task/%s/schedstat", static_cast<int>(pid), task->d_name);
        if (FILE* stat = std::fopen(path, "r")) {
            unsigned long long run = 0;
            if (std::fscanf(stat, "%llu", &run) == 1) ns += static_cast<double>(run);
            std::fclose(stat);
        }
    }
    closedir(tasks);
    return ns / 1e6;
}

long ResidentKib(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(pid));
    FILE* status = std::fopen(path, "r");
    if (!status) return -1;
    char line[256];
    long kib = -1;
    while (kib < 0 && std::fgets(line, sizeof line, status))
        if (!std::strncmp(line, "VmRSS:", 6)) kib = std::atol(line + 6);
    std::fclose(status);
    return kib;
}

void End(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(100000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int Fail(const char* what, pid_t pid) {
    std::fprintf(stderr, "window_mapped: %s\n", what);
    if (pid > 0) End(pid);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return std::fputs("usage: window_mapped PROGRAM [ARGUMENT...]\n", stderr), 2;
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) return Fail("cannot open the display", 0);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    auto atom = Owned(xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, 11, "_NET_WM_PID"), nullptr));
    if (!atom || xcb_request_check(x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask)))
        return Fail("cannot watch the root window", 0);
    const char* settle = std::getenv("SETTLE_MS");
    const int settleMs = settle ? std::max(0, std::atoi(settle)) : 1000;

    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid < 0) return Fail("cannot start the program", 0);
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    double mapped = -1, cpu = -1;
    while (mapped < 0) {
        pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
        poll(&fd, 1, 100);
        while (auto event = Owned(xcb_poll_for_event(x))) {
            if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY) continue;
            const double at = Milliseconds(start), used = CpuMilliseconds(pid);
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
            if (map->event == root && !map->override_redirect && Owns(x, map->window, atom->atom, pid)) {
                mapped = at;
                cpu = used;
                break;
            }
        }
        if (xcb_connection_has_error(x)) return Fail("lost the display", pid);
        if (mapped < 0 && waitpid(pid, nullptr, WNOHANG) == pid) return Fail("the program ended without a window", 0);
        if (mapped < 0 && Milliseconds(start) > 30000) return Fail("no window after 30 s", pid);
    }
    usleep(static_cast<useconds_t>(settleMs) * 1000);
    const long kib = ResidentKib(pid);
    End(pid);
    std::printf("%.1f %ld %.1f\n", mapped, kib, cpu);
    return 0;
}
