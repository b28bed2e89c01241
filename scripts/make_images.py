#!/usr/bin/env python3
"""Builds the program's images from their pixel-art sources in res/art/.

    make_images.py            write res/Quendrix.ico, res/picker.cur, res/disabled.bmp and the
                              desktop's icons res/icon16.png ... res/icon256.png and the
                              scalable res/icon.svg
    make_images.py --check    build them in a temporary directory and fail unless the
                              committed files are byte-identical

An art file has comment lines (#), legend lines "C = colour" mapping one character to a
colour, property lines "name = value", and then one row of characters per pixel row, top row
first.
"""
import argparse
import filecmp
import math
import pathlib
import struct
import sys
import tempfile
import zlib

RES = pathlib.Path(__file__).resolve().parent.parent / "res"
ART = RES / "art"

# The standard 16-colour palette, in palette order, as (red, green, blue)
PALETTE16 = {
    "black": (0x00, 0x00, 0x00), "maroon": (0x80, 0x00, 0x00),
    "green": (0x00, 0x80, 0x00), "olive": (0x80, 0x80, 0x00),
    "navy": (0x00, 0x00, 0x80), "purple": (0x80, 0x00, 0x80),
    "teal": (0x00, 0x80, 0x80), "silver": (0xC0, 0xC0, 0xC0),
    "grey": (0x80, 0x80, 0x80), "red": (0xFF, 0x00, 0x00),
    "lime": (0x00, 0xFF, 0x00), "yellow": (0xFF, 0xFF, 0x00),
    "blue": (0x00, 0x00, 0xFF), "fuchsia": (0xFF, 0x00, 0xFF),
    "aqua": (0x00, 0xFF, 0xFF), "white": (0xFF, 0xFF, 0xFF),
}
PALETTE16_ORDER = list(PALETTE16)
# Two-colour images (cursor, pattern bitmap): entry 0 black, entry 1 white
PALETTE2_ORDER = ["black", "white"]
TRANSPARENT = "transparent"


class ArtError(Exception):
    pass


class Art:
    """A parsed art file: rows of colour names (or TRANSPARENT) and its properties."""

    def __init__(self, path, colours, width, height):
        self.path = path
        legend, props, rows = {}, {}, []
        for number, raw in enumerate(path.read_text(encoding="ascii").splitlines(), 1):
            line = raw.rstrip()
            if not line or line.startswith("#"):
                continue
            key, sep, value = line.partition(" = ")
            if sep and len(key) == 1 and not rows:
                if value not in colours:
                    raise ArtError(f"{path}:{number}: colour {value!r} not allowed here")
                legend[key] = value
            elif sep and not rows:
                props[key] = value
            else:
                if len(line) != width:
                    raise ArtError(f"{path}:{number}: row is {len(line)} pixels, expected {width}")
                unknown = set(line) - set(legend)
                if unknown:
                    raise ArtError(f"{path}:{number}: characters {sorted(unknown)} not in the legend")
                rows.append([legend[c] for c in line])
        if len(rows) != height:
            raise ArtError(f"{path}: {len(rows)} rows, expected {height}")
        self.rows, self.props = rows, props

    def point(self, name):
        try:
            x, y = (int(v) for v in self.props[name].split(","))
        except (KeyError, ValueError):
            raise ArtError(f"{self.path}: needs a property '{name} = x, y'") from None
        return x, y


def pack_rows(rows, bpp, index):
    """Bottom-up DIB rows, each padded to a multiple of four bytes."""
    out = bytearray()
    for row in reversed(rows):
        bits = 0
        for pixel in row:
            bits = (bits << bpp) | index(pixel)
        nbits = len(row) * bpp
        nbytes = (nbits + 31) // 32 * 4
        out += (bits << (nbytes * 8 - nbits)).to_bytes(nbytes, "big")
    return bytes(out)


def rgbquads(names):
    return b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in (PALETTE16[n] for n in names))


def info_header(width, height, bpp, image_size, colours_used):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, image_size, 0, 0, colours_used, 0)


def icon_image(art, bpp, order):
    """Header, palette, colour bits and AND mask of one icon or cursor image. Transparent
    pixels have mask 1 and colour index 0, so they leave the screen unchanged."""
    height, width = len(art.rows), len(art.rows[0])
    xor = pack_rows(art.rows, bpp, lambda p: 0 if p == TRANSPARENT else order.index(p))
    mask = pack_rows(art.rows, 1, lambda p: 1 if p == TRANSPARENT else 0)
    # The height counts the colour bits and the mask together.
    return info_header(width, 2 * height, bpp, len(xor) + len(mask), 0) + rgbquads(order) + xor + mask


def icon_file(kind, entries):
    """An .ico (kind 1) or .cur (kind 2) file; entries are (width, height, colours, field1,
    field2, image): planes and bit count for icons, the hot spot for cursors."""
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    for width, height, colours, field1, field2, image in entries:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, field1, field2, len(image), offset)
        offset += len(image)
    return out + b"".join(entry[-1] for entry in entries)


def make_icon():
    colours = set(PALETTE16) | {TRANSPARENT}
    entries = []
    for name, size in (("icon32.txt", 32), ("icon16.txt", 16)):
        art = Art(ART / name, colours, size, size)
        entries.append((size, size, 16, 1, 4, icon_image(art, 4, PALETTE16_ORDER)))
    return icon_file(1, entries)


def make_cursor():
    art = Art(ART / "picker.txt", set(PALETTE2_ORDER) | {TRANSPARENT}, 32, 32)
    x, y = art.point("hotspot")
    if not (0 <= x < 32 and 0 <= y < 32):
        raise ArtError(f"{art.path}: hot spot outside the image")
    return icon_file(2, [(32, 32, 2, x, y, icon_image(art, 1, PALETTE2_ORDER))])


def make_bitmap():
    art = Art(ART / "disabled.txt", set(PALETTE2_ORDER), 8, 8)
    bits = pack_rows(art.rows, 1, PALETTE2_ORDER.index)
    dib = info_header(8, 8, 1, len(bits), 2) + rgbquads(PALETTE2_ORDER) + bits
    return struct.pack("<2sIHHI", b"BM", 14 + len(dib), 0, 0, 14 + 40 + 8) + dib


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def stored_zlib(data):
    """A zlib stream of stored (uncompressed) blocks: the same bytes from every zlib build,
    which the byte-for-byte check needs; the icons are a few kilobytes either way."""
    out = bytearray(b"\x78\x01")
    for start in range(0, len(data), 65535):
        block = data[start:start + 65535]
        final = start + 65535 >= len(data)
        out += struct.pack("<BHH", final, len(block), len(block) ^ 0xFFFF) + block
    return bytes(out + struct.pack(">I", zlib.adler32(data)))


def png_image(rows, deflate=False):
    """An 8-bit indexed PNG: entry 0 transparent, then the 16-colour palette. Compressed only
    when asked: the page's large icons, which are built, not committed."""
    order = [TRANSPARENT] + PALETTE16_ORDER
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(order.index(p) for p in row) for row in rows)  # filter 0 a row
    palette = b"".join(bytes(PALETTE16.get(name, (0, 0, 0))) for name in order)
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0))
            + png_chunk(b"PLTE", palette) + png_chunk(b"tRNS", b"\0")
            + png_chunk(b"IDAT", zlib.compress(raw, 9) if deflate else stored_zlib(raw))
            + png_chunk(b"IEND", b""))


def png_rgba(pixels, size):
    """A compressed 8-bit RGBA PNG of size x size pixels, `pixels` its rows of RGBA bytes."""
    raw = b"".join(b"\0" + row for row in pixels)  # filter 0 a row
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


# ---- the icon as shapes (res/art/icon.txt): signed distances in the art's units, each pixel
# covered by as much of a shape as lies within half a pixel of its edge.

def box_distance(x, y, x0, y0, x1, y1, radius):
    qx = abs(x - (x0 + x1) / 2) - (x1 - x0) / 2 + radius
    qy = abs(y - (y0 + y1) / 2) - (y1 - y0) / 2 + radius
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius


def line_distance(x, y, width, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / ((dx * dx + dy * dy) or 1)))
    return math.hypot(x - x0 - t * dx, y - y0 - t * dy) - width


def bowl_distance(x, y, width, cx, cy, radius):
    if x >= cx:
        return abs(math.hypot(x - cx, y - cy) - radius) - width
    return min(math.hypot(x - cx, y - cy - radius), math.hypot(x - cx, y - cy + radius)) - width


# kind: (distance, its bounds from its numbers, as x0 y0 x1 y1 in units)
SHAPES = {
    "box": (box_distance, lambda x0, y0, x1, y1, r: (x0, y0, x1, y1)),
    "line": (line_distance, lambda w, x0, y0, x1, y1: (min(x0, x1) - w, min(y0, y1) - w, max(x0, x1) + w, max(y0, y1) + w)),
    "bowl": (bowl_distance, lambda w, cx, cy, r: (cx - w, cy - r - w, cx + r + w, cy + r + w)),
}


def read_shapes(name):
    """The shapes of an art file in drawing order: (kind, colour, numbers), outlines included."""
    boxes, outlines, strokes, rest = [], [], [], []
    path = ART / name
    for number, raw in enumerate(path.read_text(encoding="ascii").splitlines(), 1):
        words = raw.split()
        if not words or words[0].startswith("#"):
            continue
        kind, colour, *numbers = words
        fill, _, outline = colour.partition("/")
        if kind not in SHAPES or fill not in PALETTE16 or (outline and outline not in PALETTE16):
            raise ArtError(f"{path}:{number}: unknown shape or colour")
        numbers = [float(n) for n in numbers]
        if outline:
            outlines.append((kind, outline, [numbers[0] + 1] + numbers[1:]))
        (strokes if kind != "box" else boxes if not strokes else rest).append((kind, fill, numbers))
    return boxes + outlines + strokes + rest


def draw_shapes(name, size, zoom=1.0, background=None):
    """The shapes at size x size pixels as RGBA rows. zoom < 1 draws them smaller about the
    block's centre on a background filling the whole square, as a maskable icon needs."""
    unit = size / 32 * zoom
    origin = 14.5 - size / 2 / unit if background else 0.0  # the art's point at pixel 0
    fill = (*PALETTE16[background], 1.0) if background else (0.0, 0.0, 0.0, 0.0)
    canvas = [[list(fill) for _ in range(size)] for _ in range(size)]  # premultiplied
    for kind, colour, numbers in read_shapes(name):
        distance, bounds = SHAPES[kind]
        x0, y0, x1, y1 = bounds(*numbers)
        # A box covers the pixels well inside it whole, without asking the distance.
        inset = numbers[4] + 1 / unit if kind == "box" else math.inf
        red, green, blue = PALETTE16[colour]
        for py in range(max(0, int((y0 - origin) * unit) - 1), min(size, int((y1 - origin) * unit) + 2)):
            y = origin + (py + 0.5) / unit
            row = canvas[py]
            inside_y = y0 + inset < y < y1 - inset
            for px in range(max(0, int((x0 - origin) * unit) - 1), min(size, int((x1 - origin) * unit) + 2)):
                x = origin + (px + 0.5) / unit
                if inside_y and x0 + inset < x < x1 - inset:
                    row[px] = [red, green, blue, 1.0]
                    continue
                cover = 0.5 - distance(x, y, *numbers) * unit
                if cover <= 0:
                    continue
                cover = min(cover, 1.0)
                pixel = row[px]
                keep = 1 - cover
                row[px] = [red * cover + pixel[0] * keep, green * cover + pixel[1] * keep,
                           blue * cover + pixel[2] * keep, cover + pixel[3] * keep]
    return [bytes(v for r, g, b, a in row
                  for v in ((round(r / a), round(g / a), round(b / a), round(a * 255)) if a else (0, 0, 0, 0)))
            for row in canvas]


def make_drawn_png(size, maskable=False):
    """The icon drawn at its size; maskable: on a navy square, the block within its safe circle."""
    return png_rgba(draw_shapes("icon.txt", size, 0.62 if maskable else 1.0, "navy" if maskable else None), size)


def make_png(art_name, art_size, size, deflate=False):
    """The desktop's icon of one size from the icon's art, each art pixel drawn as whole pixels
    (at 48 from 32: alternately two and one), so edges stay sharp."""
    art = Art(ART / art_name, set(PALETTE16) | {TRANSPARENT}, art_size, art_size)
    pick = [i * art_size // size for i in range(size)]
    return png_image([[art.rows[y][x] for x in pick] for y in pick], deflate)


def make_svg(art_name, art_size):
    """The icon's art as a scalable image: one path per colour, a rectangle per run of a row's
    pixels, drawn with crisp edges so that every size shows the pixel grid."""
    art = Art(ART / art_name, set(PALETTE16) | {TRANSPARENT}, art_size, art_size)
    runs = {}
    for y, row in enumerate(art.rows):
        x = 0
        while x < art_size:
            end = x
            while end < art_size and row[end] == row[x]:
                end += 1
            runs.setdefault(row[x], []).append(f"M{x} {y}h{end - x}v1h-{end - x}z")
            x = end
    paths = "".join(f'<path fill="#{bytes(PALETTE16[c]).hex()}" d="{"".join(d)}"/>\n'
                    for c, d in sorted(runs.items()) if c != TRANSPARENT)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 {art_size} {art_size}" '
            f'width="{art_size}" height="{art_size}" shape-rendering="crispEdges">\n{paths}</svg>\n').encode()


IMAGES = {
    "Quendrix.ico": make_icon, "picker.cur": make_cursor, "disabled.bmp": make_bitmap,
    "icon16.png": lambda: make_png("icon16.txt", 16, 16),
    "icon32.png": lambda: make_png("icon32.txt", 32, 32),
    "icon48.png": lambda: make_png("icon32.txt", 32, 48),
    # The smallest size software centres list an application with.
    "icon64.png": lambda: make_png("icon32.txt", 32, 64),
    # What docks and launchers at a high scale show.
    "icon128.png": lambda: make_png("icon32.txt", 32, 128),
    "icon256.png": lambda: make_png("icon32.txt", 32, 256),
    "icon.svg": lambda: make_svg("icon32.txt", 32),
}


def write_all(directory):
    for name, make in IMAGES.items():
        (directory / name).write_bytes(make())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="fail unless the committed images match their sources")
    args = parser.parse_args()
    try:
        if not args.check:
            write_all(RES)
            return 0
        with tempfile.TemporaryDirectory() as tmp:
            write_all(pathlib.Path(tmp))
            stale = [n for n in IMAGES
                     if not (RES / n).exists() or not filecmp.cmp(RES / n, pathlib.Path(tmp) / n, shallow=False)]
    except ArtError as error:
        print(f"make_images.py: {error}", file=sys.stderr)
        return 1
    for name in stale:
        print(f"res/{name} does not match its art; run scripts/make_images.py", file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
