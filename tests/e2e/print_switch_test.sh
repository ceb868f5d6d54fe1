#!/usr/bin/env bash
# The print switch: the named files go byte for byte to the default test printer, one job each,
# in command-line order, and the program ends by itself with status 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Bytes a text-mode or code-page conversion would damage: NUL, EOF (0x1A), 0xFF, CR/LF, Shift-JIS.
printf '\x1b@\x00\x1a\xff\r\n\x82\xa0\x83\x65\x5c\x00\x0c' >"$WORK/a.prn"
head -c 20000 /dev/urandom >>"$WORK/a.prn"
jp="$WORK/テスト出力.prn"
printf 'second file\r\n\x1a\x00\xff\x0c' >"$jp"
head -c 9000 /dev/urandom >>"$jp"

rm -f "$KELVAD_OUT/kelvad-printer.bin"
status=0
kelvad -p "$(winpath "$WORK/a.prn")" -P "$(winpath "$jp")" || status=$?
check "exit status 0 after printing both files" test "$status" -eq 0
cat "$WORK/a.prn" "$jp" >"$WORK/expected.bin"
check "printer received both files unchanged, in order" cmp "$KELVAD_OUT/kelvad-printer.bin" "$WORK/expected.bin"
check "files are kept (no delete option)" test -f "$WORK/a.prn" -a -f "$jp"

# A parameter that only begins with a switch is a file name; "/" alone is a switch.
cp "$WORK/a.prn" "$WORK/-print"
rm -f "$KELVAD_OUT/kelvad-printer.bin"
status=0
(cd "$WORK" && kelvad / "$(winpath "$WORK/-print")") || status=$?
check "'/' prints, a file named -print is output" cmp "$KELVAD_OUT/kelvad-printer.bin" "$WORK/a.prn"

# A printer whose name Shift-JIS cannot hold: the main window lists it whole, a click selects it, and the listed
# file goes to it byte for byte.
bin=$(dirname "$KELVAD_EXE")
hangul="Kelvad 한글"
rm -f "$KELVAD_OUT/hangul-printer.bin"
kelvad "$(winpath "$WORK/a.prn")" &
program=$!
timeout 60 "$KELVAD_ROOT/scripts/wine" "$bin/pick_printer.exe" Kelvad32 "$hangul" | tr -d '\r' >"$WORK/rows.txt" || true
timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_setup.exe" "click:出力(&P)" idle:Kelvad32 close:Kelvad32 || true
status=0
wait $program || status=$?
check "the main window lists the printer by its whole name" grep -qxF "$hangul" "$WORK/rows.txt"
check "the selected printer received the file unchanged" cmp "$KELVAD_OUT/hangul-printer.bin" "$WORK/a.prn"
check "the window closed normally" test "$status" -eq 0
finish
