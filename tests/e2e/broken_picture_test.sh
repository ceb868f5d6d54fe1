#!/usr/bin/env bash
# Broken pictures printed with -p in image mode: a metafile whose player would never advance and a bitmap
# whose colour table lies beyond its file are each reported as broken, their pages stay empty, the files are
# kept, the good picture after them is printed, and the program ends with status 1.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
press_ok="$(dirname "$KELVAD_EXE")/press_ok.exe"

python3 - "$WORK" <<'PY'
import struct, sys
d, pack = sys.argv[1], struct.pack
header = pack("<iiiiiiiiIIIIHHIIIiiii", 0, 0, 100, 100, 0, 0, 2540, 2540, 0x464D4520, 0x10000, 124, 3, 4, 0, 0, 0, 0, 1000,
              1000, 300, 300)
open(d + "/stuck.emf", "wb").write(pack("<II", 1, 88) + header + pack("<IIIIIIIII", 27, 0, 0, 0, 14, 20, 0, 16, 20))
for name, size, bits, rows in (("no_table", 124, 8, b"\1" * 8), ("good", 40, 24, b"\0\0\xff" * 8)):
    dib = pack("<IiiHHIIiiII", size, 4 if bits == 24 else 2, 2, 1, bits, 0, 0, 0, 0, 0, 0).ljust(size, b"\0") + rows
    open("%s/%s.bmp" % (d, name), "wb").write(b"BM" + pack("<IHHI", 14 + len(dib), 0, 0, 14 + size) + dib)
PY
printf '%s\r\n' '[Option]' 'TopMargin=20' 'BottomMargin=20' 'LeftMargin=20' 'RightMargin=20' 'IsPrnFile=0' \
    'IsStretch=1' 'IsReverse=0' 'IsMarginZero=0' 'IsDeleteFile=1' >"$WORK/program/Kelvad32.INI"
emf=$(winpath "$WORK/stuck.emf")
bmp=$(winpath "$WORK/no_table.bmp")

rm -f "$KELVAD_OUT/kelvad-printer.bin"
kelvad -p "$emf" "$bmp" "$(winpath "$WORK/good.bmp")" &
program=$!
for i in 1 2; do
    "$KELVAD_ROOT/scripts/wine" "$press_ok" Kelvad32 60000 >"$WORK/box$i.txt" || true
done
status=0
wait $program || status=$?

check "the metafile is reported as broken" test "$(tr -d '\r' <"$WORK/box1.txt")" = "未知のフォーマット [$emf]"
check "the bitmap is reported as broken" test "$(tr -d '\r' <"$WORK/box2.txt")" = "未知のフォーマット [$bmp]"
check "exit status 1" test "$status" -eq 1
check "the broken files are kept, the good one deleted" \
    test -f "$WORK/stuck.emf" -a -f "$WORK/no_table.bmp" -a ! -f "$WORK/good.bmp"
check "three pages reached the printer" test "$(grep -ac '^%%Page:' "$KELVAD_OUT/kelvad-printer.bin")" -eq 3
finish
