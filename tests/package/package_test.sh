#!/usr/bin/env bash
# The release zip as a Windows user gets it: what it holds, that the same commit gives the same bytes,
# and the unpacked program run from a new folder inside the Wine prefix, with nothing else of the build
# on its path, printing to the test printers.
#   tests/package/package_test.sh build/dist/Kelvad-<version>.zip
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
zip=$KELVAD_EXE
name=$(basename "$zip" .zip)

# ---- contents
expected=("$name/Kelvad32.exe" "$name/Kelvad32.html" "$name/README.txt")
[[ -d $KELVAD_ROOT/plugins ]] && expected+=("$name/ifgif.spi" "$name/ifjpeg.spi" "$name/ifpng.spi" "$name/iftiff.spi")
for entry in mag:ifmag pi:ifpi pic:ifpic pic2:ifpic2 xld4:ifxld4; do
    [[ -f $KELVAD_ROOT/plugins/formats/${entry%%:*}.cpp ]] && expected+=("$name/${entry#*:}.spi")
done
listed=$(unzip -Z1 "$zip" | LC_ALL=C sort)
check "the zip holds the program, the plug-ins, the help page and README.txt, nothing else (no settings file)" \
    test "$listed" = "$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)"

unpacked="$WINEPREFIX/drive_c/kelvad-package-test"
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
dir=$unpacked/$name
readme=$dir/README.txt
check "README.txt is Shift-JIS" iconv -f CP932 -t UTF-8 -o "$WORK/readme.txt" "$readme"
check "README.txt has CR LF line ends only" test "$(LC_ALL=C grep -c $'\r$' "$readme")" -eq "$(wc -l <"$readme")"
for text in 'Kelvad32.exe -p' '終了コード' 'Kelvad32.INI' 'ifjpeg.spi' 'ifmag.spi' '同じフォルダ'; do
    check "README.txt tells of '$text'" grep -qF -- "$text" "$WORK/readme.txt"
done
for topic in 1000 5000 5001; do
    check "the help page has the section of topic $topic" grep -q "id=\"topic$topic\"" "$dir/Kelvad32.html"
done

# A Windows program's header: machine (i686 is 0x14c) and link time, which must be 0 for the same bytes.
pe_field() { od -A n -t u"$3" -j $(($(od -A n -t u4 -j 60 -N 4 "$1") + $2)) -N "$3" "$1" | tr -d ' '; }
check "Kelvad32.exe is the i686 build" test "$(pe_field "$dir/Kelvad32.exe" 4 2)" -eq 332
for program in "$dir"/*.exe "$dir"/*.spi; do
    [[ -e $program ]] || continue
    check "$(basename "$program") carries no link time" test "$(pe_field "$program" 8 4)" -eq 0
done

cp "$zip" "$WORK/first.zip"
"$KELVAD_ROOT/scripts/package" >/dev/null 2>"$WORK/package.log"
check "packaging the same commit again gives the same bytes" cmp "$zip" "$WORK/first.zip"

# ---- the unpacked program
KELVAD_EXE=$dir/Kelvad32.exe
KELVAD_RUN=$KELVAD_EXE
if ! kelvad_can_run_32bit; then
    echo "skip: this machine cannot start 32-bit programs; the unpacked program was not run"
    finish
    exit
fi
# Started from its own folder: the program, its plug-ins and its settings file are found there.
run_unpacked() { (cd "$dir" && kelvad "$@"); }

printf '\x1b@\x00\x1a\xff\r\n\x82\xa0\x83\x65' >"$WORK/job.prn"
head -c 30000 /dev/urandom >>"$WORK/job.prn"
rm -f "$KELVAD_OUT/kelvad-printer.bin"
status=0
run_unpacked -p "$(winpath "$WORK/job.prn")" || status=$?
check "-p of a printer file: exit status 0" test "$status" -eq 0
check "-p of a printer file: the bytes reached the test printer unchanged" \
    cmp "$KELVAD_OUT/kelvad-printer.bin" "$WORK/job.prn"
check "the program wrote its settings file beside itself at the end" grep -q '^IsPrnFile=1' "$dir/Kelvad32.INI"

# ---- image mode: the settings file written for it beside the program, one picture per plug-in
# Each picture: left half red, right half blue.
convert -size 30x60 xc:'#FF0000' -size 30x60 xc:'#0000FF' +append -type TrueColor "$WORK/pattern.png"
pictures=()
for ext in JPG GIF TIF PNG; do
    convert "$WORK/pattern.png" -compress None "$WORK/picture.$ext"
    pictures+=("$(winpath "$WORK/picture.$ext")")
done
printf '%s\r\n' '[Option]' 'TopMargin=20' 'BottomMargin=20' 'LeftMargin=20' 'RightMargin=20' 'IsPrnFile=0' \
    'IsStretch=1' 'IsReverse=0' 'IsMarginZero=0' 'IsDeleteFile=0' >"$dir/Kelvad32.INI"
rm -f "$KELVAD_OUT/kelvad-printer.bin"
status=0
run_unpacked -p "${pictures[@]}" || status=$?
check "-p of a JPEG, a GIF, a TIFF and a PNG in image mode: exit status 0" test "$status" -eq 0

# The pages as the printer prints them, at 20 dots per inch.
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=png16m -r20 -sOutputFile="$WORK/page-%d.png" \
    "$KELVAD_OUT/kelvad-printer.bin" >/dev/null 2>&1 || true
check "one page per picture" test "$(find "$WORK" -name 'page-*.png' | wc -l)" -eq 4
# The colour of a page x, y millimetres from the sheet's corner: red, blue, white, or its value.
colour_at() {
    local hex r g b
    hex=$(convert "$1" -crop "1x1+$(($2 * 200 / 254))+$(($3 * 200 / 254))" -depth 8 txt:- |
        grep -o '#[0-9A-Fa-f]\{6\}' | head -1)
    r=$((16#${hex:1:2})) g=$((16#${hex:3:2})) b=$((16#${hex:5:2}))
    if ((r > 180 && g < 90 && b < 90)); then echo red
    elif ((b > 150 && r < 90 && g < 90)); then echo blue
    elif ((r > 230 && g > 230 && b > 230)); then echo white
    else echo "$hex"; fi
}
kinds=(JPEG GIF TIFF PNG)
for page in 1 2 3 4; do
    png=$WORK/page-$page.png
    [[ -f $png ]] || continue
    # A4 (210 x 297 mm) with 20 mm margins: white margins, red left of the middle, blue right of it.
    seen=()
    for point in "10 148" "60 148" "150 148" "200 148" "105 10" "60 30" "150 270"; do
        seen+=("$(colour_at "$png" $point)")
    done
    check "page $page, the ${kinds[page - 1]}: stretched within the margins, red left, blue right" \
        test "${seen[*]}" = "white red blue white white red blue"
done

rm -rf "$unpacked"
finish
