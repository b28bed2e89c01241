#!/usr/bin/env python3
"""The resource script's string table as a C++ header, for the front-ends built without it.

    string_table.py OUT.h

Each STRINGTABLE entry of res/Quendrix.rc (a tooltip carries the name of its control, IDC_...)
becomes kStrings' row {"NAME", "text"}, in the script's order; the maker's notice is kNotice.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent


def string_table():
    """The STRINGTABLE entries of the resource script, by their names, quotes undoubled."""
    rc = (ROOT / "res" / "Quendrix.rc").read_text(encoding="ascii")
    table = re.search(r"^STRINGTABLE\s*\nBEGIN\n(.*?)^END", rc, re.M | re.S)
    if not table:
        sys.exit("string_table.py: no STRINGTABLE in res/Quendrix.rc")
    entries = re.findall(r'^\s*(\w+)\s+"((?:[^"]|"")*)"', table.group(1), re.M)
    return {name: text.replace('""', '"') for name, text in entries}


def notice():
    """The maker's notice the About box and the version resource show."""
    rc = (ROOT / "res" / "Quendrix.rc").read_text(encoding="ascii")
    found = re.search(r'^#define QUENDRIX_NOTICE "([^"]*)"', rc, re.M)
    if not found:
        sys.exit("string_table.py: no QUENDRIX_NOTICE in res/Quendrix.rc")
    return found.group(1)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[2].strip())
    rows = "".join(
        '    {"%s", "%s"},\n' % (name, text.replace("\\", "\\\\").replace('"', '\\"'))
        for name, text in string_table().items())
    header = ("// Made by scripts/string_table.py from res/Quendrix.rc's string table; do not edit.\n"
              "#pragma once\n\n"
              "struct StringEntry {\n    const char* name;\n    const char* text;\n};\n\n"
              "inline constexpr StringEntry kStrings[] = {\n" + rows + "};\n\n"
              'inline constexpr char kNotice[] = "%s";\n' % notice())
    out = pathlib.Path(sys.argv[1])
    if not out.exists() or out.read_text() != header:
        out.write_text(header)


if __name__ == "__main__":
    main()
