#!/usr/bin/env python3
"""A soak of Quendrix under Wine: the program as built for it (quendrix_soak.exe, the program
with a counter of its live GDI and USER objects) driven with real X input through tens of
thousands of a user's actions of every kind, with the e2e suite's machinery: its runs, its waits
on states and its probe. What each action (or each run of notches or steps) did is checked
before the next, as the suite checks it.

One round does each kind of action: valid text typed into each field and refused text into each
field that refuses any, committed with Enter or Tab; wheel notches and up-down steps; the widths,
Signed and Clear switched; Copy, Cut and Paste from the context menu; an eyedropper drag; the
Settings dialog opened, changed and cancelled; the About box; the colour dialog opened and
cancelled. Rounds run until the actions reach --actions.

The working set and the live GDI and USER objects are taken after the warm-up (the rounds that
reach --warmup actions, at most half of them all) and at the end, each time with the window idle as at the start of a round
and the pointer parked. The soak fails when the working set grew by 1 MiB or more, when the
objects grew, when an action did not land, or when the program does not end with 0 on Escape.

    soak.py --program quendrix_soak.exe --probe e2e_probe.exe --patch e2e_patch.exe
            [--actions 20000] [--warmup 1000] [--seed 20]

Without DISPLAY and WINEPREFIX it re-runs itself on a private screen through
scripts/wine-run.sh --session.
"""

import collections
import random
import string
import sys
import time

import suite
from suite import (BIN, CHAR, CLEAR, COLOR, DEC, HEX, IP, LONG, SIGNED, SPIN, TEXT, WORD, Failure, Run, Suite,
                   colour_dialog, context_command)

MIB = 1024 * 1024
PATCH = "2468AC"


def signed_dec(v):
    return str(v - (1 << 32) if v & 0x80000000 else v)


def valid_text(rng, field):
    """A text the field accepts, and the value it stands for."""
    if field == DEC:
        n = rng.randrange(-(1 << 31), 1 << 31)
        return str(n), n & 0xFFFFFFFF
    if field == HEX:
        v = rng.getrandbits(32)
        return format(v, rng.choice(("x", "X"))), v
    if field == TEXT:
        chars = "".join(rng.choice(string.ascii_letters + string.digits) for _ in range(rng.randint(1, 4)))
        return chars, int.from_bytes(chars.encode("ascii"), "big")
    if field == IP:
        parts = [rng.randrange(256) for _ in range(4)]
        return ".".join(map(str, parts)), int.from_bytes(bytes(parts), "big")
    v = rng.getrandbits(rng.choice((8, 16, 32)))
    return format(v, "b"), v


# Texts each field refuses; Text takes any text.
REFUSED = {DEC: ("12a", "0x10", "1 000", "-"), HEX: ("XYZ", "0x", "1G"), IP: ("256.0.0.0", "1.2.3", "-1.0.0.0"),
           BIN: ("102", "0b1")}


class Soak:
    def __init__(self, t, rng):
        self.t = t
        self.rng = rng
        self.done = collections.Counter()
        self.value = 0
        self.refused = 0

    @property
    def actions(self):
        return sum(self.done.values())

    def shows(self, what, focus=None, timeout=10.0, **extra_fields):
        want = {HEX: format(self.value, "X"), DEC: signed_dec(self.value)}
        want.update(extra_fields.get("fields", {}))
        return self.t.fields(want, what, focus=focus, extra=extra_fields.get("extra"), timeout=timeout)

    def enter_text(self, field, text, kind):
        """Into the field by its mnemonic, over all it holds, committed with Enter or Tab, typed
        as a quick hand would."""
        commit = self.rng.choice(("Tab", "Return"))
        self.t.xdo("key", "--delay", 15, f"alt+{suite.MNEMONIC[field]}", "Home", "shift+End",
                   "type", "--delay", 15, "--", text)
        self.t.xdo("key", commit)
        self.done[f"{kind} text typed into {suite.NAMES[field]}"] += 1
        self.done["Tab" if commit == "Tab" else "Enter"] += 1

    def typing(self):
        for field in (DEC, HEX, TEXT, IP, BIN):
            text, self.value = valid_text(self.rng, field)
            self.enter_text(field, text, "valid")
            self.shows(f"{text!r} typed into {suite.NAMES[field]} and committed")
        for field, texts in REFUSED.items():
            text = self.rng.choice(texts)
            self.enter_text(field, text, "refused")
            self.refused += 1
            self.t.wait_bells(self.refused, f"{text!r} refused by {suite.NAMES[field]}", timeout=10)
            self.shows(f"the value kept after {text!r} was refused")

    def stepping(self, s):
        x, y = self.t.background(s)
        for button, sign in ((4, 1), (5, -1)):
            n = self.rng.randint(10, 30)
            self.t.xdo("mousemove", x, y, "click", "--repeat", n, "--delay", 20, button)
            self.value = (self.value + sign * n) & 0xFFFFFFFF
            self.done["wheel step"] += n
            self.shows(f"{n} wheel notches")
        # The up-down control takes quick clicks one step each (it knows no double-click); a
        # press held half a second would start repeating, these last a few milliseconds.
        for dy, sign in ((0.25, 1), (0.75, -1)):
            n = self.rng.randint(5, 15)
            self.t.xdo("mousemove", *s.centre(SPIN, dy=dy), "click", "--repeat", n, "--delay", 40, 1)
            self.value = (self.value + sign * n) & 0xFFFFFFFF
            self.done["up-down step"] += n
            self.shows(f"{n} up-down steps")
        self.t.park_mouse()

    def switches(self):
        for keys, button, mask in (("alt+w", WORD, 0xFFFF), ("alt+c", CHAR, 0xFF), ("alt+l", LONG, 0xFFFFFFFF)):
            self.t.key(keys)
            self.done["width switch"] += 1
            self.t.wait(lambda s, b=button, m=mask: s.check(b) == 1 and s.text(HEX) == format(self.value & m, "X"),
                        f"{suite.NAMES[button]} showing {self.value & mask:X}", timeout=10)
        for on in (0, 1):
            self.t.key("alt+s")
            self.done["Signed switch"] += 1
            dec = signed_dec(self.value) if on else str(self.value)
            self.t.wait(lambda s, o=on, d=dec: s.check(SIGNED) == o and s.text(DEC) == d, f"Signed {on}", timeout=10)
        for on in (1, 0):
            self.t.key("alt+e")
            self.done["Clear switch"] += 1
            self.t.wait(lambda s, o=on: s.check(CLEAR) == o, f"Clear {on}", timeout=10)

    def clipboard(self, s):
        self.t.xdo("key", "--delay", 15, "alt+d", "Home", "shift+End", "type", "--delay", 15, "1234")
        self.t.xdo("key", "--delay", 15, "Home", "Right", "shift+Right", "shift+Right")
        self.done["valid text typed into Dec"] += 1
        self.t.wait(lambda s: s.sel(DEC) == (1, 3), "23 selected in Dec", timeout=10)
        context_command(self.t, s, "c")
        self.done["Copy"] += 1
        self.t.wait(lambda s: self.t.suite.probe.ask("clipboard")["clipboard"] == "23", "23 copied", timeout=10)
        context_command(self.t, s, "t")
        self.done["Cut"] += 1
        self.t.wait(lambda s: s.text(DEC) == "14", "23 cut from Dec", timeout=10)
        self.t.key("Home", "shift+End")
        context_command(self.t, s, "p")
        self.done["Paste"] += 1
        self.t.wait(lambda s: s.text(DEC) == "23" and s.modified(DEC), "23 pasted", timeout=10)
        self.t.key("Tab")
        self.done["Tab"] += 1
        self.value = 23
        self.shows("the pasted 23 committed")

    def eyedropper(self, s, patch):
        try:
            sx, sy = self.t.start_pick(s)
            self.t.drag(self.t.path(sx, sy, *patch))
            self.t.wait(lambda s: s.raw.get("swatch_pixel") == PATCH, "the swatch following the pointer", timeout=10)
        finally:
            self.t.release_over_other_window()
        self.done["eyedropper drag"] += 1
        self.value = int(PATCH, 16)
        self.shows("the picked colour the value", extra=lambda s: s.gui.get("capture") == "0")
        # Back into the window before the keyboard, as a hand comes back from the other window.
        self.t.click(*self.t.background(s))
        self.t.park_mouse()

    def dialogs(self, s):
        self.t.open_settings()
        self.t.key("Home", "shift+End")
        self.t.type(str(self.rng.randint(2, 99)))
        self.t.key("alt+t", "alt+o", "alt+s")
        self.t.key("Escape")
        self.t.wait(lambda s: not s.dialog("Settings") and s.main["enabled"], "Settings cancelled", timeout=10)
        self.done["Settings opened, changed and cancelled"] += 1

        self.t.system_menu("End", "Return")
        self.t.wait(lambda s: s.dialog("About Quendrix") and not s.main["enabled"], "the About box", timeout=10)
        self.t.key("Return")
        self.t.wait(lambda s: not s.dialog("About Quendrix") and s.main["enabled"], "the About box closed", timeout=10)
        self.done["About box"] += 1

        self.t.click(*s.centre(COLOR), repeat=2)
        self.t.wait(lambda s: colour_dialog(s) and not s.main["enabled"], "the colour dialog open", timeout=15)
        self.t.key("Escape")
        self.value &= 0xFFFFFF  # the double-click and the cancelled dialog both report the swatch's colour
        self.shows("the colour dialog cancelled", extra=lambda s: not colour_dialog(s) and s.main["enabled"])
        self.done["colour dialog opened and cancelled"] += 1
        self.t.park_mouse()

    def round(self, patch):
        s = self.t.state()
        self.typing()
        self.stepping(s)
        self.switches()
        self.clipboard(s)
        self.eyedropper(s, patch)
        self.dialogs(s)

    def measure(self, when):
        """The working set and live objects with the window idle, as at the start of a round."""
        self.t.park_mouse()
        self.t.wait(lambda s: s.main["enabled"] and not s.tooltips() and s.no_menu() and not s.of_program("#32770")
                    and s.gui.get("capture") == "0", "the window idle, nothing else open", timeout=10)
        # Asked twice: the first count brings the counter's own code and data into memory.
        for _ in range(2):
            got = self.t.suite.probe.ask("objects", timeout=60)
            if "error" in got:
                raise Failure(f"{when}: {got['error']}")
            missing = {"working_set", "gdi", "user", "windows", "menus"} - got.keys()
            if missing:
                raise Failure(f"{when}: the probe did not count {', '.join(sorted(missing))}")
        print(f"{when} ({self.actions} actions): working set {got['working_set'] / MIB:.2f} MiB, "
              f"GDI objects {got['gdi']}, USER objects {got['user']} ({got['windows']} windows, {got['menus']} menus)",
              flush=True)
        return got


def main():
    args = suite.arguments(__doc__, [
        ("--actions", {"type": int, "default": 20000, "help": "at least this many actions (20000)"}),
        ("--warmup", {"type": int, "default": 1000, "help": "actions before the first measurement (1000)"}),
        ("--seed", {"type": int, "default": 20}),
    ])
    suite.in_session(args)
    started = time.monotonic()
    harness = Suite(args)
    t = Run(harness, "soak")
    soak = None
    ok = False
    try:
        t.start()
        patch = t.start_patch(PATCH, 40, 40, 160, 100)
        soak = Soak(t, random.Random(args.seed))
        while soak.actions < min(args.warmup, args.actions // 2):
            soak.round(patch)
        warm = soak.measure("after the warm-up")
        reported = soak.actions
        while soak.actions < args.actions:
            soak.round(patch)
            if soak.actions - reported >= 1000:
                reported = soak.actions
                ws = harness.probe.ask("objects").get("working_set", 0)
                print(f"  {soak.actions} actions, {time.monotonic() - started:.0f} s, working set {ws / MIB:.2f} MiB",
                      flush=True)
        end = soak.measure("at the end")

        # Still answering: one more edit lands, then Escape ends the process with 0.
        t.replace(HEX, "C0FFEE")
        t.key("Tab")
        t.fields({HEX: "C0FFEE", DEC: "12648430"}, "the program still answering after the soak", focus=TEXT)
        t.end()
        code = t.proc.returncode

        print(f"{soak.actions} actions in {time.monotonic() - started:.0f} s:")
        for kind, n in sorted(soak.done.items()):
            print(f"  {n:6d}  {kind}")
        growth = end["working_set"] - warm["working_set"]
        print(f"working set: {warm['working_set'] / MIB:.2f} -> {end['working_set'] / MIB:.2f} MiB "
              f"({growth / MIB:+.2f} MiB, under 1 MiB required)")
        print(f"GDI objects: {warm['gdi']} -> {end['gdi']}; USER objects: {warm['user']} -> {end['user']}")
        print(f"Escape ended the program with exit code {code}")
        problems = []
        if growth >= MIB:
            problems.append("the working set grew by 1 MiB or more")
        if end["gdi"] > warm["gdi"] or end["user"] > warm["user"]:
            problems.append("the program holds more GDI or USER objects than after the warm-up")
        if code != 0:
            problems.append(f"the exit code was {code}, not 0")
        for p in problems:
            print(f"FAIL: {p}")
        ok = not problems
    except Failure as e:
        print(f"FAIL after {soak.actions if soak else 0} actions: {e}\n"
              f"  screenshot: {harness.screenshot('soak')}", flush=True)
    finally:
        t.kill()
        harness.close()
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
