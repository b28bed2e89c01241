#!/usr/bin/env python3
"""End-to-end scenarios of Quendrix.exe under Wine.

The program is driven only with real X input (xdotool: keys, typing, clicks, drags, wheel
buttons, hovering) and read only from outside: by the probe, a Win32 program of ours that reads
its windows, controls, focus, registry options and the screen, and by the X bell (XKB bell
notifications), which is what the program's MessageBeep rings under Wine.

Each scenario starts the program fresh with no stored options and ends it. One line per
scenario (PASS/FAIL name), then "N passed, M failed"; the exit status is non-zero on any
failure. A failure prints what was expected and what the probe saw, and saves a screenshot.

    suite.py --program Quendrix.exe --probe e2e_probe.exe --patch e2e_patch.exe [--only NAME...]

Without DISPLAY and WINEPREFIX it re-runs itself on a private screen through
scripts/wine-run.sh --session.
"""

import argparse
import ctypes
import ctypes.util
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
WINE = "/usr/lib/wine/wine64"

# Converter window controls
TEXT, HEX, DEC, BIN, IP = 1002, 1003, 1004, 1005, 1006
LONG, WORD, CHAR, SIGNED, CLEAR = 1007, 1008, 1009, 1010, 1011
SPIN, COLOR = 1015, 1018
FIELDS = (TEXT, HEX, DEC, BIN, IP)
NAMES = {TEXT: "Text", HEX: "Hex", DEC: "Dec", BIN: "Bin", IP: "IP", LONG: "Long", WORD: "Word",
         CHAR: "Char", SIGNED: "Signed", CLEAR: "Clear", SPIN: "up-down", COLOR: "swatch"}
MNEMONIC = {DEC: "d", HEX: "h", TEXT: "t", IP: "i", BIN: "b"}
# Settings dialog controls
INCREMENT, TOOLTIPS, SAVEONEXIT, STAYONTOP = 1017, 1020, 1021, 1022
IDOK = 1

TIPS = {
    TEXT: "ANSI text representation of actual value. Pressing enter will update window.",
    HEX: "Hexadecimal numbers. Color is displayed in RRGGBB form",
    DEC: "Decimal numbers. Pressing enter will update window.",
    BIN: "Binary numbers. Pressing enter will update window.",
    IP: "IP adress in the form xxx.xxx.xxx.xxx. The comma key will produce a dot",
    LONG: "4-byte wide numbers",
    WORD: "2-byte wide numbers.",
    CHAR: "1-byte wide numbers",
    SIGNED: "Display negative numbers in negative form in the Dec field.",
    CLEAR: "Clear fields automatically before entering data.",
    SPIN: "Increment/decrement value. Use [Settings...] menu to adjust stepping.",
    COLOR: "Click and drag mouse to pick a color. Doubleclick to open color selector.",
}


class Failure(Exception):
    pass


# ---------------------------------------------------------------------------------------------
# The X bell: MessageBeep under Wine rings it, and XKB tells every client that asks.

class Bell:
    XkbUseCoreKbd = 0x100
    XkbBellNotify = 8
    XkbBellNotifyMask = 1 << 8

    def __init__(self):
        x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XkbQueryExtension.argtypes = [ctypes.c_void_p] + [ctypes.POINTER(ctypes.c_int)] * 5
        x.XkbSelectEvents.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x.XQueryKeymap.argtypes = [ctypes.c_void_p, ctypes.c_char_p]
        x.XkbKeycodeToKeysym.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int, ctypes.c_int]
        x.XkbKeycodeToKeysym.restype = ctypes.c_ulong
        x.XKeysymToString.argtypes = [ctypes.c_ulong]
        x.XKeysymToString.restype = ctypes.c_char_p
        self.x = x
        self.display = x.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("cannot open the X display for the bell")
        opcode, base, error = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        major, minor = ctypes.c_int(1), ctypes.c_int(0)
        if not x.XkbQueryExtension(self.display, ctypes.byref(opcode), ctypes.byref(base), ctypes.byref(error),
                                   ctypes.byref(major), ctypes.byref(minor)):
            raise RuntimeError("the X server has no XKB")
        self.event_type = base.value
        x.XkbSelectEvents(self.display, self.XkbUseCoreKbd, self.XkbBellNotifyMask, self.XkbBellNotifyMask)
        x.XSync(self.display, 0)
        self.buffer = ctypes.create_string_buffer(192)  # an XEvent
        self.rung = 0

    def count(self, sync=False):
        if sync:
            self.x.XSync(self.display, 0)
        while self.x.XPending(self.display):
            self.x.XNextEvent(self.display, self.buffer)
            raw = self.buffer.raw
            kind = int.from_bytes(raw[0:4], "little")
            xkb_type = int.from_bytes(raw[40:44], "little")  # XkbAnyEvent.xkb_type on LP64
            if kind == self.event_type and xkb_type == self.XkbBellNotify:
                self.rung += 1
        return self.rung

    def pressed(self):
        """The keys the X server holds down, by name: what a failure's report shows."""
        keymap = ctypes.create_string_buffer(32)
        self.x.XQueryKeymap(self.display, keymap)
        names = []
        for code in range(8, 256):
            if keymap.raw[code // 8] >> (code % 8) & 1:
                sym = self.x.XkbKeycodeToKeysym(self.display, code, 0, 0)
                name = self.x.XKeysymToString(sym)
                names.append(name.decode() if name else str(code))
        return names

    def close(self):
        self.x.XCloseDisplay(self.display)


# ---------------------------------------------------------------------------------------------
# The probe, one Wine process for the whole run, answering one JSON line per request.

class Probe:
    def __init__(self, exe):
        self.exe = exe
        self.start()

    def start(self):
        self.proc = subprocess.Popen([WINE, self.exe, "serve"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, encoding="latin-1")

    def ask(self, line, timeout=30):
        """One request, one JSON line. A probe still waiting for the program after `timeout`
        seconds (Wine lets a message to a stopped program wait past its own timeout) fails the
        scenario and is replaced for the next."""
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        if not select.select([self.proc.stdout], [], [], timeout)[0]:
            self.proc.kill()
            self.proc.wait()
            self.start()
            raise Failure(f"the program did not answer the probe's {line.split()[0]!r} within {timeout} s")
        reply = self.proc.stdout.readline()
        if not reply:
            raise RuntimeError("the probe ended")
        return json.loads(reply)

    def state(self):
        return State(self.ask("state"))

    def close(self):
        try:
            self.proc.stdin.write("quit\n")
            self.proc.stdin.close()
            self.proc.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            self.proc.kill()
            self.proc.wait()


class State:
    """One snapshot of the program as the probe saw it."""

    def __init__(self, raw):
        if raw.get("unanswered"):
            raise Failure(f"the program did not answer the probe within 5 s ({raw['unanswered']} questions)")
        self.raw = raw
        self.main = raw.get("main")
        self.controls = {int(k): v for k, v in raw.get("controls", {}).items()}
        self.gui = raw.get("gui", {})
        self.windows = raw.get("windows", [])
        self.registry = raw.get("registry", {})

    def text(self, cid):
        return self.controls[cid]["text"] if cid in self.controls else None

    def check(self, cid):
        return self.controls[cid].get("check") if cid in self.controls else None

    def enabled(self, cid):
        return self.controls[cid]["enabled"] if cid in self.controls else None

    def sel(self, cid):
        return tuple(self.controls[cid]["sel"]) if cid in self.controls else None

    def modified(self, cid):
        return self.controls[cid].get("modified") if cid in self.controls else None

    def rect(self, cid):
        return self.controls[cid]["rect"]

    def centre(self, cid, dy=0.5, dx=0.5):
        l, t, r, b = self.rect(cid)
        return int(l + (r - l) * dx), int(t + (b - t) * dy)

    @property
    def focus(self):
        """The focused control's number in the converter window, 0 elsewhere, None if none."""
        if not self.gui or self.gui.get("focus") in (None, "0"):
            return None
        return self.gui.get("focus_id")

    @property
    def pid(self):
        return self.main["pid"] if self.main else None

    def of_program(self, cls=None, caption=None):
        """Visible top-level windows of the program's process other than the converter window."""
        out = []
        for w in self.windows:
            if self.main and (w["pid"] != self.main["pid"] or w["hwnd"] == self.main["hwnd"]):
                continue
            if cls is not None and w["class"] != cls:
                continue
            if caption is not None and w["caption"] != caption:
                continue
            out.append(w)
        return out

    def dialog(self, caption):
        found = self.of_program("#32770", caption)
        return found[0] if found else None

    def menus(self):
        return self.of_program("#32768")

    def no_menu(self):
        """No menu shown and the window out of menu mode: the menu's own loop has ended, so the
        next key reaches the window."""
        return not self.menus() and self.gui.get("menu_owner", "0") == "0"

    def tooltips(self):
        return [w for w in self.of_program("tooltips_class32")]

    def message_boxes(self):
        """Dialogs other than the program's own About, Settings and Color, with their texts."""
        return [w for w in self.of_program("#32770") if w["caption"] not in ("About Quendrix", "Settings", "Color")]

    def summary(self):
        lines = []
        if self.main:
            lines.append("  fields: " + ", ".join(f"{NAMES[c]}={self.text(c)!r}" for c in (DEC, HEX, TEXT, IP, BIN)))
            lines.append("  checks: " + ", ".join(f"{NAMES[c]}={self.check(c)}" for c in (LONG, WORD, CHAR, SIGNED, CLEAR)))
            lines.append(f"  enabled: IP={self.enabled(IP)} swatch={self.enabled(COLOR)} window={self.main['enabled']}"
                         f"  topmost={self.main['topmost']}")
            active = self.gui.get("active")
            active = "the converter window" if active == self.main["hwnd"] else next(
                (f"{w['class']} {w['caption']!r}" for w in self.windows if w["hwnd"] == active), active)
            modified = [NAMES[c] for c in FIELDS if self.modified(c)]
            lines.append(f"  focus={NAMES.get(self.focus, self.focus)} ({self.gui.get('focus_class')})"
                         f" capture={self.gui.get('capture_id')} swatch pixel={self.raw.get('swatch_pixel')}"
                         f" active={active} menu mode={self.gui.get('menu_owner') not in ('0', None)}"
                         f" modified={','.join(modified) or 'none'}")
        else:
            lines.append("  no converter window")
        for w in self.windows:
            if self.main and w["hwnd"] == self.main["hwnd"]:
                continue
            texts = [c["ctl"]["text"] for c in w["children"] if c["ctl"].get("text")]
            lines.append(f"  window {w['class']} {w['caption']!r} pid={w['pid']} rect={w['rect']}"
                         + (f" text={w['text']!r}" if "text" in w else "") + (f" controls={texts}" if texts else ""))
        lines.append(f"  registry: {self.registry}")
        lines.append(f"  held down: {', '.join(self.raw.get('held', [])) or 'nothing'}")
        return "\n".join(lines)


def window_texts(window):
    return [c["ctl"]["text"] for c in window["children"]]


def child(window, cid):
    for c in window["children"]:
        if c["id"] == cid:
            return c["ctl"]
    return None


# ---------------------------------------------------------------------------------------------
# One program run inside a scenario.

class Run:
    def __init__(self, suite, name):
        self.suite = suite
        self.name = name
        self.proc = None
        self.pid = None  # the program's Windows process id, from the probe
        self.helpers = []  # our other processes: colour patches
        self.bells_at_start = suite.bell.count(sync=True)
        self.last = None

    # -- the program ------------------------------------------------------------------------

    def start(self, cwd=None, env=None, clean=True):
        if clean:
            self.registry_clear()
        self.park_mouse()
        # The probe finds the converter window by its caption: there must be no other.
        self.wait(lambda s: not s.main, "no converter window open before the start", timeout=10)
        environment = dict(os.environ)
        environment.update(env or {})
        self.proc = subprocess.Popen([WINE, self.suite.program], cwd=cwd or self.suite.app_dir, env=environment,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Open, centred on the screen (it shows at 0,0 for a moment first), active, and the dialog
        # manager has put the focus into its first tab stop.
        w, h = self.suite.screen

        def ready(s):
            l, tp, r, b = s.main["rect"]
            return (s.main["visible"] and s.main["enabled"] and s.focus == DEC and s.gui.get("active") == s.main["hwnd"]
                    and abs(l + r - w) <= 2 and abs(tp + b - h) <= 2)
        s = self.wait(ready, "the converter window centred on the screen, active, with the focus in Dec", timeout=30)
        self.pid = s.pid
        return s

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def end(self, how=("Escape",)):
        """Closes the window the way given and waits for the process to end."""
        self.key(*how)
        self.wait_exit()

    def wait_exit(self, timeout=10):
        try:
            self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout} s\n{self.state().summary()}")

    def kill(self):
        if self.running():
            self.proc.kill()
            self.proc.wait()
        for h in self.helpers:
            if h.poll() is None:
                try:
                    h.stdin.close()
                    h.wait(timeout=5)
                except (OSError, subprocess.TimeoutExpired):
                    h.kill()
                    h.wait()

    # -- reading ----------------------------------------------------------------------------

    def state(self):
        self.last = self.suite.probe.state()
        return self.last

    def wait(self, condition, what, timeout=10.0):
        """Polls the probe until the condition holds; on timeout fails with what was seen."""
        deadline = time.monotonic() + timeout
        while True:
            s = self.state()
            try:
                if condition(s):
                    return s
            except (KeyError, TypeError, IndexError):
                pass
            if time.monotonic() > deadline:
                raise Failure(f"expected {what}\nsaw:\n{s.summary()}")
            time.sleep(0.02)  # pacing between polls, not a wait for a state

    def holds(self, condition, what, duration):
        """The condition stays true while we keep looking for `duration` seconds."""
        deadline = time.monotonic() + duration
        while time.monotonic() < deadline:
            s = self.state()
            if not condition(s):
                raise Failure(f"expected {what} to hold\nsaw:\n{s.summary()}")
            time.sleep(0.05)  # pacing between polls
        return s

    def settle(self, read, what, quiet=0.3, timeout=10.0):
        """Polls until what `read` gives has stayed the same for `quiet` seconds."""
        deadline = time.monotonic() + timeout
        s = self.state()
        seen, since = read(s), time.monotonic()
        while time.monotonic() - since < quiet:
            if time.monotonic() > deadline:
                raise Failure(f"expected {what}\nsaw:\n{s.summary()}")
            time.sleep(0.05)  # pacing between polls
            s = self.state()
            if read(s) != seen:
                seen, since = read(s), time.monotonic()
        return s

    def fields(self, expected, what, focus=None, extra=None, timeout=10.0):
        """Waits until the named fields show the texts given (and the focus, if given)."""
        def ok(s):
            return (all(s.text(c) == v for c, v in expected.items())
                    and (focus is None or s.focus == focus)
                    and (extra is None or extra(s)))
        want = ", ".join(f"{NAMES[c]}={v!r}" for c, v in expected.items())
        if focus is not None:
            want += f", focus in {NAMES[focus]}"
        return self.wait(ok, f"{what}: {want}", timeout)

    def bells(self, sync=False):
        return self.suite.bell.count(sync) - self.bells_at_start

    def wait_bells(self, n, what, timeout=10.0):
        deadline = time.monotonic() + timeout
        while self.bells() < n:
            if time.monotonic() > deadline:
                raise Failure(f"expected {n} beep(s) by now ({what}), heard {self.bells()}")
            select.select([self.suite.bell_fd], [], [], 0.05)  # until the X connection has news
        return self.bells()

    def exact_bells(self, n, what):
        """After the program has ended: every beep it rang has reached us."""
        self.wait_bells(n, what)
        heard = self.bells(sync=True)
        if heard != n:
            raise Failure(f"expected exactly {n} beep(s) ({what}), heard {heard}")

    # -- input ------------------------------------------------------------------------------

    def xdo(self, *args):
        subprocess.run(["xdotool", *map(str, args)], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def key(self, *keys):
        self.xdo("key", "--delay", 30, *keys)

    def type(self, text):
        if text:
            self.xdo("type", "--delay", 25, "--", text)

    def move(self, x, y):
        self.xdo("mousemove", x, y)

    def park_mouse(self):
        """Out of every window's way, in the screen's bottom-right corner."""
        w, h = self.suite.screen
        self.move(w - 5, h - 5)

    def click(self, x, y, button=1, repeat=1):
        self.xdo("mousemove", x, y, "click", "--repeat", repeat, "--delay", 60, button)

    def click_control(self, cid, s=None, dy=0.5, button=1):
        s = s or self.state()
        self.click(*s.centre(cid, dy=dy), button=button)

    def down(self, button=1):
        self.xdo("mousedown", button)

    def up(self, button=1):
        self.xdo("mouseup", button)

    def release_over_other_window(self, button=1):
        """Lets the button go over another program's window (the colour patch). That program
        then resets Wine's keyboard state to the X keymap of that moment, and a key pressed
        before it has done so loses its Alt (Alt+S typed an "s"): wait until every window has
        handled what it was sent."""
        self.up(button)
        self.suite.probe.ask("sync")

    def replace(self, field, text):
        """Into the field by its mnemonic, everything in it selected, the text typed over it."""
        self.key(f"alt+{MNEMONIC[field]}")
        self.wait(lambda s: s.focus == field, f"the focus in {NAMES[field]}")
        self.key("Home", "shift+End")
        if text:
            self.type(text)
        else:
            self.key("Delete")

    def background(self, s):
        """A point of the converter window's client area that no control covers."""
        l, t, r, b = s.main["client"]
        return l + 4, b - 4

    # -- helpers of the scenarios -------------------------------------------------------------

    def system_menu(self, *keys):
        """Alt+Space opens the window's menu; the keys then choose in it."""
        self.wait(lambda s: s.no_menu(), "no menu open before Alt+Space")
        self.key("alt+space")
        self.wait(lambda s: len(s.menus()) == 1, "the window menu open")
        self.key(*keys)

    def open_settings(self):
        self.system_menu("End", "Up", "Return")
        return self.wait(lambda s: s.dialog("Settings") and s.gui.get("focus_ctl") == INCREMENT and not s.main["enabled"],
                         "the Settings dialog, the focus in the increment field, the converter window disabled")

    def settings_ok(self):
        self.key("Return")
        return self.wait(lambda s: not s.dialog("Settings") and s.main["enabled"], "the Settings dialog closed")

    def start_patch(self, rgb, x, y, w, h):
        patch = subprocess.Popen([WINE, self.suite.patch, rgb, str(x), str(y), str(w), str(h)], stdin=subprocess.PIPE,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.helpers.append(patch)
        centre = (x + w // 2, y + h // 2)
        self.wait(lambda s: any(win["class"] == "e2e_patch" for win in s.windows)
                  and self.suite.probe.ask(f"pixel {centre[0]} {centre[1]}")["pixel"] == rgb,
                  f"the patch of colour {rgb} on the screen", timeout=15)
        return centre

    def wait_helpers_gone(self, name, timeout=10):
        """Waits until no process of ours (this Wine prefix) named `name` is left; ends any that
        outlives the timeout, by its process id."""
        prefix = os.environ.get("WINEPREFIX", "")

        def ours():
            found = []
            for pid in filter(str.isdigit, os.listdir("/proc")):
                try:
                    with open(f"/proc/{pid}/cmdline", "rb") as f:
                        cmd = f.read().replace(b"\0", b" ").decode("latin-1")
                    with open(f"/proc/{pid}/environ", "rb") as f:
                        env = f.read().split(b"\0")
                except OSError:
                    continue
                if name.lower() in cmd.lower() and f"WINEPREFIX={prefix}".encode() in env:
                    found.append(int(pid))
            return found
        deadline = time.monotonic() + timeout
        while ours() and time.monotonic() < deadline:
            time.sleep(0.05)  # pacing between looks
        left = ours()
        for pid in left:
            os.kill(pid, 9)
        if left:
            raise Failure(f"{name} still running {timeout} s after the page was opened (ended it)")

    @staticmethod
    def path(x0, y0, x1, y1, steps=6):
        """A hand's way from one point to another: first a nudge that stays where it began (on a
        small control), then even steps."""
        return [(x0 + 2, y0 + 1)] + [(x0 + (x1 - x0) * k // steps, y0 + (y1 - y0) * k // steps) for k in range(1, steps + 1)]

    def drag(self, path):
        for x, y in path:
            self.move(x, y)

    def start_pick(self, s):
        """Presses on the swatch and nudges the pointer inside it, which starts a pick; waits until
        the swatch holds the capture, so that Wine cannot merge that first move with later ones
        outside the swatch. Returns the swatch's centre, where the press was."""
        x, y = s.centre(COLOR)
        self.move(x, y)
        self.down()
        self.move(x + 2, y + 1)
        self.wait(lambda s: s.gui.get("capture_id") == COLOR, "the swatch holding the capture after the first move")
        return x, y

    def registry_clear(self):
        if not self.suite.probe.ask("reg-clear").get("ok"):
            raise Failure("could not clear the stored options")

    def registry_set(self, name, value):
        if not self.suite.probe.ask(f"reg-set {name} {value}").get("ok"):
            raise Failure(f"could not store {name}")


# ---------------------------------------------------------------------------------------------
# Scenarios

SCENARIOS = []


def scenario(fn):
    SCENARIOS.append(fn)
    return fn


def expect(condition, what, s=None):
    if not condition:
        raise Failure(f"expected {what}" + (f"\nsaw:\n{s.summary()}" if s else ""))


@scenario
def starts_empty_with_default_options(t):
    s = t.start()
    expect(all(s.text(c) == "" for c in FIELDS), "all five fields empty", s)
    expect([s.check(c) for c in (LONG, WORD, CHAR, SIGNED, CLEAR)] == [1, 0, 0, 1, 0],
           "Long and Signed checked, Word, Char and Clear not", s)
    expect(s.enabled(IP) and s.enabled(COLOR), "IP and the swatch enabled", s)
    expect(s.main["topmost"], "the window on top of others", s)
    expect(s.main["caption"] == "Quendrix", "the caption Quendrix", s)
    # With Clear off, tabbing through the empty fields changes nothing.
    for field in (HEX, TEXT, IP, BIN):
        t.key("Tab")
        s = t.wait(lambda s, f=field: s.focus == f, f"the focus in {NAMES[field]}")
        expect(all(s.text(c) == "" for c in FIELDS), "the fields still empty", s)
    t.end()
    expect(not t.state().registry["maker"], "no registry key written by a run with saving off", t.last)
    t.exact_bells(0, "nothing refused")


@scenario
def road_of_one_edit(t):
    t.start()
    t.key("Tab")
    t.wait(lambda s: s.focus == HEX, "the focus in Hex")
    t.type("0x41")
    t.wait(lambda s: s.text(HEX) == "0x41" and s.modified(HEX), "Hex showing the typed text, modified")
    t.key("Tab")
    s = t.fields({TEXT: "A", DEC: "65", HEX: "41", IP: "0.0.0.65", BIN: "01000001"}, "the edit committed", focus=TEXT)
    t.wait(lambda s: s.raw.get("swatch_pixel") == "000041", "the swatch drawn in 0x000041")
    t.end()
    t.exact_bells(0, "nothing refused")


def reading_rules(t, field, rows, others):
    """Each row: typed text, then the expected rendering of the field and of others, or None
    for a refused text (the old renderings come back with one beep)."""
    t.start()
    shown = {c: "" for c in FIELDS}
    refused = 0
    for typed, expected in rows:
        t.replace(field, typed)
        t.wait(lambda s: s.text(field) == typed, f"{NAMES[field]} showing {typed!r} as typed")
        t.key("Tab")
        if expected is None:
            refused += 1
            want = dict(shown)
        else:
            want = dict(zip((field,) + others, expected))
        nxt = {DEC: HEX, HEX: TEXT, TEXT: IP, IP: BIN, BIN: LONG}[field]
        what = f"{typed!r} typed into {NAMES[field]}, then Tab" + (" (refused)" if expected is None else "")
        # An empty text with Clear off is not committed: the field keeps the user's edit.
        s = t.fields(want, what, focus=nxt, extra=lambda s, keep=(typed == ""): s.modified(field) == keep)
        t.wait_bells(refused, what)
        shown = {c: s.text(c) for c in FIELDS}
    t.end()
    t.exact_bells(refused, f"one for each of the {refused} refused texts")


@scenario
def dec_reading_rules(t):
    reading_rules(t, DEC, [
        ("007", ("7", "7")),
        (" 42", ("42", "2A")),
        ("42 ", None),
        ("1 000", None),
        ("+7", ("7", "7")),
        ("-1", ("-1", "FFFFFFFF")),
        ("-0", ("0", "0")),
        ("99999999999", ("-1", "FFFFFFFF")),
        ("-2147483648", ("-2147483648", "80000000")),
        ("-2147483649", ("2147483647", "7FFFFFFF")),
        ("-4294967296", ("1", "1")),
        ("-", None),
        ("+", None),
        ("12a", None),
        ("0x10", None),
        ("4294967295", ("-1", "FFFFFFFF")),
        # Empty with Clear off: nothing is committed; Dec stays empty, the others keep theirs
        ("", ("", "FFFFFFFF")),
    ], (HEX,))


@scenario
def hex_reading_rules(t):
    reading_rules(t, HEX, [
        ("ff", ("FF", "255")),
        ("0X1f", ("1F", "31")),
        (" 0x10", ("10", "16")),
        ("-0x1", ("FFFFFFFF", "-1")),
        ("+0x10", ("10", "16")),
        ("-FF", ("FFFFFF01", "-255")),
        ("abcdef", ("ABCDEF", "11259375")),
        ("0x", None),
        ("x1", None),
        ("1G", None),
        ("0x-1", None),
        ("00x1", None),
        ("100000000", ("FFFFFFFF", "-1")),
        ("XYZ", None),
    ], (DEC,))


@scenario
def bin_reading_rules(t):
    reading_rules(t, BIN, [
        ("0001 00000000", ("0001 00000000", "100")),
        ("1 1", ("0011", "3")),
        (" 1", ("0001", "1")),
        ("+101", ("0101", "5")),
        ("102", None),
        ("0b1", None),
        ("-1", ("11111111 11111111 11111111 11111111", "FFFFFFFF")),
        ("   ", ("0000", "0")),
        ("1" * 33, ("11111111 11111111 11111111 11111111", "FFFFFFFF")),
        ("11111111 111111111", ("0001 11111111 11111111", "1FFFF")),
    ], (HEX,))


@scenario
def text_reading_rules(t):
    reading_rules(t, TEXT, [
        ("A", ("A", "41", "65", "0.0.0.65", "01000001")),
        ("AB", ("AB", "4142", "16706", "0.0.65.66", "01000001 01000010")),
        ("ABCD", ("ABCD", "41424344", "1094861636", "65.66.67.68", "01000001 01000010 01000011 01000100")),
        ("ABCDE", ("BCDE", "42434445", "1111704645", "66.67.68.69", "01000010 01000011 01000100 01000101")),
        ("0", ("0", "30", "48", "0.0.0.48", "00110000")),
    ], (HEX, DEC, IP, BIN))


@scenario
def ip_reading_rules(t):
    reading_rules(t, IP, [
        ("1.2.3.4", ("1.2.3.4", "1020304")),
        ("+1.+2.3.5", ("1.2.3.5", "1020305")),
        (" 1. 2.3.4", ("1.2.3.4", "1020304")),
        ("1.2.3.5x", ("1.2.3.5", "1020305")),
        ("1.2.3.4.5", ("1.2.3.4", "1020304")),
        ("1..2.3", ("1.0.2.3", "1000203")),
        ("1.2.3.", ("1.2.3.0", "1020300")),
        ("a.b.c.d", ("0.0.0.0", "0")),
        ("0x10.0.0.1", ("0.0.0.1", "1")),
        ("255.255.255.255", ("255.255.255.255", "FFFFFFFF")),
        ("-0.0.0.0", ("0.0.0.0", "0")),
        ("4294967296.1.2.3", None),  # every part must lie within 0-255
        ("-1.0.0.0", None),
        ("256.0.0.0", None),
        ("1.2.3", None),
        ("10.20.30.40", ("10.20.30.40", "A141E28")),
    ], (HEX,))


@scenario
def ip_comma_typed_becomes_dot(t):
    t.start()
    t.key("alt+i")
    t.wait(lambda s: s.focus == IP, "the focus in IP")
    t.type("1921680")
    # Commas typed inside the text: each becomes a dot at once and the caret stays after it
    for keys, shown, caret in (
        (("Home", "Right", "Right", "Right"), "192.1680", 4),
        (("Right", "Right", "Right"), "192.168.0", 8),
        (("End",), "192.168.0.", 10),
    ):
        t.key(*keys)
        t.type(",")
        s = t.wait(lambda s, x=shown: s.text(IP) == x, f"{shown!r} after a comma typed")
        expect(s.sel(IP) == (caret, caret), f"the caret after the new dot, at {caret}", s)
        expect(s.modified(IP) and s.focus == IP, "the address still pending, the focus in IP", s)
    t.type("1")
    t.key("Tab")
    t.fields({IP: "192.168.0.1", HEX: "C0A80001", DEC: "-1062731775"}, "the address committed", focus=BIN)
    t.end()
    t.exact_bells(0, "nothing refused")


@scenario
def ip_pasted_address_with_commas(t):
    t.start()
    if not t.suite.probe.ask("clip 10,0,0,1").get("ok"):
        raise Failure("could not put the address on the clipboard")
    t.key("alt+i")
    t.wait(lambda s: s.focus == IP, "the focus in IP")
    t.key("ctrl+v")
    t.wait(lambda s: s.text(IP) == "10.0.0.1" and s.modified(IP), "the pasted address shown with dots, pending")
    t.key("Tab")
    t.fields({IP: "10.0.0.1", HEX: "A000001", DEC: "167772161"}, "the pasted address committed on leaving", focus=BIN)
    t.end()


@scenario
def enter_commits_in_place(t):
    t.start()
    t.type("42")
    t.key("Return")
    s = t.fields({DEC: "42", HEX: "2A", TEXT: "*", IP: "0.0.0.42", BIN: "00101010"}, "Enter committed Dec", focus=DEC)
    expect(s.sel(DEC) == (2, 2), "the caret where it was, after 42", s)
    expect(not s.modified(DEC), "Dec unmodified after the commit", s)
    t.type("1")
    t.key("Return")
    s = t.fields({DEC: "421", HEX: "1A5"}, "a second Enter", focus=DEC)
    expect(s.main and s.main["enabled"] and not s.message_boxes(), "the window still open, nothing else shown", s)
    # Enter outside the fields does nothing
    t.key("alt+l")
    t.wait(lambda s: s.focus == LONG, "the focus on Long")
    t.key("Return")
    t.holds(lambda s: s.main and s.text(DEC) == "421" and s.focus == LONG, "the window open and unchanged", 0.5)
    t.end()
    t.exact_bells(0, "nothing refused")


@scenario
def enter_with_clear_on_empties_the_field(t):
    t.start()
    t.key("alt+e")
    t.wait(lambda s: s.check(CLEAR) == 1, "Clear checked")
    t.key("alt+d")
    t.wait(lambda s: s.focus == DEC, "the focus back in Dec")
    t.type("42")
    t.key("Return")
    s = t.fields({DEC: "", HEX: "2A", TEXT: "*", IP: "0.0.0.42"}, "Enter with Clear on", focus=DEC)
    expect(s.sel(DEC) == (0, 0), "the caret at the start of the emptied field", s)
    t.end()
    t.exact_bells(0, "nothing refused")


@scenario
def clear_rule_on_entering_fields(t):
    t.start()
    t.key("alt+e")
    t.wait(lambda s: s.check(CLEAR) == 1 and s.focus == CLEAR, "Clear checked and focused")
    s = t.state()
    expect(all(s.text(c) == "" for c in FIELDS), "turning Clear on empties no field by itself", s)
    t.key("alt+d")
    t.wait(lambda s: s.focus == DEC, "the focus in Dec")
    t.key("Tab")  # out of the empty Dec: the empty text is committed as 0
    t.fields({DEC: "0", HEX: "", TEXT: "", IP: "0.0.0.0", BIN: "0000"}, "the renderings of 0, Hex emptied on entry",
             focus=HEX)
    t.type("FF")
    t.key("Tab")
    t.fields({HEX: "FF", DEC: "255", TEXT: "", BIN: "11111111"}, "FF committed, Text emptied on entry", focus=TEXT)
    t.key("shift+Tab")  # back into Hex: emptied; leaving it untouched writes it again
    t.wait(lambda s: s.focus == HEX and s.text(HEX) == "", "Hex emptied on entry")
    t.key("Tab")
    t.fields({HEX: "FF", DEC: "255"}, "Hex written again, not parsed", focus=TEXT)
    # Typing and deleting everything hands the empty text to the parser: 0
    t.key("alt+d")
    t.wait(lambda s: s.focus == DEC and s.text(DEC) == "", "Dec emptied on entry")
    t.type("5")
    t.key("BackSpace")
    t.key("Tab")
    t.fields({DEC: "0", IP: "0.0.0.0", BIN: "0000"}, "the emptied Dec committed as 0", focus=HEX)
    t.end()
    t.exact_bells(0, "nothing refused")


@scenario
def mnemonics_reach_their_controls(t):
    s = t.start()
    steps = [
        # keys, focus afterwards, check states of Long, Word, Char, Signed, Clear afterwards
        ("alt+h", HEX, (1, 0, 0, 1, 0)),
        ("alt+t", TEXT, (1, 0, 0, 1, 0)),
        ("alt+i", IP, (1, 0, 0, 1, 0)),
        ("alt+b", BIN, (1, 0, 0, 1, 0)),
        ("alt+d", DEC, (1, 0, 0, 1, 0)),
        ("alt+w", WORD, (0, 1, 0, 1, 0)),
        ("alt+i", BIN, (0, 1, 0, 1, 0)),  # IP disabled at width 2: the dialog manager goes on to Bin
        ("alt+c", CHAR, (0, 0, 1, 1, 0)),
        ("alt+l", LONG, (1, 0, 0, 1, 0)),
        ("alt+i", IP, (1, 0, 0, 1, 0)),
        ("alt+s", SIGNED, (1, 0, 0, 0, 0)),
        ("alt+e", CLEAR, (1, 0, 0, 0, 1)),
        ("alt+s", SIGNED, (1, 0, 0, 1, 1)),
        ("alt+e", CLEAR, (1, 0, 0, 1, 0)),
    ]
    for keys, focus, checks in steps:
        t.key(keys)
        s = t.wait(lambda s, f=focus, c=checks: s.focus == f and tuple(s.check(b) for b in (LONG, WORD, CHAR, SIGNED, CLEAR)) == c,
                   f"after {keys}: the focus on {NAMES[focus]}, Long/Word/Char/Signed/Clear checked {checks}")
        width4 = checks[0] == 1
        expect(s.enabled(IP) == width4 and s.enabled(COLOR) == width4, "IP and swatch enabled only at width 4", s)
    t.end()


@scenario
def widths_narrow_only_what_is_shown(t):
    s = t.start()
    t.replace(HEX, "1234")
    t.key("Tab")
    t.fields({HEX: "1234", DEC: "4660"}, "0x1234 committed")
    rows = [
        (CHAR, {DEC: "52", HEX: "34", TEXT: "4", IP: "0.0.0.52", BIN: "00110100"}, False),
        (WORD, {DEC: "4660", HEX: "1234", TEXT: "\x124", IP: "0.0.18.52", BIN: "00010010 00110100"}, False),
        (LONG, {DEC: "4660", HEX: "1234", IP: "0.0.18.52", BIN: "00010010 00110100"}, True),
    ]
    for button, shown, width4 in rows:
        t.click_control(button, s)
        s = t.fields(shown, f"a click on {NAMES[button]}",
                     extra=lambda s, b=button, w=width4: s.check(b) == 1 and s.enabled(IP) == w and s.enabled(COLOR) == w)
    # 300 typed into Dec and a click on Char: the click commits Dec first
    t.replace(DEC, "300")
    t.click_control(CHAR, s)
    t.fields({DEC: "44", HEX: "2C", IP: "0.0.0.44", BIN: "00101100", TEXT: ","}, "300 committed, then narrowed to a byte",
             focus=CHAR)
    t.click_control(LONG, s)
    t.fields({DEC: "300", HEX: "12C"}, "the stored value kept all its bits")
    t.end()


@scenario
def signed_switches_the_dec_reading(t):
    s = t.start()
    t.type("-1")
    t.key("Tab")
    t.fields({DEC: "-1", HEX: "FFFFFFFF"}, "-1 committed")
    rows = [
        (SIGNED, {DEC: "4294967295", HEX: "FFFFFFFF"}, 0),
        (WORD, {DEC: "65535", HEX: "FFFF"}, 0),
        (SIGNED, {DEC: "-1", HEX: "FFFF"}, 1),
        (CHAR, {DEC: "-1", HEX: "FF"}, 1),
        (SIGNED, {DEC: "255", HEX: "FF"}, 0),
        (LONG, {DEC: "4294967295", HEX: "FFFFFFFF"}, 0),
    ]
    for button, shown, signed in rows:
        t.click_control(button, s)
        t.fields(shown, f"a click on {NAMES[button]}", extra=lambda s, v=signed: s.check(SIGNED) == v)
    t.end()


@scenario
def up_down_clicks_step_by_one(t):
    s = t.start()
    upper, lower = s.centre(SPIN, dy=0.25), s.centre(SPIN, dy=0.75)
    t.click(*upper)
    t.fields({DEC: "1", HEX: "1"}, "one step up from 0", focus=DEC)
    for n, dec, hx in ((1, "0", "0"), (2, "-1", "FFFFFFFF"), (3, "-2", "FFFFFFFE")):
        t.click(*lower)
        t.fields({DEC: dec, HEX: hx}, f"{n} step(s) down", focus=DEC)
    # Typed and not yet committed: the click commits it before stepping
    t.replace(DEC, "100")
    t.click(*upper)
    t.fields({DEC: "101", HEX: "65"}, "100 committed, then stepped", focus=DEC)
    t.end()


@scenario
def holding_an_arrow_keeps_stepping(t):
    s = t.start()
    t.move(*s.centre(SPIN, dy=0.25))
    t.down()
    try:
        s = t.wait(lambda s: s.text(DEC) not in ("", None) and int(s.text(DEC)) >= 5, "the value stepping up while held",
                   timeout=10)
    finally:
        t.up()
    # Released: the value stops changing.
    s = t.settle(lambda s: s.text(DEC), "the value settled after the release")
    settled = int(s.text(DEC))
    expect(settled >= 5, "only steps up while the upper arrow was held", s)
    t.holds(lambda s: s.text(DEC) == str(settled), "the value unchanged after the release", 0.5)
    t.move(*s.centre(SPIN, dy=0.75))
    t.down()
    try:
        t.wait(lambda s: int(s.text(DEC)) <= settled - 5, "the value stepping down while held", timeout=10)
    finally:
        t.up()
    t.end()


@scenario
def stepping_at_char_width_works_on_all_bits(t):
    s = t.start()
    t.replace(HEX, "FF")
    t.key("Tab")
    t.fields({HEX: "FF"}, "FF committed")
    t.key("alt+c")
    t.fields({HEX: "FF", DEC: "-1"}, "Char width", extra=lambda s: s.check(CHAR) == 1)
    t.click(*s.centre(SPIN, dy=0.25))
    t.fields({HEX: "0", DEC: "0", BIN: "0000"}, "0xFF + 1 shown as 0 in a byte")
    t.key("alt+l")
    t.fields({HEX: "100", DEC: "256"}, "the stored value is 0x100")
    t.end()


@scenario
def wheel_notches_over_the_window_step_the_value(t):
    s = t.start()
    t.type("10")  # pending in Dec: the first notch commits it
    group = [c for w in s.windows if w["hwnd"] == s.main["hwnd"] for c in w["children"] if c["ctl"]["text"] == "Mode"]
    expect(group, "the Mode group box among the window's children", s)
    l, tp, r, b = group[0]["ctl"]["rect"]
    places = {"the window": t.background(s), "the Mode box": (l + 6, b - 6)}
    steps = [("the window", 4, "11"), ("the window", 4, "12"), ("the Mode box", 4, "13"), ("the Mode box", 5, "12"),
             ("the window", 5, "11"), ("the window", 5, "10"), ("the window", 5, "9")]
    for place, button, dec in steps:
        t.click(*places[place], button=button)
        t.fields({DEC: dec}, f"a notch {'away from' if button == 4 else 'towards'} the user over {place}", focus=DEC)
    t.key("alt+l")  # the focus elsewhere makes no difference
    t.wait(lambda s: s.focus == LONG, "the focus on Long")
    t.click(*places["the window"], button=4)
    t.fields({DEC: "10", HEX: "A"}, "a notch with the focus on Long", focus=LONG)
    t.end()


@scenario
def wheel_notch_over_a_field_steps_the_value(t):
    s = t.start()
    t.type("10")
    for field, button, dec in ((DEC, 4, "11"), (HEX, 4, "12"), (BIN, 5, "11")):
        t.click(*s.centre(field), button=button)
        t.fields({DEC: dec}, f"a notch over {NAMES[field]}", focus=DEC)
    t.end()


@scenario
def settings_increment_drives_stepping(t):
    s = t.start()
    t.open_settings()
    t.key("Home", "shift+End")
    t.type("16")
    t.settings_ok()
    t.click(*s.centre(SPIN, dy=0.25))
    t.fields({HEX: "10", DEC: "16"}, "one up-down step of 16")
    t.click(*t.background(s), button=4)
    t.fields({HEX: "20", DEC: "32"}, "one wheel notch of 16")
    # With the middle button held, the wheel steps by 1
    t.move(*t.background(s))
    t.down(2)
    try:
        t.click(*t.background(s), button=4)
        t.fields({HEX: "21", DEC: "33"}, "one notch of 1 with the middle button held")
    finally:
        t.up(2)
    t.click(*s.centre(SPIN, dy=0.75))
    t.fields({HEX: "11"}, "one step down of 16")
    t.end()


def message_box_with(s, text):
    return [w for w in s.message_boxes() if any(text == x for x in window_texts(w))]


@scenario
def settings_refused_increments(t):
    s = t.start()
    t.open_settings()
    rows = [
        ("0", "Please enter an integer between 1 and 134217728."),
        ("", "Please enter a positive integer."),
        ("134217729", "Please enter an integer between 1 and 134217728."),
        ("99999999999", "Please enter an integer between 1 and 134217728."),
    ]
    for typed, message in rows:
        t.key("Home", "shift+End")
        if typed:
            t.type(typed)
        else:
            t.key("Delete")
        t.key("Return")
        t.wait(lambda s, m=message: message_box_with(s, m), f"{typed!r} refused with {message!r}")
        t.key("Return")
        s = t.wait(lambda s: not s.message_boxes() and s.dialog("Settings") and s.gui.get("focus_ctl") == INCREMENT,
                   "the message closed, Settings still open, the focus back in the increment field")
        inc = child(s.dialog("Settings"), INCREMENT)
        expect(inc["text"] == typed and tuple(inc["sel"]) == (0, len(typed)), f"{typed!r} still there, all selected", s)
    # Letters cannot be typed into the increment field.
    t.type("x")
    t.holds(lambda s: child(s.dialog("Settings"), INCREMENT)["text"] == rows[-1][0], "the letter refused by the field", 0.3)
    t.key("Escape")
    t.wait(lambda s: not s.dialog("Settings") and s.main["enabled"], "Settings cancelled")
    # After a refused increment and Cancel the old increment stays
    t.click(*s.centre(SPIN, dy=0.25))
    t.fields({DEC: "1"}, "one step of the old increment 1")
    t.open_settings()
    s = t.state()
    expect(child(s.dialog("Settings"), INCREMENT)["text"] == "1", "the increment field showing 1 again", s)
    t.key("Escape")
    t.wait(lambda s: not s.dialog("Settings"), "Settings closed")
    t.end()


@scenario
def settings_accepts_the_largest_increment(t):
    s = t.start()
    t.open_settings()
    t.key("Home", "shift+End")
    t.type("134217728")
    t.settings_ok()
    upper = s.centre(SPIN, dy=0.25)
    for n, hx in ((1, "8000000"), (2, "10000000")):
        t.click(*upper)
        t.fields({HEX: hx}, f"{n} step(s) of 0x8000000")
    t.open_settings()
    s = t.state()
    expect(child(s.dialog("Settings"), INCREMENT)["text"] == "134217728", "the increment shown again", s)
    t.key("Escape")
    t.wait(lambda s: not s.dialog("Settings"), "Settings closed")
    t.end()


@scenario
def stay_on_top_follows_settings(t):
    s = t.start()
    expect(s.main["topmost"], "topmost at start", s)
    for want in (False, True):
        s = t.open_settings()
        expect(child(s.dialog("Settings"), STAYONTOP)["check"] == (0 if want else 1), "Stay on top showing the state", s)
        t.key("alt+o")
        t.wait(lambda s, w=want: child(s.dialog("Settings"), STAYONTOP)["check"] == (1 if w else 0), "Stay on top toggled")
        t.settings_ok()
        t.wait(lambda s, w=want: s.main["topmost"] == w, f"the window {'on top' if want else 'no longer on top'} at once")
    t.end()


def visible_tip(s):
    tips = [w for w in s.tooltips() if w.get("text")]
    return tips[0]["text"] if tips else None


@scenario
def tooltips_show_each_controls_text(t):
    s = t.start()
    for cid in (HEX, DEC, LONG, SIGNED, SPIN, COLOR):
        t.move(*s.centre(cid))
        t.wait(lambda s, c=cid: visible_tip(s) == TIPS[c], f"the tooltip of {NAMES[cid]}: {TIPS[cid]!r}")
    # A label has no tooltip
    label = [c for w in s.windows if w["hwnd"] == s.main["hwnd"] for c in w["children"] if c["ctl"]["text"] == "&Dec:"]
    expect(label, "the Dec label among the window's children", s)
    l, tp, r, b = label[0]["ctl"]["rect"]
    t.move((l + r) // 2, (tp + b) // 2)
    t.wait(lambda s: visible_tip(s) is None, "no tooltip over the label")
    t.holds(lambda s: visible_tip(s) is None, "no tooltip over the label", 1.5)
    t.park_mouse()
    t.end()


@scenario
def tooltips_switched_off_in_settings(t):
    s = t.start()
    t.open_settings()
    t.key("alt+t")
    t.wait(lambda s: child(s.dialog("Settings"), TOOLTIPS)["check"] == 0, "Enable ToolTips cleared")
    t.settings_ok()
    t.move(*s.centre(HEX))
    t.holds(lambda s: visible_tip(s) is None, "no tooltip over Hex", 2.0)
    t.park_mouse()
    t.open_settings()
    t.key("alt+t")
    t.wait(lambda s: child(s.dialog("Settings"), TOOLTIPS)["check"] == 1, "Enable ToolTips set again")
    t.settings_ok()
    t.move(*s.centre(HEX))
    t.wait(lambda s: visible_tip(s) == TIPS[HEX], "the Hex tooltip back")
    t.park_mouse()
    t.end()


@scenario
def about_box(t):
    s = t.start()
    t.system_menu("End", "Return")
    s = t.wait(lambda s: s.dialog("About Quendrix") and not s.main["enabled"], "the About box, the window disabled")
    about = s.dialog("About Quendrix")
    texts = window_texts(about)
    for line in ("Quendrix Version 1.1", "Press F1 or use button ToolTips for help", "OK"):
        expect(line in texts, f"{line!r} in the About box", s)
    expect(any(x.startswith("Copyright") for x in texts), "the maker's notice in the About box", s)
    expect(about["owner"] == s.main["hwnd"], "the About box owned by the converter window", s)
    t.key("Return")
    t.wait(lambda s: not s.dialog("About Quendrix") and s.main["enabled"] and s.focus == DEC,
           "the About box closed, the focus back in Dec")
    t.end()


@scenario
def window_menu_holds_settings_and_about_last(t):
    s = t.start()
    t.key("alt+space")
    s = t.wait(lambda s: len(s.menus()) == 1, "the window menu open")
    ml, mt = s.menus()[0]["rect"][:2]
    cl, ct = s.main["client"][:2]
    expect(abs(ml - cl) <= 3 and abs(mt - ct) <= 3, "the window menu under the caption's left end", s)
    # The first Escape closes the menu; Wine keeps the window in menu mode, its system menu's
    # icon selected, until the second.
    t.key("Escape", "Escape")
    t.wait(lambda s: s.no_menu() and s.focus == DEC, "the menu closed, the focus back in Dec")
    # From the end: the last item is About, the one before it Settings
    for keys, caption in ((("End", "Return"), "About Quendrix"), (("End", "Up", "Return"), "Settings")):
        t.system_menu(*keys)
        t.wait(lambda s, c=caption: s.dialog(c), f"{caption} chosen from the menu")
        t.key("Escape")
        t.wait(lambda s, c=caption: not s.dialog(c) and s.main["enabled"], f"{caption} closed")
    t.end()


@scenario
def context_menu_by_right_click_and_shift_f10(t):
    s = t.start()
    x, y = t.background(s)
    t.click(x, y, button=3)
    s = t.wait(lambda s: len(s.menus()) == 1, "the context menu open")
    expect(s.menus()[0]["rect"][:2] == [x, y], f"the context menu at the mouse, {x},{y}", s)
    t.key("Escape")
    t.wait(lambda s: s.no_menu(), "the context menu closed")
    t.key("alt+l")
    t.wait(lambda s: s.focus == LONG, "the focus on Long")
    t.key("shift+F10")
    s = t.wait(lambda s: len(s.menus()) == 1, "the context menu open from the keyboard")
    l, tp = s.main["client"][:2]
    expect(s.menus()[0]["rect"][:2] == [l + 5, tp + 5], "the menu 5 pixels inside the client area's corner", s)
    t.key("Escape")
    t.wait(lambda s: s.no_menu() and s.focus == LONG, "the menu closed, the focus on Long")
    t.end()


def context_command(t, s, letter):
    t.click(*t.background(s), button=3)
    t.wait(lambda s: len(s.menus()) == 1, "the context menu open")
    t.key(letter)
    t.wait(lambda s: s.no_menu(), f"the context menu closed by {letter!r}")


@scenario
def cut_copy_paste_act_on_the_last_field(t):
    s = t.start()
    t.type("1234")
    t.key("Home", "Right", "shift+Right", "shift+Right")
    t.wait(lambda s: s.sel(DEC) == (1, 3), "23 selected in Dec")
    t.suite.probe.ask("clip -")
    context_command(t, s, "c")
    t.wait(lambda s: t.suite.probe.ask("clipboard")["clipboard"] == "23", "23 copied to the clipboard")
    s = t.wait(lambda s: s.text(DEC) == "1234" and s.focus == DEC, "Dec unchanged by Copy, the focus in it")
    context_command(t, s, "t")
    t.wait(lambda s: s.text(DEC) == "14" and s.focus == DEC and s.modified(DEC), "23 cut from Dec")
    expect(t.suite.probe.ask("clipboard")["clipboard"] == "23", "23 on the clipboard after Cut")
    t.key("Home", "shift+End")
    context_command(t, s, "p")
    t.wait(lambda s: s.text(DEC) == "23" and s.modified(DEC), "23 pasted over the whole of Dec, pending")
    t.key("Tab")
    t.fields({DEC: "23", HEX: "17"}, "the pasted text committed on leaving", focus=HEX)
    t.end()
    t.exact_bells(0, "nothing refused")


@scenario
def paste_into_a_field_left_is_committed_at_once(t):
    s = t.start()
    t.key("alt+h")
    t.wait(lambda s: s.focus == HEX, "the focus in Hex")
    t.click_control(CLEAR, s)
    t.wait(lambda s: s.focus == CLEAR and s.check(CLEAR) == 1, "the focus on Clear, Hex left")
    t.key("alt+e")  # Clear off again: only the focus move mattered
    t.wait(lambda s: s.check(CLEAR) == 0, "Clear off again")
    t.suite.probe.ask("clip FF")
    context_command(t, s, "p")
    t.fields({HEX: "FF", DEC: "255", BIN: "11111111"}, "the paste into Hex committed at once", focus=CLEAR)
    t.end()


@scenario
def eyedropper_drag_picks_a_screen_colour(t):
    s = t.start()
    patch = t.start_patch("123456", 40, 40, 160, 100)
    t.replace(HEX, "ABCDEF")
    t.key("Tab")
    s = t.fields({HEX: "ABCDEF"}, "ABCDEF committed", focus=TEXT)
    try:
        sx, sy = t.start_pick(s)
        t.drag(t.path(sx, sy, *patch))
        s = t.wait(lambda s: s.raw.get("swatch_pixel") == "123456" and s.gui.get("capture_id") == COLOR,
                   "the swatch showing the patch's colour during the pick, holding the capture")
        expect(s.text(HEX) == "ABCDEF" and s.focus == TEXT, "the value unchanged until the release", s)
    finally:
        t.release_over_other_window()
    s = t.fields({HEX: "123456", DEC: "1193046", IP: "0.18.52.86"}, "the picked colour the value at the release",
                 focus=TEXT, extra=lambda s: s.gui.get("capture") == "0")
    t.wait(lambda s: s.raw.get("swatch_pixel") == "123456", "the swatch drawn in the picked colour")
    t.end()


@scenario
def eyedropper_cancelled_by_the_right_button(t):
    s = t.start()
    patch = t.start_patch("C0FFEE", 40, 40, 160, 100)
    t.replace(HEX, "AB0000FF")  # a report of the swatch colour would drop the top byte
    t.key("Tab")
    s = t.fields({HEX: "AB0000FF"}, "0xAB0000FF committed", focus=TEXT)
    t.wait(lambda s: s.raw.get("swatch_pixel") == "0000FF", "the swatch blue")
    try:
        sx, sy = t.start_pick(s)
        t.drag(t.path(sx, sy, *patch))
        t.wait(lambda s: s.raw.get("swatch_pixel") == "C0FFEE", "the swatch following the pointer")
        t.click(*patch, button=3)
        t.wait(lambda s: s.raw.get("swatch_pixel") == "0000FF" and s.gui.get("capture") == "0",
               "the colour from before the pick back, the capture released")
    finally:
        t.release_over_other_window()
    # A key after the release: once the program shows it, the release has been handled too.
    t.key("alt+s")
    t.fields({HEX: "AB0000FF", DEC: "2868904191"}, "nothing reported after the cancel, then Signed off",
             extra=lambda s: s.check(SIGNED) == 0 and s.raw.get("swatch_pixel") == "0000FF")
    t.holds(lambda s: s.text(HEX) == "AB0000FF" and s.raw.get("swatch_pixel") == "0000FF",
            "nothing reported after the cancel", 0.3)
    t.end()


@scenario
def hovering_over_the_swatch_starts_no_pick(t):
    s = t.start()
    patch = t.start_patch("C0FFEE", 40, 40, 160, 100)
    t.replace(HEX, "AB0000FF")
    t.key("Tab")
    s = t.fields({HEX: "AB0000FF"}, "0xAB0000FF committed", focus=TEXT)
    sx, sy = s.centre(COLOR)
    t.drag(t.path(sx, sy, *patch))
    t.suite.probe.ask("sync")  # the pointer entered the patch: as after a release over it
    # A click elsewhere after the moves: once it shows, the moves over the swatch have been
    # handled. Had they started a pick, the swatch would hold the click and report its colour.
    t.click_control(SIGNED, s)
    t.fields({HEX: "AB0000FF", DEC: "2868904191"}, "only Signed changed after the pointer crossed the swatch",
             extra=lambda s: s.check(SIGNED) == 0)
    t.holds(lambda s: s.gui.get("capture") == "0" and s.raw.get("swatch_pixel") == "0000FF" and s.text(HEX) == "AB0000FF",
            "no capture and the swatch's own colour", 0.3)
    t.end()


@scenario
def swatch_click_reports_its_colour(t):
    s = t.start()
    t.replace(HEX, "12345678")
    t.key("Tab")
    s = t.fields({HEX: "12345678"}, "0x12345678 committed", focus=TEXT)
    t.wait(lambda s: s.raw.get("swatch_pixel") == "345678", "the swatch showing the low 24 bits")
    t.click_control(COLOR, s)
    t.fields({HEX: "345678", DEC: "3430008"}, "a plain click reporting the swatch colour", focus=TEXT)
    # Disabled at Word: drawn as a pattern, no click reaches it, the colour kept for Long
    t.replace(HEX, "12FF8000")
    t.key("Tab")
    t.fields({HEX: "12FF8000"}, "0x12FF8000 committed")
    t.key("alt+w")
    s = t.wait(lambda s: not s.enabled(COLOR) and s.raw.get("swatch_pixel") in ("000000", "FFFFFF"),
               "the disabled swatch drawn as a black and white pattern")
    t.click_control(COLOR, s)
    t.holds(lambda s: s.text(HEX) == "8000", "no report from the disabled swatch", 0.5)
    t.key("alt+l")
    t.fields({HEX: "12FF8000"}, "Long again", extra=lambda s: s.raw.get("swatch_pixel") == "FF8000")
    t.end()


def colour_dialog(s):
    found = s.of_program("#32770")
    found = [w for w in found if w["caption"] not in ("Quendrix", "About Quendrix", "Settings")]
    return found[0] if found else None


def colour_edit(dialog, label):
    """The colour dialog's edit field that follows the label given (&Red, &Green, Bl&ue)."""
    children = dialog["children"]
    for i, c in enumerate(children):
        if c["ctl"]["text"].replace("&", "").rstrip(":").lower() == label:
            for later in children[i + 1:]:
                if later["ctl"]["class"].lower() == "edit":
                    return later
    return None


@scenario
def colour_dialog_chooses_the_value(t):
    s = t.start()
    t.replace(HEX, "12345678")
    t.key("Tab")
    s = t.fields({HEX: "12345678"}, "0x12345678 committed", focus=TEXT)
    t.click(*s.centre(COLOR), repeat=2)
    s = t.wait(lambda s: colour_dialog(s) and not s.main["enabled"], "the colour dialog open, the window disabled")
    dialog = colour_dialog(s)
    expect(dialog["owner"] == s.main["hwnd"], "the colour dialog owned by the converter window", s)
    expect(s.text(HEX) == "345678", "the first release of the double-click reported the swatch colour", s)
    for label, value in (("red", "255"), ("green", "128"), ("blue", "0")):
        s = t.state()
        edit = colour_edit(colour_dialog(s), label)
        expect(edit is not None, f"the colour dialog's {label} field", s)
        l, tp, r, b = edit["ctl"]["rect"]
        t.click((l + r) // 2, (tp + b) // 2)
        t.wait(lambda s, h=edit["ctl"]["hwnd"]: s.gui.get("focus") == h, f"the focus in the {label} field")
        t.key("Home", "shift+End")
        t.type(value)
        t.wait(lambda s, h=edit["ctl"]["hwnd"], v=value: any(c["ctl"].get("hwnd") == h and c["ctl"]["text"] == v
                                                             for c in colour_dialog(s)["children"]),
               f"{value} in the {label} field")
    ok = child(colour_dialog(t.state()), IDOK)
    l, tp, r, b = ok["rect"]
    t.click((l + r) // 2, (tp + b) // 2)
    t.fields({HEX: "FF8000", DEC: "16744448", IP: "0.255.128.0"}, "the chosen colour the value",
             extra=lambda s: not colour_dialog(s) and s.main["enabled"] and s.raw.get("swatch_pixel") == "FF8000")
    # Cancel keeps the colour, and reports it all the same
    t.click(*s.centre(COLOR), repeat=2)
    t.wait(lambda s: colour_dialog(s), "the colour dialog open again")
    t.key("Escape")
    t.fields({HEX: "FF8000"}, "the colour kept after Cancel", extra=lambda s: not colour_dialog(s) and s.main["enabled"])
    t.end()


SAVED = {"Size": 2, "Clear": 1, "Signed": 0, "Spin increment": 5, "Tool Tips": 1, "Stay on top": 0, "Save on exit": 1}


@scenario
def options_saved_at_exit_and_loaded_at_start(t):
    s = t.start()
    t.open_settings()
    t.key("Home", "shift+End")
    t.type("5")
    t.key("alt+o", "alt+s")
    t.wait(lambda s: child(s.dialog("Settings"), STAYONTOP)["check"] == 0 and child(s.dialog("Settings"), SAVEONEXIT)["check"] == 1,
           "Stay on top cleared, Save settings on exit set")
    t.settings_ok()
    for keys, check in (("alt+w", WORD), ("alt+e", CLEAR), ("alt+s", SIGNED)):
        t.key(keys)
        t.wait(lambda s, c=check, k=keys: s.focus == c, f"{keys} done")
    t.wait(lambda s: (s.check(WORD), s.check(CLEAR), s.check(SIGNED)) == (1, 1, 0), "Word, Clear on, Signed off")
    s = t.state()
    expect(not s.registry["maker"], "nothing written before the end of the run", s)
    t.end()
    s = t.state()
    reg = s.registry
    expect(reg.get("product") and reg.get("class") == "???", "the product key created, with the class ???", s)
    values = reg.get("values", {})
    expect({k: (v["type"], v["size"]) for k, v in values.items()} == {k: (4, 4) for k in SAVED},
           f"exactly the seven options stored as 4-byte REG_DWORD values", s)
    expect({k: v["dword"] for k, v in values.items()} == SAVED, f"the stored options {SAVED}", s)
    # The next start finds them again
    s = t.start(clean=False)
    expect((s.check(LONG), s.check(WORD), s.check(CHAR), s.check(SIGNED), s.check(CLEAR)) == (0, 1, 0, 0, 1),
           "Word, Clear and not Signed, as saved", s)
    expect(not s.main["topmost"] and not s.enabled(IP) and not s.enabled(COLOR), "not on top, IP and swatch disabled", s)
    t.click(*s.centre(SPIN, dy=0.25))
    t.fields({HEX: "5", DEC: "5"}, "one step of the saved increment 5")
    s = t.open_settings()
    dialog = s.dialog("Settings")
    expect(child(dialog, INCREMENT)["text"] == "5" and child(dialog, SAVEONEXIT)["check"] == 1
           and child(dialog, STAYONTOP)["check"] == 0 and child(dialog, TOOLTIPS)["check"] == 1,
           "the Settings dialog showing the saved options", s)
    t.key("Escape")
    t.wait(lambda s: not s.dialog("Settings"), "Settings closed")
    t.end()


@scenario
def options_saved_when_the_session_ends(t):
    # Logoff or shutdown: the process ends right after WM_ENDSESSION, and the modal loop never
    # unwinds.
    t.registry_clear()
    t.registry_set("Save on exit", 1)
    t.start(clean=False)
    t.key("alt+w")
    t.wait(lambda s: s.check(WORD) == 1, "Word")
    # Wine's trace of the end of the session names the window that refused it, should one do so.
    ended = subprocess.run([WINE, "wineboot", "--end-session"], timeout=30, capture_output=True, text=True,
                           env=dict(os.environ, WINEDEBUG="+wineboot"))
    if ended.returncode:
        raise Failure(f"wineboot --end-session ended with {ended.returncode}:\n{ended.stderr[-4000:]}\n"
                      f"saw:\n{t.state().summary()}")
    t.wait_exit()
    s = t.state()
    values = {k: v.get("dword") for k, v in s.registry.get("values", {}).items()}
    expect(values.get("Size") == 2 and values.get("Save on exit") == 1 and len(values) == 7,
           "the seven options stored, Size 2, as the session ended", s)


@scenario
def saving_switched_off_writes_only_that(t):
    t.registry_clear()
    for name, value in (("Size", 1), ("Spin increment", 7), ("Save on exit", 1)):
        t.registry_set(name, value)
    s = t.start(clean=False)
    expect(s.check(CHAR) == 1 and not s.enabled(IP), "the stored width Char", s)
    t.click(*s.centre(SPIN, dy=0.25))
    t.fields({DEC: "7"}, "one step of the stored increment 7")
    t.open_settings()
    t.wait(lambda s: child(s.dialog("Settings"), SAVEONEXIT)["check"] == 1, "saving shown on")
    t.key("alt+s")
    t.wait(lambda s: child(s.dialog("Settings"), SAVEONEXIT)["check"] == 0, "saving switched off")
    t.settings_ok()
    t.key("alt+l")
    t.wait(lambda s: s.check(LONG) == 1, "Long")
    t.end()
    s = t.state()
    values = {k: v.get("dword") for k, v in s.registry.get("values", {}).items()}
    expect(values == {"Size": 1, "Spin increment": 7, "Save on exit": 0},
           "only Save on exit rewritten (0); the other stored values as they were", s)


@scenario
def stored_width_of_three_checks_no_button(t):
    t.registry_clear()
    t.registry_set("Size", 3)
    s = t.start(clean=False)
    expect((s.check(LONG), s.check(WORD), s.check(CHAR)) == (0, 0, 0), "no width button checked", s)
    expect(not s.enabled(IP) and not s.enabled(COLOR), "IP and the swatch disabled", s)
    t.type("65536")
    t.key("Return")
    t.fields({DEC: "65536", HEX: "10000"}, "the value shown at width 4")
    t.end()
    s = t.state()
    expect({k: v.get("dword") for k, v in s.registry.get("values", {}).items()} == {"Size": 3},
           "nothing written with saving off", s)


@scenario
def f1_without_the_help_page(t):
    empty = tempfile.mkdtemp(prefix="quendrix-nohelp-")
    try:
        t.start(cwd=empty)
        t.key("shift+F1")
        t.holds(lambda s: not s.message_boxes() and s.main["enabled"], "nothing shown for Shift+F1", 1.0)
        t.key("F1")
        s = t.wait(lambda s: message_box_with(s, "Can't locate help file"), "the message \"Can't locate help file\"")
        t.wait_bells(1, "the warning beep of the missing help page")
        t.key("Return")
        t.wait(lambda s: not s.message_boxes() and s.main["enabled"] and s.focus == DEC,
               "the message closed, the window going on with the focus in Dec")
        t.type("7")
        t.key("Tab")
        t.fields({HEX: "7"}, "the window still working")
        t.end()
    finally:
        shutil.rmtree(empty, ignore_errors=True)


@scenario
def f1_opens_the_help_page_through_the_shell(t):
    # Wine's shell hands an HTML page to xdg-open: a stand-in of ours notes what it was given.
    tools = tempfile.mkdtemp(prefix="quendrix-browser-")
    note = os.path.join(tools, "opened")
    try:
        opener = os.path.join(tools, "xdg-open")
        with open(opener, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$@" >> "{note}"\n')
        os.chmod(opener, 0o755)
        # A user whose HTML pages open with the browser, as the prepared prefix has it.
        if not t.suite.probe.ask("htm-assoc").get("ok"):
            raise Failure("could not associate .htm pages with the browser")
        t.start(env={"PATH": tools + os.pathsep + os.environ.get("PATH", "")})

        def pages():
            """The lines the stand-in has written whole: the shell creates the note before the
            line is in it."""
            if not os.path.exists(note):
                return []
            with open(note) as f:
                return f.read().split("\n")[:-1]
        t.key("F1")
        deadline = time.monotonic() + 20
        while not pages():
            s = t.state()
            if s.message_boxes():
                raise Failure(f"a message appeared instead of the page\nsaw:\n{s.summary()}")
            if time.monotonic() > deadline:
                raise Failure(f"expected the shell to open Help/Quendrix.htm\nsaw:\n{s.summary()}")
            time.sleep(0.05)  # pacing between polls
        page = "file://" + os.path.join(t.suite.app_dir, "Help", "Quendrix.htm")
        expect(pages() == [page], f"the browser given {page}, not {pages()}")
        t.holds(lambda s: not s.message_boxes() and s.main["enabled"], "no error message", 0.5)
        # F1 in the About box opens the same page
        t.system_menu("End", "Return")
        t.wait(lambda s: s.dialog("About Quendrix"), "the About box")
        t.key("F1")
        t.wait(lambda s: len(pages()) == 2, "the page opened a second time")
        expect(pages() == [page, page], f"the same page from the About box, not {pages()}")
        t.key("Escape")
        t.wait(lambda s: not s.dialog("About Quendrix") and s.main["enabled"], "the About box closed")
        t.end()
        t.wait_helpers_gone("winebrowser.exe")
    finally:
        shutil.rmtree(tools, ignore_errors=True)


@scenario
def every_way_of_closing_ends_the_process(t):
    for how in ("Escape", "alt+F4", "menu Close", "close box"):
        s = t.start()
        if how == "menu Close":
            t.system_menu("c")
        elif how == "close box":
            # The close box drawn by Wine at the right end of the caption
            l, tp, r, b = s.main["rect"]
            cl, ct = s.main["client"][:2]
            t.click(r - (ct - tp) // 2 - 2, tp + (ct - tp) // 2)
        else:
            t.key(how)
        try:
            t.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            raise Failure(f"expected the process to end after {how}\nsaw:\n{t.state().summary()}")
        s = t.state()
        expect(not s.main and not [w for w in s.windows if w["pid"] == t.pid], f"no window left after {how}", s)


# ---------------------------------------------------------------------------------------------

class Suite:
    def __init__(self, args):
        self.program = os.path.abspath(args.program)
        self.app_dir = os.path.dirname(self.program)
        self.patch = os.path.abspath(args.patch)
        self.out = os.path.abspath(args.out)
        os.makedirs(self.out, exist_ok=True)
        self.probe = Probe(os.path.abspath(args.probe))
        self.bell = Bell()
        self.bell_fd = self.bell.x.XConnectionNumber(self.bell.display)
        geometry = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True, check=True)
        self.screen = tuple(int(v) for v in geometry.stdout.split())

    def screenshot(self, name):
        path = os.path.join(self.out, f"e2e-{name}.png")
        subprocess.run(["import", "-window", "root", path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def run(self, fn):
        t = Run(self, fn.__name__)
        try:
            fn(t)
            if t.running():
                raise Failure("the scenario left the program running")
            return True, ""
        except Failure as e:
            shot = self.screenshot(fn.__name__)
            return False, f"{e}\n  X server keys down: {self.bell.pressed() or 'none'}\n  screenshot: {shot}"
        except Exception:
            shot = self.screenshot(fn.__name__)
            return False, traceback.format_exc() + f"  screenshot: {shot}"
        finally:
            t.kill()

    def close(self):
        self.probe.close()
        self.bell.close()


def arguments(description, extra=()):
    """The command line of the suite and of the soak: the programs, the prefix, the output folder
    and `extra` (name, options) pairs."""
    parser = argparse.ArgumentParser(description=description, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--patch", required=True)
    parser.add_argument("--prefix", help="Wine prefix when the suite makes its own session")
    parser.add_argument("--out", default=".", help="where failure screenshots go")
    for name, options in extra:
        parser.add_argument(name, **options)
    return parser.parse_args()


def in_session(args):
    """Without DISPLAY and WINEPREFIX, runs this script again on a private screen through
    scripts/wine-run.sh --session."""
    if not os.environ.get("DISPLAY") or not os.environ.get("WINEPREFIX"):
        prefix = args.prefix or os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(args.program))), "wineprefix")
        runner = os.path.join(ROOT, "scripts", "wine-run.sh")
        os.execv("/bin/bash", ["bash", runner, "--prefix", prefix, "--session", sys.executable, *sys.argv])


def main():
    args = arguments(__doc__, [("--only", {"nargs": "*", "help": "scenario names (or parts of them) to run"})])
    in_session(args)

    chosen = [f for f in SCENARIOS if not args.only or any(o in f.__name__ for o in args.only)]
    started = time.monotonic()
    suite = Suite(args)
    passed = failed = 0
    try:
        for fn in chosen:
            t0 = time.monotonic()
            ok, detail = suite.run(fn)
            took = time.monotonic() - t0
            if ok:
                passed += 1
                print(f"PASS {fn.__name__} ({took:.1f} s)", flush=True)
            else:
                failed += 1
                print(f"FAIL {fn.__name__} ({took:.1f} s)\n{detail}", flush=True)
    finally:
        suite.close()
    print(f"# {time.monotonic() - started:.1f} s", flush=True)
    print(f"{passed} passed, {failed} failed", flush=True)
    sys.exit(1 if failed or not chosen else 0)


if __name__ == "__main__":
    main()
