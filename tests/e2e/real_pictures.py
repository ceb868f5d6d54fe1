# Writes into the folder given the pictures of real_pictures_test.sh, laid out as their writers lay them out; each
# line printed names a file and the ink its page must show: "full COLOUR" over the whole rectangle, "left" or
# "right COLOUR" over that half only, "empty", or "message" for a file the program must refuse with its message.
# With "measure" and rendered pages (PPM, 2 pixels a millimetre) it prints for each page the box of its ink in
# millimetres (left top right bottom) and the colours at its left and right edges, or "empty".
import functools, operator, struct, sys, zlib
P, out = struct.pack, sys.argv[1]
colour = lambda p: {(1, 0, 0): "red", (0, 1, 0): "green", (0, 0, 1): "blue"}.get(tuple(c > 200 for c in p), "other")
for page in sys.argv[2:] if out == "measure" else []:
    _, _, size, _, px = open(page, "rb").read().split(b"\n", 4)  # P6, Ghostscript's comment, size, 255, pixels
    w, h = map(int, size.split())
    ink = [(x, y) for y in range(h) for x in range(w) if min(px[3 * (y * w + x):3 * (y * w + x) + 3]) < 200]
    if not ink:
        print("empty")
        continue
    (l, r), (t, b) = [(min(v), max(v)) for v in zip(*ink)]
    at = lambda x: colour(px[3 * ((t + b) // 2 * w + x):3 * ((t + b) // 2 * w + x) + 3])
    print(l / 2, t / 2, (r + 1) / 2, (b + 1) / 2, at(l + 2), at(r - 2))
if out == "measure":
    sys.exit()
def save(name, data, expect):
    open("%s/%s" % (out, name), "wb").write(data)
    print(name, expect)
def emr(kind, *fields, tail=b""):
    body = P("<%dI" % len(fields), *(f & 0xFFFFFFFF for f in fields)) + tail
    return P("<II", kind, 8 + len(body)) + body
# 10 x 10 mm (frame) over 100 x 100 reference pixels; text as fig2dev writes it after an 88-byte header.
def emf(records, handles=4, text=b"", mm=100):
    tail = text + records + emr(14, 0, 16, 20)
    return P("<II4i4i4IHH3I4I", 1, 88 + len(text), 0, 0, 99, 99, 0, 0, 1000, 1000, 0x464D4520, 0x10000,
             88 + len(tail), 3, handles, 0, len(text) // 2, 88 if text else 0, 0, 1000, 1000, mm, mm) + tail
def box(colour, l=0, t=0, r=100, b=100):
    return emr(39, 1, 0, colour, 0) + emr(37, 1) + emr(37, 0x80000008) + emr(43, l, t, r, b)
def dib(w, h, bits, rows, header=40, extra=b"", rle=0):  # colours in extra: 4 bytes each
    return P("<IiiHH", header, w, h, 1, bits) + (P("<6I", rle, 0, 0, 0, len(extra) // 4, 0) if header > 16 else
                                                 b"") + extra + rows
def plus(*records):  # one GDI comment of EMF+ records: type, flags, data
    data = b"".join(P("<HHII", t, f, 12 + len(d), len(d)) + d for t, f, d in records)
    return emr(70, 4 + len(data), tail=P("<I", 0x2B464D45) + data)
def wmf(records, placeable=True, objects=1):
    records += P("<IH", 3, 0)
    words = 9 + len(records) // 2 + (11 if placeable else 0)  # the placeable header counted, as Inkscape does
    head = P("<HHHIHIH", 1, 9, 0x300, words, objects, 16, 0)
    key = P("<IH4hHI", 0x9AC6CDD7, 0, 0, 0, 100, 100, 254, 0)
    check = functools.reduce(operator.xor, struct.unpack("<10H", key))
    return (key + P("<H", check) if placeable else b"") + head + records
def wmr(function, *words):
    return P("<IH%dH" % len(words), 3 + len(words), function, *(w & 0xFFFF for w in words))
def png(kind, w, h, rows, chunks=b""):
    def chunk(t, d):
        return P(">I", len(d)) + t + d + P(">I", zlib.crc32(t + d))
    raw = b"".join(b"\0" + r for r in rows)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", P(">IIBBBBB", w, h, 8, kind, 0, 0, 0)) + \
        b"".join(chunk(t, d) for t, d in chunks) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
RED = 0x0000FF
pixel = lambda bgr: dib(1, 1, 24, bgr + b"\0")
stretch = lambda x, cx, rop, px: emr(81, 0, 0, 99, 99, x, 0, 0, 0, 1, 1, 80, 40, 120, 4, 0, rop, cx, 100,
                                     tail=px)
# 1. Metafiles the walk refused by mistake, and drawing outside the frame.
save("inkscape.wmf", wmf(wmr(0x020C, 100, 100) + wmr(0x02FC, 0, 0xFF00, 0, 0) + wmr(0x012D, 0) +
                         wmr(0x041B, 101, 101, 0, 0)), "full green")
save("fig2dev.emf", emf(box(RED), text="fig2dev\0".encode("utf-16-le")), "full red")
save("pstoedit.emf", emf(b"", handles=0), "empty")
save("outside.emf", emf(box(0xFF0000, -400, -400, 500, 500)), "full blue")
# 2. What the printer's own path loses: gradients, raster operations, EMF+ only; sizes no job can render.
vertex = lambda x, r, b: P("<iiHHHH", x, x, r, 0, b, 0)
save("gradient.emf", emf(emr(118, 0, 0, 99, 99, 2, 1, 0, tail=vertex(0, 0xFF00, 0) + vertex(100, 0, 0xFF00) +
                                P("<II", 0, 1))), "full red-blue")
save("rop.emf", emf(stretch(0, 50, 0x8800C6, pixel(b"\0\0\xff")) + stretch(50, 50, 0xEE0086, pixel(b"\0\0\0"))),
     "left red")
save("plus.emf", emf(plus((0x4001, 0, P("<4I", 0xDBC01002, 0, 254, 254)), (0x4030, 2, P("<f", 1.0)),
                          (0x400A, 0x8000, P("<II4f", 0xFF0000FF, 1, 0, 0, 100, 100)), (0x4002, 0, b""))),
     "full blue")
save("reference.emf", emf(box(RED), mm=0x7FFFFFFF), "message")
save("window.wmf", wmf(wmr(0x020C, 1, 1) + wmr(0x0418, 0x7FFF, 0x7FFF, 0, 0)), "message")
# 3. Bitmaps: white or transparent at the left, red at the right.
wr, rle = b"\xff\xff\xff" * 2 + b"\0\0\xff" * 2, b"\2\0\2\1\0\0"
save("os2.bmp", b"BM" + P("<IHHI", 14 + 16 + 24, 0, 0, 30) + dib(4, 2, 24, wr * 2, 16), "right red")
body = dib(4, 2, 8, rle * 2 + b"\0\1", extra=b"\xff\xff\xff\0\0\0\xff\0", rle=1)  # biSizeImage 0
save("rle.bmp", b"BM" + P("<IHHI", 14 + len(body), 0, 0, 14 + 48) + body, "right red")
argb = (b"\0\0\0\0" * 2 + b"\0\0\xff\xff" * 2) * 2
save("alpha.bmp", b"BM" + P("<IHHI", 14 + 40 + 32, 0, 0, 54) + dib(4, 2, 32, argb), "right red")
# Codes of 3 bits: each pair of pixels after a clear code (4), so that the width never grows; then the end (5).
codes = [4, 0, 0, 4, 1, 1] * 2 + [5]
lzw = b"\2\5" + sum(c << 3 * i for i, c in enumerate(codes)).to_bytes(5, "little") + b"\0"
save("clear.gif", b"GIF89a" + P("<HHBBB", 4, 2, 0x80, 0, 0) + b"\0\0\0\xff\0\0" + b"\x21\xf9\4\1\0\0\0\0" +
     b"\x2c" + P("<HHHHB", 0, 0, 4, 2, 0) + lzw + b"\x3b", "right red")
save("trns.png", png(3, 4, 2, [b"\0\0\1\1"] * 2, [(b"PLTE", b"\0\0\0\xff\0\0"), (b"tRNS", b"\0")]), "right red")
save("alpha.png", png(6, 4, 2, [b"\0" * 8 + b"\xff\0\0\xff" * 2] * 2), "right red")
rgb = png(2, 4, 4, [b"\xff" * 6 + b"\xff\0\0" * 2] * 4)
save("png.ico", P("<HHHBBBBHHII", 0, 1, 1, 4, 4, 0, 0, 1, 24, len(rgb), 22) + rgb, "right red")
