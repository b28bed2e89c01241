#!/usr/bin/env python3
"""Puts the page together in one folder, ready to serve.

    assemble.py --wasm quendrix.wasm --out build/web

The tooltips come from the window's string table (res/Quendrix.rc): a data-tip naming a control
(IDC_...) gets that control's text. The icons are drawn from the window's icon art. The service
worker gets the list of files and a version taken from their contents.
"""
import argparse
import hashlib
import html
import pathlib
import re
import shutil
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
WEB = ROOT / "web"
sys.path.insert(0, str(ROOT / "scripts"))
import make_images  # noqa: E402  (the icon art's reader)

COPIED = ["quendrix.css", "quendrix.js", "manifest.webmanifest"]
ICONS = {"icon32.png": 32, "icon192.png": 192, "icon512.png": 512}


def string_table():
    """The STRINGTABLE entries of the resource script, by their names."""
    rc = (ROOT / "res" / "Quendrix.rc").read_text(encoding="ascii")
    table = re.search(r"^STRINGTABLE\s*\nBEGIN\n(.*?)^END", rc, re.M | re.S)
    if not table:
        sys.exit("assemble.py: no STRINGTABLE in res/Quendrix.rc")
    return dict(re.findall(r'^\s*(\w+)\s+"((?:[^"]|"")*)"', table.group(1), re.M))


def page(strings):
    text = (WEB / "index.html").read_text(encoding="utf-8")

    def tip(match):
        name = match.group(1)
        if name not in strings:
            sys.exit(f"assemble.py: index.html names {name}, which has no string in res/Quendrix.rc")
        return f'data-tip="{html.escape(strings[name].replace(chr(34) * 2, chr(34)))}"'

    return re.sub(r'data-tip="(IDC_\w+)"', tip, text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--wasm", required=True, type=pathlib.Path)
    parser.add_argument("--out", required=True, type=pathlib.Path)
    args = parser.parse_args()

    out = args.out
    if out.exists():
        shutil.rmtree(out)
    out.mkdir(parents=True)
    (out / "index.html").write_text(page(string_table()), encoding="utf-8")
    for name in COPIED:
        shutil.copyfile(WEB / name, out / name)
    shutil.copyfile(args.wasm, out / "quendrix.wasm")
    for name, size in ICONS.items():
        (out / name).write_bytes(make_images.make_png("icon32.txt", 32, size, deflate=True))

    files = sorted(p.name for p in out.iterdir())
    digest = hashlib.sha256()
    for name in files:
        digest.update(name.encode() + b"\0" + (out / name).read_bytes())
    worker = (WEB / "sw.js").read_text(encoding="utf-8")
    worker = worker.replace("@VERSION@", digest.hexdigest()[:16])
    worker = worker.replace("@FILES@", ", ".join(f"'{name}'" for name in ["./"] + files))
    (out / "sw.js").write_text(worker, encoding="utf-8")


if __name__ == "__main__":
    main()
