#!/usr/bin/env python3
"""Serves the built page on this machine only, with the headers it ships for static hosts.

    serve-web.py DIR PORT

Every file goes out with the headers of DIR/_headers (its "/*" block: the policy, nosniff, the
Cache-Control the update scheme wants), as a host that reads that file would send them.
"""
import functools
import http.server
import pathlib
import re
import sys


def shipped_headers(folder):
    path = folder / "_headers"
    text = path.read_text(encoding="utf-8") if path.exists() else ""
    return re.findall(r"^ +([\w-]+): (.*)$", text, re.M)


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".webmanifest": "application/manifest+json",
                      ".js": "text/javascript"}

    def end_headers(self):
        for name, value in self.server.shipped:
            self.send_header(name, value)
        super().end_headers()

    def log_message(self, *args):
        pass


def main():
    folder, port = pathlib.Path(sys.argv[1]), int(sys.argv[2])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Handler, directory=str(folder)))
    server.shipped = shipped_headers(folder)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
