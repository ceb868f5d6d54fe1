#!/usr/bin/env bash
# Names on the command line: a relative name becomes a full path, and a pattern in its last part stands
# for the files it matches (not folders, not hidden files), in case-insensitive name order; names beyond Shift-JIS
# print and are reported whole.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
press_ok="$(dirname "$KELVAD_EXE")/press_ok.exe"

# Prints NAME with -p from FOLDER and presses OK on the box titled BOX: its text lands in box.txt, the program's
# exit status in $status.
print_answering_box() {
    local folder=$1 name=$2 box=$3 program
    rm -f "$KELVAD_OUT/kelvad-printer.bin"
    (cd "$folder" && kelvad -p "$name") &
    program=$!
    "$KELVAD_ROOT/scripts/wine" "$press_ok" "$box" >"$WORK/box.txt" || true
    status=0
    wait $program || status=$?
}

mkdir -p "$WORK/dir/sub.prn"
printf 'second\x00\x1a\xff\r\n' >"$WORK/dir/B.prn"
printf 'first\x1b@\x0c' >"$WORK/dir/a.prn"
head -c 9000 /dev/urandom >"$WORK/dir/c.PRN"
printf 'hidden' >"$WORK/dir/.hidden.prn"
printf 'other' >"$WORK/dir/x.txt"

rm -f "$KELVAD_OUT/kelvad-printer.bin"
status=0
(cd "$WORK/dir" && kelvad -p '*.prn') || status=$?
cat "$WORK/dir/a.prn" "$WORK/dir/B.prn" "$WORK/dir/c.PRN" >"$WORK/expected.bin"
check "a relative pattern prints exactly its three files, in name order" \
    cmp "$KELVAD_OUT/kelvad-printer.bin" "$WORK/expected.bin"
check "exit status 0 when every file was output" test "$status" -eq 0

# A pattern that matches no file stays as it is and is reported as not found.
nomatch=$(winpath "$WORK/dir")'\*.none'
print_answering_box "$WORK/dir" "$nomatch" "$nomatch"
check "a pattern without a match: not found" test "$(tr -d '\r' <"$WORK/box.txt")" = "$nomatch が見つかりません"
check "nothing printed" test ! -s "$KELVAD_OUT/kelvad-printer.bin"
check "exit status 1 when a name was not output" test "$status" -eq 1

# Names are carried whole, whatever code page 932 or the system's code page can hold: with the delete option on,
# a Japanese name and one beyond Shift-JIS both print byte for byte and are deleted, and the file the second
# name's question marks would match is neither printed nor deleted.
mkdir "$WORK/korean"
printf 'korean\x00\xff\x1b@' >"$WORK/korean/한글.prn"
printf '日本\r\n\x0c' >"$WORK/korean/日本語の名前.prn"
printf 'other' >"$WORK/korean/ab.prn"
cat "$WORK/korean/한글.prn" "$WORK/korean/日本語の名前.prn" >"$WORK/expected.bin"
printf '[Option]\r\nIsDeleteFile=1\r\n' >"${KELVAD_RUN%.*}.INI"
rm -f "$KELVAD_OUT/kelvad-printer.bin"
status=0
(cd "$WORK/korean" && kelvad -p 한글.prn 日本語の名前.prn) || status=$?
check "both names print byte for byte, in order" cmp "$KELVAD_OUT/kelvad-printer.bin" "$WORK/expected.bin"
check "both printed files deleted" test ! -e "$WORK/korean/한글.prn" -a ! -e "$WORK/korean/日本語の名前.prn"
check "the file the question marks would match is kept" test -f "$WORK/korean/ab.prn"
check "exit status 0" test "$status" -eq 0

# A name beyond Shift-JIS that is not there is reported whole.
missing=$(winpath "$WORK/korean")'\없음.prn'
print_answering_box "$WORK/korean" 없음.prn "$missing"
check "a missing name beyond Shift-JIS: reported whole" test "$(tr -d '\r' <"$WORK/box.txt")" = "$missing が見つかりません"
check "exit status 1" test "$status" -eq 1
finish
