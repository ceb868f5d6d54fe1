#!/usr/bin/env bash
# A file that fails its checks during an automatic print: the stop box names it, the run goes on
# with the next file, and the program ends with status 1.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
press_ok="$(dirname "$KELVAD_EXE")/press_ok.exe"

printf 'good\x00\x1a\xff\r\n' >"$WORK/good.prn"
missing=$(winpath "$WORK")'\missing.prn'
: >"$WORK/empty.prn"
empty=$(winpath "$WORK/empty.prn")

rm -f "$KELVAD_OUT/kelvad-printer.bin"
kelvad -p "$missing" "$empty" "$(winpath "$WORK/good.prn")" &
program=$!
"$KELVAD_ROOT/scripts/wine" "$press_ok" "$missing" | iconv -f CP932 -t UTF-8 >"$WORK/box1.txt" || true
"$KELVAD_ROOT/scripts/wine" "$press_ok" "$empty" | iconv -f CP932 -t UTF-8 >"$WORK/box2.txt" || true
status=0
wait $program || status=$?

check "missing file: its box names it" test "$(tr -d '\r' <"$WORK/box1.txt")" = "$missing が見つかりません"
check "empty file: the size box" test "$(tr -d '\r' <"$WORK/box2.txt")" = "$(printf '%s はサイズが０です\n中止します' "$empty")"
check "the good file was still output" cmp "$KELVAD_OUT/kelvad-printer.bin" "$WORK/good.prn"
check "exit status 1 when a file failed" test "$status" -eq 1
finish
