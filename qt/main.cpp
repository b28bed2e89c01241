// quendrix: the converter window on the Linux desktop, native on Wayland and on X11. The options
// are loaded before the window shows and saved when it closes or the desktop session ends.
#include "qt/converter_window.h"
#include "qt/options_file.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QSessionManager>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// SIGTERM's handler writes a byte here; the event loop reads it.
int g_terminate[2] = {-1, -1};
void Terminate(int) {
    const int saved = errno;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(g_terminate[1], &byte, 1);
    errno = saved;
}

// Saved at any end of the process, the one Qt takes when the display goes away (exit(1)) too; a
// save with nothing changed since the last one writes nothing.
OptionsFile* g_file = nullptr;
const Settings* g_options = nullptr;
void SaveAtExit() {
    if (g_file) g_file->Save(*g_options);
}

const char kUsage[] = "usage: quendrix (no arguments; the options are set in the window)\n";

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Whether a local socket takes a connection: the display server is there to talk to.
bool Answers(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t at = abstract ? 1 : 0;
    if (path.size() + at >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path + at, path.data(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + at + path.size());
    const bool answered = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    close(fd);
    return answered;
}

bool WaylandAnswers() {
    if (!Set("WAYLAND_DISPLAY")) return false;
    const std::string name = std::getenv("WAYLAND_DISPLAY");
    if (name[0] == '/') return Answers(name, false);
    return Set("XDG_RUNTIME_DIR") && Answers(std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + name, false);
}

// A local display (":N", "unix:N", ":N.S") by its socket; one on another host is Qt's to try.
bool X11Answers() {
    if (!Set("DISPLAY")) return false;
    std::string display = std::getenv("DISPLAY");
    if (display.rfind("unix:", 0) == 0) display.erase(0, 4);
    if (display[0] != ':') return true;
    const std::string number = display.substr(1, display.find('.') - 1);
    const std::string socket = "/tmp/.X11-unix/X" + number;
    return Answers(socket, false) || Answers(socket, true);
}

// Qt ends a program that finds no display with an abort and three lines of its own: this says
// it in one, and picks the Wayland platform where Wayland is the session's (or the only) one.
bool ChooseDisplay() {
    if (Set("QT_QPA_PLATFORM")) return true;
    const bool wayland = WaylandAnswers(), x11 = X11Answers();
    if (!wayland && !x11) {
        if (Set("DISPLAY") || Set("WAYLAND_DISPLAY"))
            std::fprintf(stderr, "quendrix: cannot open the display %s\n",
                         Set("DISPLAY") ? std::getenv("DISPLAY") : std::getenv("WAYLAND_DISPLAY"));
        else
            std::fputs("quendrix: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n",
                       stderr);
        return false;
    }
    // Qt's Wayland plugin is a package of its own; without it only X11 can be used.
    const bool waylandPlugin =
        QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/libqwayland-generic.so");
    if (wayland && !waylandPlugin && !x11) {
        std::fputs("quendrix: this Wayland display needs Qt's Wayland plugin (Debian's qt6-wayland), and no X display "
                   "answers\n",
                   stderr);
        return false;
    }
    const char* session = std::getenv("XDG_SESSION_TYPE");
    const bool waylandSession = session && !std::strcmp(session, "wayland");
    if (wayland && waylandPlugin && !x11) setenv("QT_QPA_PLATFORM", "wayland", 1);
    else if (wayland && waylandPlugin && waylandSession) setenv("QT_QPA_PLATFORM", "wayland;xcb", 1);
    else setenv("QT_QPA_PLATFORM", "xcb", 1);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(kUsage, stdout);
        std::fputs("Opens the Quendrix window; man quendrix says more.\n", stdout);
        return 0;
    }
    if (argc == 2 && !std::strcmp(argv[1], "--version")) {
        std::printf("quendrix (Quendrix) %s\n", QUENDRIX_VERSION);
        return 0;
    }
    // Qt's own arguments all start with a dash; anything else is a mistake, said before any display.
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-') {
            std::fputs(kUsage, stderr);
            return 2;
        }
    const bool weChosePlatform = !Set("QT_QPA_PLATFORM");
    if (!ChooseDisplay()) return 1;

    QApplication app(argc, argv);
    // Qt has taken its own arguments (-session from a restored login, -style...); any other is ours.
    if (QApplication::arguments().size() > 1) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // The browser F1 starts chooses its own platform.
    if (weChosePlatform) qunsetenv("QT_QPA_PLATFORM");
    QApplication::setOrganizationName(QStringLiteral("Holvanta"));
    QApplication::setApplicationName(QStringLiteral("Quendrix"));
    QApplication::setApplicationVersion(QStringLiteral(QUENDRIX_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.holvanta.quendrix"));
    // The window's own icon up to 64 px: each size travels to the X server at every start; the
    // menus and docks take the larger ones from the installed theme.
    QIcon icon;
    for (int size : {16, 32, 48, 64}) icon.addFile(QStringLiteral(":/icon%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    OptionsFile file;
    ConverterWindow window;
    Settings& options = window.Converter().Options();
    file.Load(options);
    g_file = &file;
    g_options = &options;
    std::atexit(SaveAtExit);
    window.Start();
    // At logoff the process may end right after this; no one is left to read a failure box.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, [&](QSessionManager&) { file.Save(options); });
    // A session with no session manager for us (Wayland's) ends its programs with SIGTERM, and a
    // terminal with SIGINT: the loop ends as at Escape, so the options are saved, without a box no
    // one would read.
    bool terminated = false;
    if (pipe2(g_terminate, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto* notifier = new QSocketNotifier(g_terminate[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, [&] {
            terminated = true;
            QApplication::exit(0);
        });
        std::signal(SIGTERM, Terminate);
        std::signal(SIGINT, Terminate);
    }
    window.show();
    // Escape and the close box close the window, the last one: the loop ends.
    app.exec();
    if (!file.Save(options) && !terminated)
        QMessageBox::warning(nullptr, window.windowTitle(),
                             QStringLiteral("Couldn't save the settings in %1").arg(file.Path()));
    g_file = nullptr;
    return 0;
}
