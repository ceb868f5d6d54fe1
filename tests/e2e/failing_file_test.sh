#!/usr/bin/env bash
# A file that fails its checks during an automatic print: the stop box names it, the run goes on
# with the next file, and the program ends with status 1.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
press_ok="$(dirname "$KELVAD_EXE")/press_ok.exe"
tool() { "$KELVAD_ROOT/scripts/wine" "$(dirname "$KELVAD_EXE")/$1.exe" "${@:2}"; }

printf 'good\x00\x1a\xff\r\n' >"$WORK/good.prn"
missing=$(winpath "$WORK")'\missing.prn'
: >"$WORK/empty.prn"
empty=$(winpath "$WORK/empty.prn")
printf 'held' >"$WORK/held.prn" && held=$(winpath "$WORK/held.prn")
tool hold_file "$(winpath "$WORK")\release" "$held" >"$WORK/holding" &
timeout 60 bash -c 'until grep -qs held "$1"; do sleep 0.1; done' _ "$WORK/holding"

rm -f "$KELVAD_OUT/kelvad-printer.bin"
kelvad -p "$missing" "$empty" "$held" "$(winpath "$WORK/good.prn")" &
program=$!
"$KELVAD_ROOT/scripts/wine" "$press_ok" "$missing" >"$WORK/box1.txt" || true
"$KELVAD_ROOT/scripts/wine" "$press_ok" "$empty" >"$WORK/box2.txt" || true
"$KELVAD_ROOT/scripts/wine" "$press_ok" "$held" >"$WORK/box0.txt" || true
status=0
wait $program || status=$?
touch "$WORK/release"

check "missing file: its box names it" test "$(tr -d '\r' <"$WORK/box1.txt")" = "$missing が見つかりません"
check "empty file: the size box" test "$(tr -d '\r' <"$WORK/box2.txt")" = "$(printf '%s はサイズが０です\n中止します' "$empty")"
check "held file: named with the system's reason" grep -qF "$held: " "$WORK/box0.txt"
check "the good file was still output" cmp "$KELVAD_OUT/kelvad-printer.bin" "$WORK/good.prn"
check "exit status 1 when a file failed" test "$status" -eq 1

# A printer that refuses the image document: under the delete option both pictures are kept, one stop box names
# the printer, and the status is 1.
key='HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows'
device=$("$KELVAD_ROOT/scripts/wine" reg query "$key" /v device | tr -d '\r' | sed -n 's/^ *device *REG_SZ *//p')
trap '"$KELVAD_ROOT/scripts/wine" reg add "$key" /v device /t REG_SZ /d "$device" /f >/dev/null; rm -rf "$WORK"' EXIT
"$KELVAD_ROOT/scripts/wine" reg add "$key" /v device /t REG_SZ /d "Kelvad Refuse,winspool,COM1:" /f >/dev/null
printf '[Option]\r\nIsPrnFile=0\r\nIsDeleteFile=1\r\n' >"${KELVAD_RUN%.*}.INI"
python3 -c 'import struct, sys; [open(f, "wb").write(b"BM" + struct.pack("<IHHIIiiHHIIiiII", 70, 0, 0, 54, 40, 2, 2, 1,
    24, 0, 16, 0, 0, 0, 0) + bytes(range(16))) for f in sys.argv[1:]]' "$WORK/b1.bmp" "$WORK/b2.bmp"
kelvad -p "$(winpath "$WORK/b1.bmp")" "$(winpath "$WORK/b2.bmp")" &
program=$!
"$KELVAD_ROOT/scripts/wine" "$press_ok" Kelvad >"$WORK/box3.txt" || true
status=0
wait $program || status=$?
check "refused: the stop box names the printer" test "$(tr -d '\r' <"$WORK/box3.txt")" = "Kelvad Refuse に出力できません"
check "refused document: both pictures kept" test -f "$WORK/b1.bmp" -a -f "$WORK/b2.bmp"
check "refused document: exit status 1" test "$status" -eq 1

# A printer removed while the window is open: the run's own box names it, and the window stays with its list.
tool setup_printers "Kelvad Gone=COM4:" >/dev/null
"$KELVAD_ROOT/scripts/wine" reg add "$key" /v device /t REG_SZ /d "Kelvad Gone,winspool,COM4:" /f >/dev/null
kelvad "$held" &
tool drive_setup idle:Kelvad32 >/dev/null || true
tool setup_printers --remove "Kelvad Gone" >/dev/null
tool drive_setup 'click:出力(&P)' >/dev/null
check "removed printer: the run's box names it" test "$(tool press_ok Kelvad | tr -d '\r')" = "Kelvad Gone に出力できません"
tool drive_setup idle:Kelvad32 texts:Kelvad32 close:Kelvad32 >"$WORK/texts" || true
wait
check "removed printer: the window stays with its list" grep -qF "  $held" "$WORK/texts"
finish
