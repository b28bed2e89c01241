#!/usr/bin/python3
"""The native window as a screen reader reads it: one start under Xvfb with openbox, on a D-Bus
session and an AT-SPI bus of its own; real X input (xdotool), then every control's name, role and
states and the fields' texts read back through AT-SPI, row by row.
  qt_screen_reader_test.py build/native/qt/quendrix
"""
import contextlib, os, shutil, signal, subprocess, sys, tempfile, time

# Never the user's session bus: a private one, with the AT-SPI bus on it.
if os.environ.get("QUENDRIX_PRIVATE_BUS") != "1":
    os.environ["QUENDRIX_PRIVATE_BUS"] = "1"
    os.execvp("dbus-run-session", ["dbus-run-session", "--", "/usr/bin/python3", *sys.argv])

ROLES = {"Dec": "text", "Hex": "text", "Text": "text", "IP": "text", "Bin": "text", "Long": "radio button",
         "Word": "radio button", "Char": "radio button", "Signed": "check box", "Clear": "check box",
         "Color": "push button", "Up": "push button", "Down": "push button"}
# Tab's round with Long checked: into the widths only at the checked one, as a dialog's group.
TAB_ORDER = "Dec Hex Text IP Bin Long Signed Clear Color Up Down".split()

# (what the user does: "type:TEXT", "click:CONTROL" or a key as xdotool names it; what the screen
# reader then finds: fields' texts, the swatch's name, exactly which controls are focused, checked
# and disabled)
ROWS = [
    ([], dict(Dec="", Hex="", Color="Color #000000", focused="Dec", checked="Long Signed", disabled="")),
    (["type:1094861636", "Tab"], dict(Dec="1094861636", Hex="41424344", Text="ABCD", IP="65.66.67.68",
                                      Bin="01000001 01000010 01000011 01000100", Color="Color #424344",
                                      focused="Hex")),
    (["click:Char"], dict(Dec="68", Bin="01000100", focused="Char", checked="Char Signed", disabled="IP Color")),
    (["alt+l"], dict(Dec="1094861636", Color="Color #424344", focused="Long", checked="Long Signed", disabled="")),
]


def until(what, process=None, seconds=10):
    """what() once it is true, or once the process has ended or the time is up."""
    end = time.monotonic() + seconds
    while not (got := what()) and time.monotonic() < end and not (process and process.poll() is not None):
        time.sleep(0.1)
    return got


def main(program):
    work = tempfile.mkdtemp()
    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=work, XDG_RUNTIME_DIR=work, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    env.pop("WAYLAND_DISPLAY", None)
    started = []

    def start(*command, **options):
        # A process group each, so that the bus launcher's own bus daemon ends with it.
        started.append(subprocess.Popen(command, env=env, start_new_session=True, **options))
        return started[-1]

    try:
        read_fd, write_fd = os.pipe()
        start("Xvfb", "-displayfd", str(write_fd), "-nolisten", "tcp", pass_fds=[write_fd], stderr=subprocess.DEVNULL)
        os.close(write_fd)
        env["DISPLAY"] = os.environ["DISPLAY"] = ":" + os.read(read_fd, 16).decode().strip()
        start("openbox", "--sm-disable", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # A window mapped before the manager is up would never get the focus.
        check(until(lambda: b"window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                                           env=env, capture_output=True).stdout), "no openbox")
        start("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
        drive(start(program), env)
    finally:
        for process in reversed(started):
            with contextlib.suppress(ProcessLookupError):
                os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        shutil.rmtree(work)


def drive(quendrix, env):
    import gi
    gi.require_version("Atspi", "2.0")
    import pyatspi
    from gi.repository import Atspi

    def window():
        for app in pyatspi.Registry.getDesktop(0):
            if app and app.name == "Quendrix" and app.childCount:
                app.set_cache_mask(Atspi.Cache.NONE)  # what the window says now, not before
                return app[0]

    dialog = until(window, quendrix)
    check(dialog, "no window Quendrix in the AT-SPI tree")

    def controls(node=None, found=None):
        found = {} if found is None else found
        for child in node or dialog:
            found["Color" if child.name.startswith("Color #") else child.name] = child
            controls(child, found)
        return found

    for name, role in ROLES.items():
        node = controls().get(name)
        check(node and node.getRoleName() == role and node.getState().contains(pyatspi.STATE_FOCUSABLE),
              f"{name}: not a focusable {role} but {node and node.getRoleName()}")

    def seen():
        found = controls()
        snapshot = {name: found[name].queryText().getText(0, -1) for name, role in ROLES.items() if role == "text"}
        snapshot["Color"] = found["Color"].name
        for state, label, want in [(pyatspi.STATE_FOCUSED, "focused", True), (pyatspi.STATE_CHECKED, "checked", True),
                                   (pyatspi.STATE_ENABLED, "disabled", False)]:
            snapshot[label] = " ".join(n for n in ROLES if found[n].getState().contains(state) == want)
        return snapshot

    def run(step):
        if step.startswith("click:"):
            box = controls()[step[6:]].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            command = ["mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2), "click", "1"]
        else:
            command = ["type", "--delay", "30", step[5:]] if step.startswith("type:") else ["key", step]
        subprocess.run(["xdotool", *command], env=env, check=True)

    for steps, want in ROWS:
        for step in steps:
            run(step)
        differs = lambda: {k: v for k, v in seen().items() if k in want and v != want[k]}
        check(until(lambda: not differs(), quendrix, 5), f"after {' '.join(steps) or 'the start'}: " +
              ", ".join(f"{k} is {v!r}, not {want[k]!r}" for k, v in differs().items()))

    # Tab's round, from wherever the rows left the focus.
    order = []
    for _ in TAB_ORDER:
        run("Tab")
        order.append(until(lambda: (f := seen()["focused"]) not in ("", *order[-1:]) and f, quendrix, 3))
    turned = order[order.index("Dec"):] + order[:order.index("Dec")] if "Dec" in order else order
    check(turned == TAB_ORDER, f"Tab goes {order}, not round {TAB_ORDER}")

    run("Escape")
    try:
        check(quendrix.wait(10) == 0, f"the program ended with {quendrix.returncode} after Escape")
    except subprocess.TimeoutExpired:
        check(False, "Escape left the window open")


def check(condition, failure):
    if not condition:
        raise SystemExit("FAIL: " + failure)


if __name__ == "__main__":
    # A hang, or CTest giving up, still ends what was started.
    def give_up(signum, _):
        check(False, "no end after 50 s" if signum == signal.SIGALRM else "stopped")
    signal.signal(signal.SIGALRM, give_up)
    signal.signal(signal.SIGTERM, give_up)
    signal.alarm(50)
    main(sys.argv[1])
