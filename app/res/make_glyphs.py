#!/usr/bin/env python3
"""Writes the program's icon and button glyphs as 16-colour BMP and ICO files.

Run from anywhere: python3 app/res/make_glyphs.py  (the files land beside this script).
Glyph bitmaps are 32 x 16: the normal look in the left cell, the disabled look in the right, drawn from the pixel
pictures below. Each glyph is also written for 150 % and 200 % displays (NAME150.bmp, 48 x 24; NAME200.bmp,
64 x 32), drawn at that size from the glyph's shapes (SHAPES: polygons, bands, discs on the 16-unit grid of the
pixel picture), each pixel taking the colour of the shape its centre lies in, with a one-pixel black edge, so that
edges stay sharp and one pixel thin at every size.
The bottom-left pixel of a glyph holds its transparent colour (fuchsia).
"""
import math
import os
import struct

# The standard 16-colour palette, as (red, green, blue), with the letter each picture uses for it.
PALETTE = [
    ("k", (0x00, 0x00, 0x00)),  # black
    ("r", (0x80, 0x00, 0x00)),  # maroon
    ("g", (0x00, 0x80, 0x00)),  # green
    ("o", (0x80, 0x80, 0x00)),  # olive
    ("n", (0x00, 0x00, 0x80)),  # navy
    ("p", (0x80, 0x00, 0x80)),  # purple
    ("t", (0x00, 0x80, 0x80)),  # teal
    ("d", (0x80, 0x80, 0x80)),  # dark grey
    ("s", (0xC0, 0xC0, 0xC0)),  # silver
    ("R", (0xFF, 0x00, 0x00)),  # red
    ("G", (0x00, 0xFF, 0x00)),  # lime
    ("Y", (0xFF, 0xFF, 0x00)),  # yellow
    ("B", (0x00, 0x00, 0xFF)),  # blue
    (".", (0xFF, 0x00, 0xFF)),  # fuchsia: the transparent colour of the glyphs
    ("C", (0x00, 0xFF, 0xFF)),  # aqua
    ("w", (0xFF, 0xFF, 0xFF)),  # white
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}
TRANSPARENT = INDEX["."]

GLYPHS = {
    "fileopen": [
        "................",
        "................",
        ".kkkk...........",
        "kYwYYk..........",
        "kwYYYYkkkkkkk...",
        "kYYYYYYYYYYYk...",
        "kYYYYYYYYYYYk...",
        "kYYYYYYYYYYYk...",
        "kYYYkkkkkkkkkkkk",
        "kYYkoooooooooook",
        "kYYkoooooooooook",
        "kYkoooooooooook.",
        "kYkooooooooook..",
        "kkoooooooooook..",
        "kkkkkkkkkkkkkk..",
        "................",
    ],
    "insert": [
        "................",
        ".kkkkkkkk.......",
        ".kwwwwwwkk......",
        ".kwddddwkwk.....",
        ".kwwwwwwkkkk....",
        ".kwdddddddwk....",
        ".kwwwwwwwwwk....",
        ".kwdddddkkkk....",
        ".kwwwwwwkGGk....",
        ".kwddkkkkGGkkkk.",
        ".kwwwkGGGGGGGGk.",
        ".kwddkGGGGGGGGk.",
        ".kwwwkkkkGGkkkk.",
        ".kkkkkkkkGGk....",
        ".........kkk....",
        "................",
    ],
    "edit": [
        "............kk..",
        "...........kRRk.",
        "..........kRRRRk",
        ".........kwkRRk.",
        "........kYYwkk..",
        ".......kYYYYk...",
        "......kYYYYk....",
        ".....kYYYYk.....",
        "....kYYYYk......",
        "...kYYYYk.......",
        "..kwYYYk........",
        "..ksoYk.........",
        ".kssok..........",
        ".kdsk...........",
        ".kkk............",
        "................",
    ],
    "delete": [
        "................",
        "......kkkk......",
        ".kkkkkkkkkkkkkk.",
        ".kssssssssssssk.",
        ".kkkkkkkkkkkkkk.",
        "..kswdswdswdsk..",
        "..kswdswdswdsk..",
        "..kswdswdswdsk..",
        "..kswdswdswdsk..",
        "..kswdswdswdsk..",
        "..kswdswdswdsk..",
        "..kswdswdswdsk..",
        "..kswdswdswdsk..",
        "..kdddddddddk...",
        "...kkkkkkkkkk...",
        "................",
    ],
    "print": [
        "................",
        "....kkkkkkkk....",
        "....kwwwwwwk....",
        "....kwddddwk....",
        "....kwwwwwwk....",
        "..kkkkkkkkkkkk..",
        ".kwwwwwwwwwwwdk.",
        ".kssssssssssGdk.",
        ".ksssssssssssdk.",
        ".kddddddddddddk.",
        ".kskkkkkkkkkksk.",
        ".kdkwwwwwwwwkdk.",
        ".kkkwddddddwkkk.",
        "...kwwwwwwwwk...",
        "...kkkkkkkkkk...",
        "................",
    ],
    "help": [
        "................",
        ".....kkkkkk.....",
        "....kBBBBBBk....",
        "...kBBkkkkBBk...",
        "...kBBk..kBBk...",
        "....kk...kBBk...",
        ".........kBBk...",
        "........kBBk....",
        ".......kBBk.....",
        "......kBBk......",
        "......kBBk......",
        ".......kk.......",
        "......kkkk......",
        "......kBBk......",
        "......kBBk......",
        ".......kk.......",
    ],
    "abort": [
        "................",
        "..kk........kk..",
        ".kRRk......kRRk.",
        ".kRRRk....kRRRk.",
        "..kRRRk..kRRRk..",
        "...kRRRkkRRRk...",
        "....kRRRRRRk....",
        ".....kRRRRk.....",
        ".....kRRRRk.....",
        "....kRRRRRRk....",
        "...kRRRkkRRRk...",
        "..kRRRk..kRRRk..",
        ".kRRRk....kRRRk.",
        ".kRRk......kRRk.",
        "..kk........kk..",
        "................",
    ],
    "ok": [
        "................",
        "................",
        "............kk..",
        "...........kGGk.",
        "..........kGGgk.",
        ".........kGGgk..",
        "..kk....kGGgk...",
        ".kGGk..kGGgk....",
        ".kgGGkkGGgk.....",
        "..kgGGGGgk......",
        "...kgGGgk.......",
        "....kggk........",
        ".....kk.........",
        "................",
        "................",
        "................",
    ],
    # Slide switch, lever on the right over a green track: file mode.
    "on": [
        "................",
        "................",
        "................",
        "................",
        "..kkkkkkkkkkkk..",
        ".kGGGGGGkwwwwdk.",
        ".kGGGGGGkwssddk.",
        ".kGwGGGGkwssddk.",
        ".kGwGGGGkwssddk.",
        ".kGGGGGGkwssddk.",
        ".kGGGGGGkddddkk.",
        "..kkkkkkkkkkkk..",
        "................",
        "................",
        "................",
        "................",
    ],
    # The same switch with the lever on the left over a grey track: command-string mode.
    "off": [
        "................",
        "................",
        "................",
        "................",
        "..kkkkkkkkkkkk..",
        ".kwwwwdkddddddk.",
        ".kwssddkddkkddk.",
        ".kwssddkdkddkdk.",
        ".kwssddkdkddkdk.",
        ".kwssddkddkkddk.",
        ".kddddkkddddddk.",
        "..kkkkkkkkkkkk..",
        "................",
        "................",
        "................",
        "................",
    ],
}


# Outline of an eight-toothed gear with a hole; gear() adds the black edge and the shading.
GEAR_SHAPE = [
    "......####......",
    "......####......",
    ".##..######..##.",
    ".##############.",
    "..############..",
    "..############..",
    "#######..#######",
    "######....######",
    "######....######",
    "#######..#######",
    "..############..",
    "..############..",
    ".##############.",
    ".##..######..##.",
    "......####......",
    "......####......",
]


def gear():
    size = len(GEAR_SHAPE)
    inside = [[c == "#" for c in row] for row in GEAR_SHAPE]
    rows = []
    for y in range(size):
        row = ""
        for x in range(size):
            if not inside[y][x]:
                row += "."
                continue
            edge = any(
                not (0 <= x + ox < size and 0 <= y + oy < size and inside[y + oy][x + ox])
                for ox, oy in ((1, 0), (-1, 0), (0, 1), (0, -1))
            )
            # Light from the top left: the lower right half of the body is shaded.
            row += "k" if edge else ("s" if x + y < 15 else "d")
        rows.append(row)
    return rows


GLYPHS["setup"] = gear()


def luma(index):
    red, green, blue = PALETTE[index][1]
    return 0.299 * red + 0.587 * green + 0.114 * blue


def parse(rows, width, height):
    assert len(rows) == height, rows
    pixels = []
    for row in rows:
        assert len(row) == width, row
        pixels.append([INDEX[c] for c in row])
    return pixels


def disabled(cell):
    """The usual disabled look: dark parts in grey over a white shadow one pixel down and right."""
    height, width = len(cell), len(cell[0])
    dark = [[c != TRANSPARENT and luma(c) < 160 for c in row] for row in cell]
    out = [[TRANSPARENT] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            if dark[y][x] and x + 1 < width and y + 1 < height:
                out[y + 1][x + 1] = INDEX["w"]
    for y in range(height):
        for x in range(width):
            if dark[y][x]:
                out[y][x] = INDEX["d"]
    return out


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)


def pixel_bytes(pixels):
    """4-bit rows, bottom row first, each padded to a multiple of four bytes."""
    width = len(pixels[0])
    stride = (width * 4 + 31) // 32 * 4
    data = b""
    for row in reversed(pixels):
        packed = bytes((row[x] << 4) | (row[x + 1] if x + 1 < width else 0) for x in range(0, width, 2))
        data += packed.ljust(stride, b"\0")
    return data


def mask_bytes(pixels):
    """1-bit AND mask, bottom row first: 1 where the icon is transparent."""
    width = len(pixels[0])
    stride = (width + 31) // 32 * 4
    data = b""
    for row in reversed(pixels):
        bits = 0
        for x, c in enumerate(row):
            bits = (bits << 1) | (c == TRANSPARENT)
        bits <<= stride * 8 - width
        data += bits.to_bytes(stride, "big")
    return data


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 3780, 3780, 16, 0)


def bmp(pixels):
    height, width = len(pixels), len(pixels[0])
    bits = pixel_bytes(pixels)
    offset = 14 + 40 + 16 * 4
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info_header(width, height, len(bits)) + palette_bytes() + bits


def ico(images):
    """An icon file holding 16-colour images; transparent pixels are black in the colour bits."""
    entries = b""
    blobs = b""
    offset = 6 + 16 * len(images)
    for pixels in images:
        height, width = len(pixels), len(pixels[0])
        colour = [[0 if c == TRANSPARENT else c for c in row] for row in pixels]
        bits = pixel_bytes(colour) + mask_bytes(pixels)
        blob = info_header(width, height * 2, len(bits)) + palette_bytes() + bits
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 16, 0, 1, 4, len(blob), offset + len(blobs))
        blobs += blob
    return struct.pack("<HHH", 0, 1, len(images)) + entries + blobs


def program_icon():
    """32 x 32: a printer with a printed sheet coming out of it."""
    size = 32
    img = [["."] * size for _ in range(size)]

    def fill(left, top, right, bottom, c):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                img[y][x] = c

    def frame(left, top, right, bottom, c):
        fill(left, top, right, top, c)
        fill(left, bottom, right, bottom, c)
        fill(left, top, left, bottom, c)
        fill(right, top, right, bottom, c)

    # Sheet in the paper feed at the back.
    fill(8, 1, 23, 12, "w")
    frame(8, 1, 23, 12, "k")
    for y in (4, 6, 8, 10):
        fill(10, y, 21 if y != 10 else 17, y, "n")
    # Body.
    fill(2, 12, 29, 24, "s")
    frame(2, 12, 29, 24, "k")
    fill(3, 13, 28, 13, "w")
    fill(3, 13, 3, 23, "w")
    fill(28, 14, 28, 23, "d")
    fill(4, 23, 28, 23, "d")
    # Paper slot, lamp and the letter K on the front panel.
    fill(5, 15, 26, 16, "k")
    fill(24, 20, 26, 21, "G")
    frame(23, 19, 27, 22, "k")
    for y, x in zip(range(18, 23), (8, 7, 6, 7, 8)):
        img[y][5] = img[y][x] = "B"
    # Printed sheet coming out at the front, with a red heading and text lines.
    fill(6, 25, 25, 30, "w")
    frame(6, 24, 25, 31, "k")
    fill(8, 26, 14, 26, "R")
    fill(8, 28, 23, 28, "d")
    fill(8, 30, 19, 30, "d")
    return parse(["".join(r) for r in img], size, size)


# The shapes of the glyphs, on the 16 x 16 grid of their pixel pictures (a pixel (x, y) there covers x..x+1,
# y..y+1). Each is a predicate of a point of that grid.
def poly(*points):
    def inside(u, v):
        hit = False
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 > v) != (y1 > v) and u < x0 + (v - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit
    return inside


def rect(left, top, right, bottom):
    return lambda u, v: left <= u < right and top <= v < bottom


def disc(cx, cy, rx, ry=None):
    ry = ry or rx
    return lambda u, v: ((u - cx) / rx) ** 2 + ((v - cy) / ry) ** 2 <= 1


def band(x0, y0, x1, y1, half):
    """The stroke from (x0, y0) to (x1, y1), half wide each side, square ends."""
    length = math.hypot(x1 - x0, y1 - y0)
    nx, ny = -(y1 - y0) / length * half, (x1 - x0) / length * half
    return poly((x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny))


def arc(cx, cy, outer, inner, start, end):
    """The ring between two radii from angle start to end (degrees, clockwise from the right, y down)."""
    def inside(u, v):
        r = math.hypot(u - cx, v - cy)
        a = math.degrees(math.atan2(v - cy, u - cx)) % 360
        return inner <= r <= outer and any(start <= a + turn <= end for turn in (0, 360))
    return inside


class Shape:
    """Parts (predicates) less cut, filled with a colour letter or fill(u, v); edge: its one-pixel edge's letter."""

    def __init__(self, fill, *parts, cut=(), edge="k"):
        self.fill, self.parts, self.cut, self.edge = fill, parts, cut, edge

    def colour(self, u, v):
        return self.fill(u, v) if callable(self.fill) else self.fill


def gear_shapes():
    teeth = [band(8, 8, 8 + 7.9 * math.cos(a), 8 + 7.9 * math.sin(a), 2) for a in
             (math.radians(45 * i) for i in range(8))]
    # Light from the top left: the lower right half of the body is shaded.
    return [Shape(lambda u, v: "s" if u + v < 16 else "d", disc(8, 8, 5.8), *teeth, cut=(disc(8, 8, 1.6),))]


SHAPES = {
    "fileopen": [
        Shape("Y", poly((0, 3), (1, 2), (5, 2), (6, 4), (13, 4), (13, 15), (0, 15))),
        Shape("w", rect(1, 3, 2, 5), rect(2, 3, 3, 4), edge=None),
        Shape("o", poly((4, 8), (16, 8), (14, 15), (0.5, 15))),
    ],
    "insert": [
        Shape("w", poly((1, 1), (9, 1), (12, 4), (12, 15), (1, 15))),
        Shape("w", poly((9, 1), (12, 4), (9, 4))),
        Shape("d", rect(3, 3, 7, 4), rect(3, 5, 10, 6), rect(3, 7, 8, 8), rect(3, 9, 5, 10), rect(3, 11, 5, 12),
              edge=None),
        Shape("G", rect(8, 7, 12, 15), rect(5, 9, 15, 13)),
    ],
    "edit": [
        Shape("s", poly((1, 15), (2.1, 10.8), (5.2, 13.9))),
        Shape("k", poly((1, 15), (1.6, 12.8), (3.2, 14.4)), edge=None),
        Shape("Y", band(3.7, 12.3, 11.6, 4.4, 2.2)),
        Shape("w", band(3.7, 11.0, 11.0, 3.7, 0.45), edge=None),
        Shape("R", band(11.6, 4.4, 14.6, 1.4, 2.2)),
    ],
    "delete": [
        Shape("k", rect(6, 1, 10, 3)),
        Shape("s", poly((2, 5), (14, 5), (13, 15), (3, 15))),
        Shape("w", rect(4, 6, 5, 13), rect(7, 6, 8, 13), rect(10, 6, 11, 13), edge=None),
        Shape("d", rect(5, 6, 6, 13), rect(8, 6, 9, 13), rect(11, 6, 12, 13), rect(3, 13, 13, 14), edge=None),
        Shape("s", rect(1, 2, 15, 5)),
    ],
    "print": [
        Shape("w", rect(4, 1, 12, 6)),
        Shape("d", rect(6, 3, 10, 4), edge=None),
        Shape("s", poly((2, 5), (14, 5), (15, 6), (15, 13), (1, 13), (1, 6))),
        Shape("w", rect(2, 6, 13, 7), edge=None),
        Shape("d", rect(13, 6, 14, 10), rect(2, 9, 14, 10), edge=None),
        Shape("G", rect(11.5, 7, 12.5, 8), edge=None),
        Shape("k", rect(2, 10, 14, 11), edge=None),
        Shape("w", rect(3, 10, 13, 15)),
        Shape("d", rect(5, 12, 11, 13), edge=None),
    ],
    "help": [
        Shape("B", arc(8, 4.8, 4.1, 1.7, 170, 415), band(10.4, 7.5, 8, 10.5, 1.9), rect(6.1, 9.5, 9.9, 11.6)),
        Shape("B", disc(8, 14, 2.1)),
    ],
    "abort": [Shape("R", band(2.2, 2.2, 13.8, 13.8, 1.9), band(13.8, 2.2, 2.2, 13.8, 1.9))],
    "ok": [
        Shape("G", band(1.6, 8.2, 6, 12.6, 1.5), band(5, 12.2, 14.6, 2.6, 1.5)),
        Shape("g", band(2.6, 9.3, 6, 12.7, 0.5), band(6, 12.7, 14.2, 4.5, 0.5), edge=None),
    ],
    "on": [
        Shape("G", poly((2, 4), (14, 4), (15, 5), (15, 11), (14, 12), (2, 12), (1, 11), (1, 5))),
        Shape("w", rect(3, 7, 4, 9), edge=None),
        Shape(lambda u, v: "w" if u < 10.5 and v < 6.5 or u < 10 else ("d" if u > 13 or v > 10 else "s"),
              rect(8, 4, 15, 12)),
    ],
    "off": [
        Shape("d", poly((2, 4), (14, 4), (15, 5), (15, 11), (14, 12), (2, 12), (1, 11), (1, 5))),
        Shape(lambda u, v: "w" if u < 2.5 or v < 6 else ("d" if u > 5 or v > 10 else "s"), rect(1, 4, 8, 12)),
        Shape("d", disc(11, 8, 2.2)),
    ],
    "setup": gear_shapes(),
}


def drawn(shapes, size):
    """The glyph drawn at size x size pixels: each pixel takes the colour of the last shape its centre lies in; a
    shape's pixels that have a neighbour outside it (or the cell's border) take its edge colour."""
    unit = size / 16
    img = [["."] * size for _ in range(size)]
    for shape in shapes:
        def centre_in(x, y):
            u, v = (x + 0.5) / unit, (y + 0.5) / unit
            return any(p(u, v) for p in shape.parts) and not any(c(u, v) for c in shape.cut)
        mask = [[centre_in(x, y) for x in range(size)] for y in range(size)]
        for y in range(size):
            for x in range(size):
                if not mask[y][x]:
                    continue
                edge = shape.edge and any(not (0 <= x + ox < size and 0 <= y + oy < size and mask[y + oy][x + ox])
                                          for ox, oy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                img[y][x] = shape.edge if edge else shape.colour((x + 0.5) / unit, (y + 0.5) / unit)
    return parse(["".join(row) for row in img], size, size)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in GLYPHS.items():
        cell = parse(rows, 16, 16)
        both = [normal + grey for normal, grey in zip(cell, disabled(cell))]
        with open(os.path.join(here, name + ".bmp"), "wb") as f:
            f.write(bmp(both))
        for percent in (150, 200):
            big = drawn(SHAPES[name], 16 * percent // 100)
            with open(os.path.join(here, name + str(percent) + ".bmp"), "wb") as f:
                f.write(bmp([normal + grey for normal, grey in zip(big, disabled(big))]))
    with open(os.path.join(here, "kelvad.ico"), "wb") as f:
        f.write(ico([program_icon(), parse(GLYPHS["print"], 16, 16)]))


if __name__ == "__main__":
    main()
