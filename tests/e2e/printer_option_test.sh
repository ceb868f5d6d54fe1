#!/usr/bin/env bash
# The printer named on the command line with /D: takes this run's output, wherever it stands and in any case; the
# default printer stays the default. An unknown printer gets a stop box, nothing is printed or deleted, exit 1; /?
# shows the usage and ends with 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bin=$(dirname "$KELVAD_EXE")
box() { "$KELVAD_ROOT/scripts/wine" "$bin/press_ok.exe" Kelvad32 60000 | tr -d '\r'; }
head -c 5000 /dev/urandom >"$WORK/a.prn"
a=$(winpath "$WORK/a.prn")
rm -f "$KELVAD_OUT"/{kelvad,jp,hangul}-printer.bin

status=0
kelvad -p /D:テストプリンタ "$a" || status=$?
check "/D: before the file: exit 0, the bytes at that printer" \
    test "$status" -eq 0 -a "$(cmp "$WORK/a.prn" "$KELVAD_OUT/jp-printer.bin" && echo same)" = same
status=0
kelvad "$a" "/d:KELVAD 한글" -P || status=$?
check "/d: after the file, in another case, a name beyond Shift-JIS" cmp "$WORK/a.prn" "$KELVAD_OUT/hangul-printer.bin"
check "nothing at the default printer" test ! -e "$KELVAD_OUT/kelvad-printer.bin"
kelvad -p "$a"
check "the default printer unchanged: a run without /D: goes there" cmp "$WORK/a.prn" "$KELVAD_OUT/kelvad-printer.bin"

printf '[Option]\r\nIsDeleteFile=1\r\n' >"${KELVAD_RUN%.*}.INI"
box >"$WORK/box.txt" &
status=0
kelvad -p "/D:No Such Printer" "$a" || status=$?
wait
check "unknown printer: the stop box names it" test "$(cat "$WORK/box.txt")" = "プリンタ No Such Printer が見つかりません"
check "unknown printer: exit 1, the file kept, nothing printed" \
    test "$status" -eq 1 -a -f "$WORK/a.prn" -a "$(stat -c %s "$KELVAD_OUT/kelvad-printer.bin")" -eq 5000

# Without -p the window opens with the named printer chosen (its label names it).
kelvad /D:テストプリンタ "$a" &
program=$!
timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_setup.exe" texts:Kelvad32 close:Kelvad32 | tr -d '\r' >"$WORK/texts.txt"
wait $program || true
check "without -p: the window shows the named printer chosen" grep -qx 'テストプリンタ' "$WORK/texts.txt"

box >"$WORK/usage.txt" &
status=0
kelvad /? || status=$?
wait
check "/?: the usage box shows the forms, exit 0" grep -q '/D:プリンタ名' "$WORK/usage.txt"
check "/?: exit 0" test "$status" -eq 0
finish
