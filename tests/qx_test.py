#!/usr/bin/env python3
"""qx as a process: arguments and standard input in; standard output, standard error and exit
status out. The renderings are the engine's and are tested there; these rows test what the
command adds: which field reads a value, options, refusals, the code page, the layouts.

    qx_test.py COMMAND...            every row, COMMAND being the native qx
    qx_test.py --windows COMMAND...  the rows marked W, COMMAND running qx.exe under Wine
"""
import os
import pty
import re
import subprocess
import sys

USAGE = "Usage: qx [OPTION]... [VALUE]...\nTry 'qx --help' for more information.\n"
BLOCK = ("Dec   1094861636\nHex   41424344\nText  ABCD\nIP    65.66.67.68\n"
         "Bin   01000001 01000010 01000011 01000100\nColor #424344")
JSON_ABCD = ('{"input": "ABCD", "dec": "1094861636", "hex": "41424344", "text": "ABCD", '
             '"ip": "65.66.67.68", "bin": "01000001 01000010 01000011 01000100", "color": "#424344"}\n')
ONES = "1" * 64
COUNT = "".join(f"{i}\n" for i in range(0, 2_100_000, 7))  # over 1 MiB: the input buffer refills

W, TTY, NO_COLOR, DUMB = "W", "tty", "no-colour", "TERM=dumb"
FULL, MERGED, STALLED = "stdout /dev/full", "stderr into stdout", "stdin stalls"

# what, arguments, standard input, standard output, standard error, exit status, marks
ROWS = [
    ("the window's block", ["0x41424344"], "", BLOCK + "\n", "", 0, [W]),
    ("a blank line between blocks", ["-t", "ABCD", "ABCD"], "", BLOCK + "\n\n" + BLOCK + "\n", "", 0, []),
    ("the colour block on a terminal", ["0x41424344"], "",
     BLOCK + "  \x1b[48;2;66;67;68m      \x1b[0m\n", "", 0, [TTY]),
    ("NO_COLOR leaves it out", ["0x41424344"], "", BLOCK + "\n", "", 0, [TTY, NO_COLOR]),

    ("each field by its option",
     ["--field", "dec", "-d", "65", "--dec", "+65", "-x", "41", "--hex", "0x41", "-t", "A", "--text", "A",
      "-i", "0.0.0.65", "--ip", "0,0,0,65", "-b", "0100 0001", "--bin", "1000001"], "", "65\n" * 10, "", 0, []),
    ("the field by the form",
     ["--field", "dec", "65", " 0x41", "0X41", "-0x1", "0b1000001", "0B 0100 0001", "-0b1", "0.0.0.65",
      " 1.2.3.4", "-1"], "", "65\n65\n65\n-1\n65\n65\n-1\n65\n16909060\n-1\n", "", 0, [W]),
    ("a field option holds for the values after it", ["--field", "hex", "10", "-d", "10", "-x", "10"], "",
     "A\nA\n10\n", "", 0, []),
    ("-- ends the options", ["--field", "hex", "-t", "--", "-x", "--json"], "", "2D78\n6A736F6E\n", "", 0, []),

    ("signed at width 4 by default", ["--field", "dec", "0xFFFFFFFF"], "", "-1\n", "", 0, []),
    ("--unsigned", ["--field", "dec", "--unsigned", "0xFFFFFFFF"], "", "4294967295\n", "", 0, []),
    ("--width 2", ["--field", "dec", "--width", "2", "0x1234ABCD"], "", "-21555\n", "", 0, []),
    ("--width=1 unsigned", ["--field", "dec", "--width=1", "--unsigned", "0x1234ABCD"], "", "205\n", "", 0, []),
    ("--char, --word, --long: the last one counts", ["--field", "hex", "--char", "--word", "0x1234ABCD"], "",
     "ABCD\n", "", 0, []),
    ("--long after --char", ["--field", "hex", "--char", "--long", "0x1234ABCD"], "", "1234ABCD\n", "", 0, []),
    ("the last of --signed and --unsigned", ["--field", "dec", "--char", "--signed", "--unsigned", "--signed",
                                             "0xFF"], "", "-1\n", "", 0, []),
    ("the colour is the whole value's", ["--char", "--field", "color", "0x41424344"], "", "#424344\n", "", 0, []),

    ("refusals among good values",
     ["--field", "dec", "1", "xyz", "0x", "0b", "-0b102", "-x", "xyz", "2", "-t", "\u2603", "\u0080", "-d", "3"], "",
     "1\n2\n3\n",
     'qx: Dec cannot read "xyz"\nqx: Hex cannot read "0x"\nqx: Bin cannot read "0b"\n'
     'qx: Bin cannot read "-0b102"\nqx: Hex cannot read "xyz"\nqx: Text cannot read "\u2603"\n'
     'qx: Text cannot read "\\xC2\\x80"\n', 1, []),
    ("a refusal under Wine", ["--field", "dec", "1", "xyz", "2"], "", "1\n2\n", 'qx: Dec cannot read "xyz"\n', 1,
     [W]),
    ("a refused text shown escaped and cut", ["-b", "1\t\"\\" + ONES], "", "",
     'qx: Bin cannot read "1\\x09\\"\\\\' + ONES[:60] + '..."\n', 1, []),

    ("values from standard input; blank lines skipped", ["--field", "dec"], "1\n\n \t\n0x10\r\n-t\n2", "1\n16\n2\n",
     'qx: Dec cannot read "-t"\n', 1, [W]),
    ("a field option holds for standard input", ["-x", "--field", "dec"], "ff\n10\n", "255\n16\n", "", 0, []),
    ("a line holding NUL is refused", ["--field", "dec"], "1\n2\x003\n4\n", "1\n4\n",
     'qx: Dec cannot read "2\\x003"\n', 1, []),
    ("a line of a mebibyte is refused, the next still read", ["-b", "--field", "dec"],
     "1" * (1 << 20) + "\n101\n", "5\n", f'qx: Bin cannot read "{ONES}..."\n', 1, []),
    ("many lines, through every buffer", ["--field", "dec"], COUNT, COUNT, "", 0, []),

    ("Windows-1252 in", ["--field", "hex", "-t", "\u20ac\u0160\u0178", "\u0081", "\u00e9"], "",
     "808A9F\n81\nE9\n", "", 0, []),
    ("Windows-1252 in from standard input", ["-t", "--field", "hex"], "\u20ac\u0178\r\n\u00ff\n", "809F\nFF\n",
     "", 0, [W]),
    ("Windows-1252 out; controls and the backslash escaped",
     ["--field", "text", "0x80", "0x8A9F", "0x81", "0xE9", "0x41094243", "0x5C", "0x7F"], "",
     "\u20ac\n\u0160\u0178\n\\x81\n\u00e9\nA\\x09BC\n\\\\\n\\x7F\n", "", 0, [W]),

    ("--json", ["--json", "-t", "ABCD"], "", JSON_ABCD, "", 0, [W]),
    ("--json escapes as JSON needs", ["--json", "-t", "\u0081", '"\n\\'], "",
     '{"input": "\\u0081", "dec": "129", "hex": "81", "text": "\\u0081", "ip": "0.0.0.129", "bin": "10000001", '
     '"color": "#000081"}\n'
     '{"input": "\\"\\n\\\\", "dec": "2230876", "hex": "220A5C", "text": "\\"\\n\\\\", "ip": "0.34.10.92", '
     '"bin": "00100010 00001010 01011100", "color": "#220A5C"}\n', "", 0, []),
    ("--json: an error object in place of the value", ["--json", "-t", "\u2603", '"\\', "-x", "q"], "",
     '{"input": "\u2603", "error": "Text cannot read \\"\u2603\\""}\n'
     '{"input": "\\"\\\\", "dec": "8796", "hex": "225C", "text": "\\"\\\\", "ip": "0.0.34.92", '
     '"bin": "00100010 01011100", "color": "#00225C"}\n'
     '{"input": "q", "error": "Hex cannot read \\"q\\""}\n', "", 1, [W]),

    ("--field ip", ["--field", "ip", "0x41424344"], "", "65.66.67.68\n", "", 0, []),
    ("--field bin", ["--field=bin", "5"], "", "0101\n", "", 0, []),

    ("an unknown option, before any output", ["5", "--bogus"], "", "", "qx: unknown option '--bogus'\n" + USAGE, 2,
     [W]),
    ("short options do not combine", ["-xt"], "", "", "qx: unknown option '-xt'\n" + USAGE, 2, []),
    ("a lone dash", ["-"], "", "", "qx: unknown option '-'\n" + USAGE, 2, []),
    ("a width that is none", ["--width", "3"], "", "", "qx: --width takes 1, 2 or 4, not '3'\n" + USAGE, 2, []),
    ("--width without one", ["--width"], "", "", "qx: --width needs 1, 2 or 4\n" + USAGE, 2, []),
    ("a field that is none", ["--field", "rgb"], "", "",
     "qx: --field takes dec, hex, text, ip, bin or color, not 'rgb'\n" + USAGE, 2, []),
    ("--json with --field", ["--json", "--field", "dec"], "", "",
     "qx: --json and --field cannot go together\n" + USAGE, 2, []),
    ("an empty or blank value is refused; a space is Text", ["--field", "hex", "", "-x", "", "-t", "", "-b", " ", "-t",
                                                             " "], "", "20\n",
     'qx: Dec cannot read ""\nqx: Hex cannot read ""\nqx: Text cannot read ""\nqx: Bin cannot read " "\n', 1, [W]),
    ("IP by form only for four groups of digits",
     ["--field", "dec", "www.example.co.uk", "1.2.3.4/24", "1.2.3.4.5", "0.0.0.65"], "", "65\n",
     'qx: Dec cannot read "www.example.co.uk"\nqx: Dec cannot read "1.2.3.4/24"\n'
     'qx: Dec cannot read "1.2.3.4.5"\n', 1, [W]),
    ("a message in its turn in one file", ["--field", "dec", "1", "x", "2"], "",
     '1\nqx: Dec cannot read "x"\n2\n', "", 1, [MERGED, W]),
    ("a read error named by its own cause", ["--field", "dec"], "1\n", "",
     "qx: cannot read standard input: Resource temporarily unavailable\n"
     "qx: cannot write the output: No space left on device\n", 1, [STALLED, FULL]),
    ("--help that cannot be written says why", ["--help"], "", "",
     "qx: cannot write the output: No space left on device\n", 1, [FULL]),
    ("invisible and direction-changing characters escaped",
     ["--field", "text", "\ufeff1", "\u202eA", "-t", "A\u00a0\u00adB"], "", "A\\xA0\\xADB\n",
     'qx: Dec cannot read "\\xEF\\xBB\\xBF1"\nqx: Dec cannot read "\\xE2\\x80\\xAEA"\n', 1, [W]),
    ("no colour block for a dumb terminal", ["0x41424344"], "", BLOCK + "\n", "", 0, [TTY, DUMB]),
    ("the limit counts a line without its CR", ["--field", "dec"], "0" * ((1 << 20) - 2) + "7\r\n", "7\n", "", 0, []),

    ("--help", ["--help", "--bogus"], "", re.compile(r"Usage: qx \[OPTION\]\.\.\. \[VALUE\]\.\.\.\n(.*\n)+"), "",
     0, []),
    ("--version", ["--version"], "", re.compile(r"qx \(Quendrix\) \d+\.\d+\.\d+\.\d+\n"), "", 0, [W]),
]


def run(command, args, stdin, marks):
    env = dict(os.environ)
    env.pop("NO_COLOR", None)
    if NO_COLOR in marks:
        env["NO_COLOR"] = "1"
    if TTY not in marks:
        streams = {"stdout": open("/dev/full", "wb") if FULL in marks else subprocess.PIPE,
                   "stderr": subprocess.STDOUT if MERGED in marks else subprocess.PIPE}
        if STALLED in marks:
            # A pipe whose writer stays open, read without waiting: after stdin, reading fails.
            reader, writer = os.pipe()
            os.write(writer, stdin.encode())
            os.set_blocking(reader, False)
            p = subprocess.run(command + args, stdin=reader, env=env, timeout=120, **streams)
            os.close(reader)
            os.close(writer)
        else:
            p = subprocess.run(command + args, input=stdin.encode(), env=env, timeout=120, **streams)
        decode = lambda b: (b or b"").decode(errors="backslashreplace")
        return decode(p.stdout), decode(p.stderr), p.returncode
    # Standard output on a terminal; the terminal turns each line end into CR LF.
    env["TERM"] = "dumb" if DUMB in marks else "xterm"
    main, side = pty.openpty()
    p = subprocess.Popen(command + args, stdin=subprocess.DEVNULL, stdout=side, stderr=subprocess.PIPE, env=env)
    os.close(side)
    out = b""
    while True:
        try:
            chunk = os.read(main, 4096)
        except OSError:  # the terminal is gone with its last writer
            break
        if not chunk:
            break
        out += chunk
    os.close(main)
    err = p.stderr.read()
    p.wait(timeout=120)
    return out.decode().replace("\r\n", "\n"), err.decode(), p.returncode


def matches(expected, actual):
    if expected is None:
        return True
    if isinstance(expected, re.Pattern):
        return expected.fullmatch(actual) is not None
    return expected == actual


def main():
    windows = sys.argv[1] == "--windows"
    command = sys.argv[2:] if windows else sys.argv[1:]
    passed = failed = 0
    for what, args, stdin, out, err, status, marks in ROWS:
        if windows and W not in marks:
            continue
        actual = run(command, args, stdin, marks)
        if matches(out, actual[0]) and matches(err, actual[1]) and status == actual[2]:
            passed += 1
            continue
        failed += 1
        print(f"FAIL: {what}: qx {args!r}")
        for name, e, a in zip(("stdout", "stderr", "status"), (out, err, status), actual):
            if not matches(e, a):
                print(f"  {name}: expected {str(e)[:300]!r}\n  {' ' * len(name)}  got      {str(a)[:300]!r}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
