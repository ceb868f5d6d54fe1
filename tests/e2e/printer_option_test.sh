#!/usr/bin/env bash
# /D:<printer> takes this run's output wherever it stands and in any case, the default staying the default; an
# unknown printer gets a stop box and nothing is printed or deleted (exit 1); /? shows the usage (exit 0).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bin=$(dirname "$KELVAD_EXE")
box() { "$KELVAD_ROOT/scripts/wine" "$bin/press_ok.exe" Kelvad32 60000 | tr -d '\r'; }
head -c 5000 /dev/urandom >"$WORK/a.prn"
a=$(winpath "$WORK/a.prn")
rm -f "$KELVAD_OUT"/{kelvad,jp,hangul}-printer.bin
same() { cmp -s "$WORK/a.prn" "$KELVAD_OUT/$1-printer.bin" && echo "$1"; }
kelvad -p /D:テストプリンタ "$a" && kelvad "$a" "/d:KELVAD 한글" -P
check "before and after the file, in another case, beyond Shift-JIS: there and only there" \
    test "$(same jp)$(same hangul)$(test -e "$KELVAD_OUT/kelvad-printer.bin" || echo none)" = jphangulnone
kelvad -p "$a"
check "the default printer unchanged" cmp "$WORK/a.prn" "$KELVAD_OUT/kelvad-printer.bin"

printf '[Option]\r\nIsDeleteFile=1\r\n' >"${KELVAD_RUN%.*}.INI"
box >"$WORK/box.txt" &
status=0
kelvad -p "/D:No Such" "$a" || status=$?
wait
check "unknown: the box, exit 1, the file kept, nothing printed" test "$(cat "$WORK/box.txt")" = \
    "プリンタ No Such が見つかりません" -a "$status" -eq 1 -a -f "$WORK/a.prn" -a "$(stat -c %s "$KELVAD_OUT/kelvad-printer.bin")" -eq 5000

kelvad /D:テストプリンタ "$a" &
timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_setup.exe" texts:Kelvad32 close:Kelvad32 | tr -d '\r' >"$WORK/texts.txt"
wait
check "without -p the window opens with that printer chosen" grep -qx 'テストプリンタ' "$WORK/texts.txt"
box >"$WORK/usage.txt" &
status=0
kelvad /? || status=$?
wait
check "/?: the usage, exit 0" test "$(grep -c '/D:プリンタ名' "$WORK/usage.txt")$status" = 10
finish
