#!/usr/bin/env bash
# The settings file is never lost or damaged: a file saved as UTF-16 (either byte order) or UTF-8 with a mark is read
# and written back in its encoding; one held by another program at start is reported and not saved over; a folder
# that takes no new file is written in place; a hidden file stays hidden and our leftover temporary file goes; a
# read-only file is a write failure, and after -p exit status 1.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bin=$(dirname "$KELVAD_EXE")
ini="${KELVAD_RUN%.*}.INI"
trap 'chattr -i "$WORK/program" 2>/dev/null; rm -rf "$WORK"' EXIT
in_wine() { "$KELVAD_ROOT/scripts/wine" "$@"; }

# Runs -p of a new a.prn (with "window": the program alone), answering every box captioned Kelvad32 until it ends:
# their texts are added to boxes.txt, the exit status lands in $status.
run_answering() {
    printf 'kept\x1b@\r\n' >"$WORK/a.prn"
    if [[ ${1:-} == window ]]; then kelvad & else kelvad -p "$(winpath "$WORK/a.prn")" & fi
    local program=$!
    while kill -0 $program 2>/dev/null; do
        in_wine "$bin/press_ok.exe" Kelvad32 500 2>/dev/null | tr -d '\r' >>"$WORK/boxes.txt" || true
    done
    status=0
    wait $program || status=$?
}

# As an earlier run wrote them (the end writes them back unchanged but for the mode), delete on: a printed a.prn that
# is gone shows they were read. 한글 is beyond Shift-JIS.
printf '%s\r\n' '[Config]' CommandFlag=0 PlaceShowCmd=1 PlaceMinPos.X=-1 PlaceMinPos.Y=-1 PlaceMaxPos.X=-1 \
    PlaceMaxPos.Y=-1 PlaceNormalPos.Left=16 PlaceNormalPos.Top=68 '[Command1]' '説明=初期化 한글' $'コマンド=\e@' \
    '[Command2]' 説明=表示 'コマンド="  q  "' '[Option]' TopMargin=11 BottomMargin=12 LeftMargin=13 RightMargin=14 \
    IsPrnFile=1 IsStretch=1 IsReverse=1 IsMarginZero=0 IsDeleteFile=1 >"$WORK/utf8.txt"
saved() { sed 's/^CommandFlag=0\r$/CommandFlag=1\r/' "$@"; }
read_and_written_back() { [[ ! -e $WORK/a.prn && $status -eq 0 ]] && cmp "$ini" <(saved "$WORK/utf8.txt" | encode); }
for encoding in 'UTF-16LE \xff\xfe' 'UTF-16BE \xfe\xff' 'UTF-8 \xef\xbb\xbf'; do
    read -r charset mark <<<"$encoding"
    encode() { printf "$mark"; iconv -f UTF-8 -t "$charset"; }
    encode <"$WORK/utf8.txt" >"$ini"
    run_answering
    check "$charset: read (a.prn printed and deleted), written back in its encoding but for the mode" read_and_written_back
done

sed 's/ 한글//' "$WORK/utf8.txt" | iconv -f UTF-8 -t CP932 >"$WORK/sjis.ini"
saved "$WORK/sjis.ini" >"$WORK/sjis_saved.ini"
# Held open, shared with nobody, through the start and let go once the start's box is answered; the window is then
# closed: one box, and no save over the file at the end.
cp "$WORK/sjis.ini" "$ini"
in_wine "$bin/hold_file.exe" "$(winpath "$WORK")\\release" "$(winpath "$ini")" >"$WORK/holding" &
holder=$!
for ((i = 0; i < 600; i++)); do grep -qs held "$WORK/holding" && break; sleep 0.1; done
(for ((i = 0; i < 300; i++)); do [[ -s $WORK/boxes.txt ]] && break; sleep 0.1; done
    touch "$WORK/release"
    while kill -0 $holder 2>/dev/null; do sleep 0.1; done
    timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_catalogue.exe" close) &
run_answering window
wait
check "a file held at start: one box names it" test "$(cat "$WORK/boxes.txt")" = "$(winpath "$ini") を読み込めません."
check "a file held at start: not saved over" cmp "$ini" "$WORK/sjis.ini"

# Hidden, with a temporary file of an earlier save cut short beside it; then a folder that takes no new file
# (immutable) while the file may be written: both saved, with no box.
: >"$WORK/boxes.txt"
cp "$WORK/sjis.ini" "$ini"
in_wine cmd /c attrib +h "$(winpath "$ini")"
printf 'left over' >"$ini.tmp"
run_answering
check "a hidden file: saved, the leftover temporary file gone" cmp "$ini" "$WORK/sjis_saved.ini"
check "a hidden file stays hidden" test ! -e "$ini.tmp" -a -n "$(in_wine cmd /c attrib "$(winpath "$ini")" | grep '^A *H ')"
cp "$WORK/sjis.ini" "$ini"
if chattr +i "$WORK/program"; then
    run_answering
    chattr -i "$WORK/program"
    check "a folder closed to new files: the file written in place" cmp "$ini" "$WORK/sjis_saved.ini"
fi
check "no box in those runs, status 0" test ! -s "$WORK/boxes.txt" -a "$status" -eq 0

# Read-only: a write failure, reported, the file as it was, and -p ends with status 1.
: >"$WORK/boxes.txt"
cp "$WORK/sjis.ini" "$ini"
chmod a-w "$ini"
run_answering
check "a read-only file: the write failure box" test "$(cat "$WORK/boxes.txt")" = "$(winpath "$ini") に書き込めません."
unchanged_and_failed() { cmp "$ini" "$WORK/sjis.ini" && [[ $status -eq 1 ]]; }
check "a read-only file: left as it was, exit status 1 after -p" unchanged_and_failed
finish
