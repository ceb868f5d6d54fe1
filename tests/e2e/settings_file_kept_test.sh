#!/usr/bin/env bash
# The settings file is never lost or damaged: a file an editor saved as UTF-16 (either byte order) or as UTF-8 with
# a mark is read and written back in its own encoding; a file held by another program at start is reported and not
# saved over; a folder that takes no new file is written in place; a hidden file stays hidden and a leftover
# temporary file of ours goes; a read-only file is a write failure, and after -p exit status 1.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bin=$(dirname "$KELVAD_EXE")
ini="${KELVAD_RUN%.*}.INI"
trap 'chattr -i "$WORK/program" 2>/dev/null; rm -rf "$WORK"' EXIT

# Runs -p of a.prn, answering every box captioned Kelvad32 until the program ends: their texts land in boxes.txt,
# the exit status in $status.
print_answering() {
    printf 'kept\x1b@\r\n' >"$WORK/a.prn"
    : >"$WORK/boxes.txt"
    kelvad -p "$(winpath "$WORK/a.prn")" &
    local program=$!
    while kill -0 $program 2>/dev/null; do
        "$KELVAD_ROOT/scripts/wine" "$bin/press_ok.exe" Kelvad32 500 2>/dev/null | tr -d '\r' >>"$WORK/boxes.txt" || true
    done
    status=0
    wait $program || status=$?
}

# Settings as an earlier run wrote them (so that the end writes them back unchanged but for the mode), delete on: a
# printed a.prn that is gone shows they were read. 한글 is beyond Shift-JIS.
printf '%s\r\n' '[Config]' CommandFlag=0 PlaceShowCmd=1 PlaceMinPos.X=-1 PlaceMinPos.Y=-1 PlaceMaxPos.X=-1 \
    PlaceMaxPos.Y=-1 PlaceNormalPos.Left=16 PlaceNormalPos.Top=68 '[Command1]' '説明=初期化 한글' $'コマンド=\e@' \
    '[Command2]' 説明=表示 'コマンド="  q  "' '[Option]' TopMargin=11 BottomMargin=12 LeftMargin=13 RightMargin=14 \
    IsPrnFile=1 IsStretch=1 IsReverse=1 IsMarginZero=0 IsDeleteFile=1 >"$WORK/utf8.txt"
sed 's/^CommandFlag=0\r$/CommandFlag=1\r/' "$WORK/utf8.txt" >"$WORK/saved.txt"

for encoding in 'UTF-16LE \xff\xfe' 'UTF-16BE \xfe\xff' 'UTF-8 \xef\xbb\xbf'; do
    read -r name mark <<<"$encoding"
    encode() { printf "$mark"; iconv -f UTF-8 -t "$name" "$1"; }
    encode "$WORK/utf8.txt" >"$ini"
    print_answering
    check "$name: the settings were read (a.prn printed and deleted)" test ! -e "$WORK/a.prn" -a "$status" -eq 0
    check "$name: written back in its encoding, unchanged but for the mode" cmp "$ini" <(encode "$WORK/saved.txt")
done

# Shift-JIS from here on.
sed 's/ 한글//' "$WORK/utf8.txt" | iconv -f UTF-8 -t CP932 >"$WORK/sjis.ini"
sed 's/^CommandFlag=0\r$/CommandFlag=1\r/' "$WORK/sjis.ini" >"$WORK/sjis_saved.ini"

# Held open, shared with nobody, through the start and let go before the end: reported once, and the end does
# not save over it with defaults.
cp "$WORK/sjis.ini" "$ini"
rm -f "$WORK/held"
"$KELVAD_ROOT/scripts/wine" "$bin/hold_file.exe" "$(winpath "$ini")" "$(winpath "$WORK")\\held" &
holder=$!
for ((i = 0; i < 600; i++)); do [[ -e $WORK/held ]] && break; sleep 0.1; done
kelvad &
program=$!
"$KELVAD_ROOT/scripts/wine" "$bin/press_ok.exe" Kelvad32 10000 | tr -d '\r' >"$WORK/boxes.txt" || true
rm -f "$WORK/held"
wait $holder || true
timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_catalogue.exe" close
while kill -0 $program 2>/dev/null; do
    "$KELVAD_ROOT/scripts/wine" "$bin/press_ok.exe" Kelvad32 500 2>/dev/null | tr -d '\r' >>"$WORK/boxes.txt" || true
done
status=0
wait $program || status=$?
check "a file held at start: one box names it" test "$(cat "$WORK/boxes.txt")" = "$(winpath "$ini") を読み込めません."
check "a file held at start: not saved over at the end, status 0" cmp "$ini" "$WORK/sjis.ini"

# Hidden, with a temporary file of an earlier save cut short beside it.
cp "$WORK/sjis.ini" "$ini"
"$KELVAD_ROOT/scripts/wine" cmd /c attrib +h "$(winpath "$ini")"
printf 'left over' >"$ini.tmp"
print_answering
check "a hidden file: saved, no box" cmp "$ini" "$WORK/sjis_saved.ini"
check "a hidden file stays hidden" grep -q '^A *H ' <("$KELVAD_ROOT/scripts/wine" cmd /c attrib "$(winpath "$ini")")
check "the leftover temporary file is gone" test ! -e "$ini.tmp" -a ! -s "$WORK/boxes.txt"

# A folder that takes no new file (immutable) but whose settings file may be written: written in place.
cp "$WORK/sjis.ini" "$ini"
if chattr +i "$WORK/program"; then
    print_answering
    chattr -i "$WORK/program"
    check "a folder closed to new files: no box, status 0" test ! -s "$WORK/boxes.txt" -a "$status" -eq 0
    check "a folder closed to new files: the file written in place" cmp "$ini" "$WORK/sjis_saved.ini"
fi

# Read-only: a write failure, reported, the file as it was, and -p ends with status 1.
cp "$WORK/sjis.ini" "$ini"
chmod a-w "$ini"
print_answering
check "a read-only file: the write failure box" test "$(cat "$WORK/boxes.txt")" = "$(winpath "$ini") に書き込めません."
check "a read-only file: left as it was" cmp "$ini" "$WORK/sjis.ini"
check "a failed save after -p: exit status 1" test "$status" -eq 1
finish
