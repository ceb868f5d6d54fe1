#!/usr/bin/env bash
# Image pages on the PostScript test printer, chosen in the setup dialog by clicks: the pages are rendered
# with Ghostscript at 2 pixels per millimetre and the pictures' places measured from the sheet's edge.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
drive() { "$KELVAD_ROOT/scripts/wine" "$(dirname "$KELVAD_EXE")/drive_setup.exe" "$@"; }

# A 600 × 300 bitmap (50.8 × 25.4 mm at 300 dpi) and a metafile of the same design: a red quarter at the left,
# a green band over the top quarter of the rest, blue elsewhere.
python3 - "$WORK/picture.bmp" <<'PY'
import struct, sys
w, h = 600, 300
rows = b""
for y in range(h - 1, -1, -1):  # bottom-up
    row = b"".join(b"\x00\x00\xff" if x < w // 4 else (b"\x00\xff\x00" if y < h // 4 else b"\xff\x00\x00")
                   for x in range(w))
    rows += row
header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(rows), 0, 0, 54) + header + rows)
PY
drive "emf:$(winpath "$WORK")\\picture.emf"
missing=$(winpath "$WORK")'\missing.bmp'

# Renders one job of the test printer and prints, per page, the bounding box of everything not white in
# millimetres (left top right bottom, from the sheet's top-left corner) and which colour lies at its left edge
# and its top-right corner.
measure() {
    rm -f "$WORK"/page-*.ppm
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r50.8 -sOutputFile="$WORK/page-%02d.ppm" "$1"
    python3 - "$WORK"/page-*.ppm <<'PY'
import sys
def colour(p):
    r, g, b = p
    return "red" if r > 200 > g and b < 60 else "green" if g > 200 > r and b < 60 else \
           "blue" if b > 200 > r and g < 60 else "white" if min(p) > 200 else "other"
for name in sys.argv[1:]:
    data = open(name, "rb").read()
    # P6, width, height, maximum, one blank, then the pixels; comment lines may come between.
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace(): pos += 1
        if data[pos:pos + 1] == b"#": pos = data.index(b"\n", pos); continue
        end = pos
        while not data[end:end + 1].isspace(): end += 1
        fields.append(data[pos:end]); pos = end
    w, h = int(fields[1]), int(fields[2]); px = data[pos + 1:]
    at = lambda x, y: tuple(px[(y * w + x) * 3:(y * w + x) * 3 + 3])
    xs, ys = [], []
    for y in range(0, h):
        row = px[y * w * 3:(y + 1) * w * 3]
        if row.count(255) != len(row):
            cols = [x for x in range(w) if min(row[x * 3:x * 3 + 3]) < 200]
            if cols:
                xs += [cols[0], cols[-1]]; ys.append(y)
    if not xs:
        print("empty"); continue
    l, r, t, b = min(xs), max(xs), min(ys), max(ys)
    mid = (t + b) // 2
    print("%.1f %.1f %.1f %.1f %s %s %s" % (l / 2, t / 2, (r + 1) / 2, (b + 1) / 2, colour(at(l + 2, mid)),
          colour(at(r - 2, mid)), colour(at(r - 2, t + 2))))
PY
}
# Checks a measured value against the expected millimetres, within half a millimetre.
near() { python3 -c "import sys; sys.exit(abs($1 - $2) > 0.6)"; }

rm -f "$KELVAD_OUT/kelvad-printer.bin"
kelvad "$(winpath "$WORK/picture.bmp")" "$(winpath "$WORK/picture.emf")" "$missing" &
program=$!
# co_SetUp is the button at (296, 240) of the main window's client area.
setup() { drive clickat:Kelvad32:312:256; }

# 1. Image files, margins 20 mm, stretched, mirrored: three pages, the missing file's left empty.
setup
drive click:画像ファイル click:画像を反転する click:OK click:'出力(&P)'
drive "ok:missing.bmp" >"$WORK/box.txt" || true
drive idle:Kelvad32
mv "$KELVAD_OUT/kelvad-printer.bin" "$WORK/run1.ps" || true
# 2. Natural size, not mirrored.
setup
drive click:画像を反転する click:画像を用紙全体に印刷する click:OK click:'出力(&P)'
drive "ok:missing.bmp" >/dev/null || true
drive idle:Kelvad32
mv "$KELVAD_OUT/kelvad-printer.bin" "$WORK/run2.ps" || true
# 3. Stretched over the whole sheet under zero margins.
setup
drive click:画像を用紙全体に印刷する click:マージンを０にする click:OK click:'出力(&P)'
drive "ok:missing.bmp" >/dev/null || true
drive idle:Kelvad32
mv "$KELVAD_OUT/kelvad-printer.bin" "$WORK/run3.ps" || true
drive close:Kelvad32 || true
wait $program || true

mapfile -t run1 < <(measure "$WORK/run1.ps")
mapfile -t run2 < <(measure "$WORK/run2.ps")
mapfile -t run3 < <(measure "$WORK/run3.ps")
printf '%s\n' "run 1:" "${run1[@]}" "run 2:" "${run2[@]}" "run 3:" "${run3[@]}"

check "the missing file was reported" test "$(tr -d '\r' <"$WORK/box.txt")" = "$missing が見つかりません"
check "one page per file, the missing file's page empty" test "${#run1[@]}" -eq 3 -a "${run1[2]:-}" = empty
read -r l t r b left right top <<<"${run1[0]:-x}"
check "bitmap stretched inside margins of 20 mm" eval 'near $l 20 && near $t 20 && near $r 190 && near $b 277'
check "bitmap mirrored: red quarter at the right, green band kept at the top" \
    test "$left $right $top" = "blue red red"
read -r l t r b left right top <<<"${run1[1]:-x}"
check "metafile stretched inside the margins" eval 'near $l 20 && near $t 20 && near $r 190 && near $b 277'
check "metafile mirrored: red quarter at the right, green band at the top" test "$left $right $top" = "blue red red"
read -r l t r b left right top <<<"${run2[0]:-x}"
check "natural size from the margin corner: 50.8 × 25.4 mm" \
    eval 'near $l 20 && near $t 20 && near $r 70.8 && near $b 45.4'
check "natural size not mirrored" test "$left $right $top" = "red blue green"
read -r l t r b left right top <<<"${run3[0]:-x}"
check "zero margins: the whole sheet" eval 'near $l 0 && near $t 0 && near $r 210 && near $b 297'
check "three pages in every run" test "${#run2[@]}" -eq 3 -a "${#run3[@]}" -eq 3
finish
