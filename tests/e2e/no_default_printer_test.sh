#!/usr/bin/env bash
# The print switch on a machine with no default printer: the start-up error box, then the program
# ends by itself with status 1 and prints nothing. The default-printer entry is taken away for the
# test and put back afterwards, whatever happens.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
press_ok="$(dirname "$KELVAD_EXE")/press_ok.exe"
key='HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows'
reg() { "$KELVAD_ROOT/scripts/wine" reg "$@" </dev/null 2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r'; }

device=$(reg query "$key" /v device | sed -n 's/^ *device *REG_SZ *//p')
[[ -n $device ]] || { echo "FAIL no default-printer entry to take away"; exit 1; }
restore() { reg add "$key" /v device /d "$device" /f >/dev/null; }
trap 'restore; rm -rf "$WORK"' EXIT
trap 'exit 143' TERM INT HUP
reg delete "$key" /v device /f >/dev/null

printf 'never printed\r\n' >"$WORK/a.prn"
rm -f "$KELVAD_OUT/kelvad-printer.bin"
kelvad -p "$(winpath "$WORK/a.prn")" &
program=$!
"$KELVAD_ROOT/scripts/wine" "$press_ok" Kelvad32 | tr -d '\r' >"$WORK/box.txt" || true
status=0
wait $program || status=$?
restore

check "the start-up error box names the missing default printer" test "$(cat "$WORK/box.txt")" = "ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません."
check "the program ends by itself with status 1" test "$status" -eq 1
check "nothing was printed" test ! -e "$KELVAD_OUT/kelvad-printer.bin"
check "the default-printer entry is back" test "$(reg query "$key" /v device | sed -n 's/^ *device *REG_SZ *//p')" = "$device"
finish
