#!/usr/bin/env bash
# The retro formats through their plug-ins and the real program: every tests/data/retro/sample.<ext> printed
# with -p in image mode. Stretched over the margin box, each page must show the colours tests/data/retro/
# expected.txt lists ("sample.<ext> <x-fraction> <y-fraction> <R> <G> <B>", from the picture's top-left);
# at natural size, a picture with a line "aspect sample.<ext> <width/height>" must come out in that shape
# (its outermost pixels must not be white, since the picture is found by its non-white box).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
data=$KELVAD_ROOT/tests/data/retro
expected=$data/expected.txt

samples=()
for ext in mag pi pic p2 q4; do
    [[ -f $data/sample.$ext ]] && samples+=("sample.$ext")
done
# Every listed sample must be there, and every sample listed.
for name in $(awk '!/^[ \t]*(#|$)/ { print $1 == "aspect" ? $2 : $1 }' "$expected" | sort -u); do
    check "$name, listed in expected.txt, is in tests/data/retro" test -f "$data/$name"
done
for name in "${samples[@]}"; do
    check "$name has colours in expected.txt" grep -q "^$name " "$expected"
done
((${#samples[@]} > 0)) || { check "at least one sample" false; finish; exit 1; }

pictures=()
for name in "${samples[@]}"; do
    cp "$data/$name" "$WORK/"
    pictures+=("$(winpath "$WORK/$name")")
done
settings() {
    printf '%s\r\n' '[Option]' 'TopMargin=20' 'BottomMargin=20' 'LeftMargin=20' 'RightMargin=20' 'IsPrnFile=0' \
        "IsStretch=$1" 'IsReverse=0' 'IsMarginZero=0' 'IsDeleteFile=0' >"$WORK/program/Kelvad32.INI"
}
# Prints the pictures into $WORK/<run>.ps; a picture the plug-in refuses stops the run at its message box,
# which the time limit then ends.
print_run() {
    local status=0
    settings "$2"
    rm -f "$KELVAD_OUT/kelvad-printer.bin"
    kelvad -p "${@:3}" || status=$?
    check "$1: -p of ${#samples[@]} retro pictures ends with status 0" test "$status" -eq 0
    mv "$KELVAD_OUT/kelvad-printer.bin" "$WORK/$1.ps" 2>/dev/null || : >"$WORK/$1.ps"
}
print_run stretched 1 "${pictures[@]}"
aspects=()
for name in "${samples[@]}"; do
    grep -q "^aspect $name " "$expected" && aspects+=("$name")
done
if ((${#aspects[@]} > 0)); then
    print_run natural 0 "${aspects[@]/#/$(winpath "$WORK")\\}"
fi

# Renders each run at 300 dots per inch (a printer dot to a pixel) and checks it: the stretched pages'
# colours at the listed points of the 170 x 257 mm margin box, the natural-size pictures' shapes.
for run in stretched natural; do
    [[ -f $WORK/$run.ps ]] || continue
    mkdir -p "$WORK/$run"
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r300 -sOutputFile="$WORK/$run/page-%02d.ppm" "$WORK/$run.ps" ||
        true
done
while read -r result name; do
    check "$name [$result]" test "$result" = ok
done < <(python3 - "$expected" "$WORK" "${samples[@]}" -- "${aspects[@]}" <<'PY'
import os, sys
expected, work = sys.argv[1], sys.argv[2]
rest = sys.argv[3:]
samples, aspects = rest[:rest.index("--")], rest[rest.index("--") + 1:]
points, ratios = {}, {}
for line in open(expected):
    f = line.split()
    if not f or f[0].startswith("#"):
        continue
    if f[0] == "aspect":
        ratios[f[1]] = float(f[2])
    else:
        points.setdefault(f[0], []).append((float(f[1]), float(f[2]), tuple(int(v) for v in f[3:6])))

def page(run, number):
    name = os.path.join(work, run, "page-%02d.ppm" % number)
    if not os.path.exists(name):
        return None
    data = open(name, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace(): pos += 1
        if data[pos:pos + 1] == b"#": pos = data.index(b"\n", pos); continue
        end = pos
        while not data[end:end + 1].isspace(): end += 1
        fields.append(data[pos:end]); pos = end
    return int(fields[1]), int(fields[2]), data[pos + 1:]

dots = 300 / 25.4
for number, name in enumerate(samples, 1):
    p = page("stretched", number)
    for fx, fy, want in points.get(name, []):
        label = "%s at %.3g, %.3g is %s" % (name, fx, fy, " ".join(map(str, want)))
        if p is None:
            print("missing-page", label); continue
        w, h, px = p
        x, y = int((20 + fx * 170) * dots), int((20 + fy * 257) * dots)
        got = tuple(px[(y * w + x) * 3:(y * w + x) * 3 + 3])
        print("ok" if max(abs(a - b) for a, b in zip(got, want)) <= 48 else "got-%d,%d,%d" % got, label)
for number, name in enumerate(aspects, 1):
    label = "%s at natural size has the shape %g" % (name, ratios[name])
    p = page("natural", number)
    if p is None:
        print("missing-page", label); continue
    w, h, px = p
    xs, ys = [], []
    for y in range(h):
        row = px[y * w * 3:(y + 1) * w * 3]
        if row.count(255) != len(row):
            cols = [x for x in range(w) if min(row[x * 3:x * 3 + 3]) < 230]
            if cols:
                xs += [cols[0], cols[-1]]; ys.append(y)
    if not xs:
        print("empty-page", label); continue
    bw, bh = max(xs) - min(xs) + 1, max(ys) - min(ys) + 1
    # Within a pixel of the picture at either side, or 2 %.
    ok = abs(bw / bh - ratios[name]) <= max(0.02 * ratios[name], ratios[name] * 2 / min(bw, bh))
    print("ok" if ok else "box-%dx%d" % (bw, bh), label)
PY
)
finish
