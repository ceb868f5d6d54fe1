#!/usr/bin/env bash
# The retro formats through their plug-ins and the real program: every tests/data/retro/sample*.<ext> printed
# with -p in image mode. Stretched over the margin box, each page must show the colours tests/data/retro/
# expected.txt lists ("sample.<ext> <x-fraction> <y-fraction> <R> <G> <B>", from the picture's top-left);
# at natural size, a picture with a line "aspect sample.<ext> <width/height>" must come out in that shape
# (found as the page's non-white box, so its outermost pixels must not be white). The MAG and PI samples carry a
# name beyond Shift-JIS, so the loader hands those plug-ins the file's bytes instead of its name.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
data=$KELVAD_ROOT/tests/data/retro
expected=$(grep -v '^[[:space:]]*\(#\|$\)' "$data/expected.txt")

samples=() pictures=() shaped=()
for path in "$data"/sample*.{mag,pi,pic,p2,q4}; do
    name=${path##*/} ext=${path##*.}
    [[ -f $path ]] || continue
    check "$name has colours in expected.txt" grep -q "^$name " <<<"$expected"
    copy=$name
    [[ $ext == mag || $ext == pi ]] && copy=한글_$name
    cp "$data/$name" "$WORK/$copy"
    samples+=("$name") pictures+=("$(winpath "$WORK/$copy")")
    grep -q "^aspect $name " <<<"$expected" && shaped+=("$(winpath "$WORK/$copy")")
done
for name in $(awk '{ print $1 == "aspect" ? $2 : $1 }' <<<"$expected" | sort -u); do
    check "$name, listed in expected.txt, is in tests/data/retro" test -f "$data/$name"
done

# Prints pictures into the run's pages at 300 dots per inch (a printer dot to a pixel). A picture the plug-in
# refuses stops the run at its message box, which the time limit then ends.
print_run() {
    local run=$1 status=0
    printf '%s\r\n' '[Option]' 'TopMargin=20' 'BottomMargin=20' 'LeftMargin=20' 'RightMargin=20' 'IsPrnFile=0' \
        "IsStretch=$2" 'IsReverse=0' 'IsMarginZero=0' 'IsDeleteFile=0' >"$WORK/program/Kelvad32.INI"
    rm -f "$KELVAD_OUT/kelvad-printer.bin"
    kelvad -p "${@:3}" || status=$?
    check "$run: -p of $(($# - 2)) retro pictures ends with status 0" test "$status" -eq 0
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r300 -sOutputFile="$WORK/$run-%d.png" \
        "$KELVAD_OUT/kelvad-printer.bin" >/dev/null 2>&1 || true
}
print_run stretched 1 "${pictures[@]}"
((${#shaped[@]} == 0)) || print_run natural 0 "${shaped[@]}"

# The listed points of the 170 x 257 mm margin box, each colour within 48 of the expected one.
page=0
for name in "${samples[@]}"; do
    page=$((page + 1))
    while read -r _ fx fy r g b; do
        read -r x y < <(awk "BEGIN { printf \"%d %d\\n\", (20 + $fx * 170) * 300 / 25.4, (20 + $fy * 257) * 300 / 25.4 }")
        got=$(convert "$WORK/stretched-$page.png" -crop "1x1+$x+$y" -depth 8 \
            -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info: 2>/dev/null || echo none)
        check "$name at $fx, $fy is $r $g $b (got $got)" \
            awk -v got="$got" -v want="$r $g $b" 'BEGIN { n = split(got, a); split(want, e)
                for (i = 1; i <= 3; i++) if (n != 3 || a[i] - e[i] > 48 || e[i] - a[i] > 48) exit 1 }'
    done < <(grep "^$name " <<<"$expected")
done
# The natural-size pictures' shapes, within 2 % and two pixels of the height.
page=0
for picture in "${shaped[@]}"; do
    page=$((page + 1))
    name=${picture##*\\} name=${name#한글_}
    ratio=$(awk -v n="$name" '$1 == "aspect" && $2 == n { print $3 }' <<<"$expected")
    box=$(convert "$WORK/natural-$page.png" -fuzz 10% -trim -format '%w %h' info: 2>/dev/null || echo 0 0)
    check "$name at natural size has the shape $ratio (box $box)" awk -v box="$box" -v want="$ratio" 'BEGIN {
        split(box, s); r = s[2] ? s[1] / s[2] : 0; exit !(r > 0 && (r / want - 1) ^ 2 < (0.02 + 2 / s[2]) ^ 2) }'
done
finish
