#!/usr/bin/env python3
"""Puts the page together in one folder, ready to serve.

    assemble.py --wasm quendrix.wasm --out build/web

The tooltips come from the window's string table (res/Quendrix.rc): a data-tip naming a control
(IDC_...) gets that control's text. The icons come from the window's icon art: the pixels at 32,
the shapes drawn smooth at the larger sizes and for the maskable icon. The page and
the service worker get a version: the resource's, and a build drawn from the files' contents; the
worker also gets the list of files. Beside them go the headers for common static servers: the
page's own policy, and what only a header can say.
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
from string_table import string_table  # noqa: E402  (the resource script's strings)

COPIED = ["quendrix.css", "quendrix.js", "manifest.webmanifest"]
ICONS = {
    "icon32.png": lambda: make_images.make_png("icon32.txt", 32, 32, deflate=True),
    "icon192.png": lambda: make_images.make_drawn_png(192),
    "icon512.png": lambda: make_images.make_drawn_png(512),
    "icon-maskable.png": lambda: make_images.make_drawn_png(512, maskable=True),
}

# Sent with every file. The names carry no version, so each use asks the server whether a file
# changed; the service worker keeps the copy that works offline.
HEADERS = [("X-Content-Type-Options", "nosniff"), ("Cache-Control", "no-cache"), ("Referrer-Policy", "no-referrer")]
# Each for its server, and none of them part of the page.
SERVER_FILES = {
    "_headers": "# For static hosts that read a _headers file.\n/*\n{lines}",
    "nginx.conf": "# For nginx: include inside the location that serves this folder.\n{lines}",
    ".htaccess": "# For Apache with mod_headers, where AllowOverride lets the folder say it.\n"
                 "AddType application/wasm .wasm\nAddType application/manifest+json .webmanifest\n"
                 "<IfModule mod_headers.c>\n{lines}</IfModule>\n",
}
HEADER_LINE = {"_headers": '  {0}: {1}', "nginx.conf": "add_header {0} \"{1}\" always;",
               ".htaccess": '  Header always set {0} "{1}"'}


def page(strings):
    text = (WEB / "index.html").read_text(encoding="utf-8")

    def tip(match):
        name = match.group(1)
        if name not in strings:
            sys.exit(f"assemble.py: index.html names {name}, which has no string in res/Quendrix.rc")
        return f'data-tip="{html.escape(strings[name])}"'

    return re.sub(r'data-tip="(IDC_\w+)"', tip, text)


def resource_version():
    rc = (ROOT / "res" / "Quendrix.rc").read_text(encoding="ascii")
    found = re.search(r"^FILEVERSION\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", rc, re.M)
    if not found:
        sys.exit("assemble.py: no FILEVERSION in res/Quendrix.rc")
    return ".".join(found.groups())


def write_server_files(out, page_text):
    """The page's meta policy as a header, with framing forbidden, which only a header can do."""
    policy = re.search(r'http-equiv="Content-Security-Policy" content="([^"]*)"', page_text).group(1)
    headers = [("Content-Security-Policy", policy + "; frame-ancestors 'none'")] + HEADERS
    for name, template in SERVER_FILES.items():
        lines = "".join(HEADER_LINE[name].format(*header) + "\n" for header in headers)
        (out / name).write_text(template.format(lines=lines), encoding="utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--wasm", required=True, type=pathlib.Path)
    parser.add_argument("--out", required=True, type=pathlib.Path)
    args = parser.parse_args()

    out = args.out
    if out.exists():
        shutil.rmtree(out)
    out.mkdir(parents=True)
    page_text = page(string_table())
    (out / "index.html").write_text(page_text, encoding="utf-8")
    for name in COPIED:
        shutil.copyfile(WEB / name, out / name)
    shutil.copyfile(args.wasm, out / "quendrix.wasm")
    for name, make in ICONS.items():
        (out / name).write_bytes(make())

    files = sorted(p.name for p in out.iterdir())
    digest = hashlib.sha256()
    for name in files:
        digest.update(name.encode() + b"\0" + (out / name).read_bytes())
    version = f"{resource_version()} (build {digest.hexdigest()[:16]})"
    (out / "index.html").write_text(page_text.replace("@VERSION@", version), encoding="utf-8")
    worker = (WEB / "sw.js").read_text(encoding="utf-8")
    worker = worker.replace("@VERSION@", version)
    worker = worker.replace("@FILES@", ", ".join(f"'{name}'" for name in ["./"] + files))
    (out / "sw.js").write_text(worker, encoding="utf-8")
    write_server_files(out, page_text)


if __name__ == "__main__":
    main()
