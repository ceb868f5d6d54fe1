#!/usr/bin/env bash
# Command strings with the real program: entries typed into the editor, each sent from command-string mode
# as a spool job of its own holding exactly the string's bytes; a printer that refuses the job is named in a
# stop box, and the buttons come back.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bin=$(dirname "$KELVAD_EXE")
drive() { timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_catalogue.exe" "$@" | tr -d '\r'; }
printer_bin="$KELVAD_OUT/kelvad-printer.bin"
# Our own StartDocPrinter calls as the spooler's trace shows them (the spooler's inner job for the port
# follows each with the port as its output file).
our_jobs() { grep -a 'StartDocPrinterW' "$WORK/trace" | grep -v 'L"LPT\|L"COM' || true; }

# Wine hands the program its arguments in Shift-JIS: ページ送り arrives as these bytes.
jp=ページ送り
jp_bytes=$(printf '\x83\x79\x81\x5b\x83\x57\x91\x97\x82\xe8')
typed='\x1b@^[E\\'                                       # backslash and caret notations, as typed
long=$(head -c 3000 /dev/urandom | base64 -w0 | head -c 1000)

rm -f "$printer_bin"
WINEDEBUG=+winspool timeout 300 "$KELVAD_ROOT/scripts/wine" "$KELVAD_RUN" >"$WORK/stdout" 2>"$WORK/trace" &
program=$!
trap 'kill $program 2>/dev/null || true; rm -rf "$WORK"' EXIT
drive mode insert "ASCII" "ABC" insert "全角" "$jp" insert "記法" "$typed" insert "長い文字列" "$long" \
    state click cmd 0 state print >"$WORK/state1"
check "nothing selected after inserts, a click selects both rows" \
    test "$(cat "$WORK/state1")" = "$(printf '%s\n' \
        'print=0 change=1 quit=1 edit=0 delete=0 insert=1 selected=-1/-1' \
        'print=1 change=1 quit=1 edit=1 delete=1 insert=1 selected=0/0')"
check "ABC: exactly 41 42 43 at the printer" test "$(od -An -tx1 "$printer_bin" | tr -d ' \n')" = 414243
check "ABC: the job is named Kelvad ABC, raw data, no output file" \
    test "$(our_jobs | grep -c '{L"Kelvad ABC", (null), L"RAW"}')" -eq 1

drive print click cmd 1 print click cmd 2 print click cmd 3 print >/dev/null
printf 'ABCABC%s%s%s' "$jp_bytes" "$typed" "$long" >"$WORK/expected.bin"
check "each string sent whole and as it stands, the same one twice" cmp "$printer_bin" "$WORK/expected.bin"
check "one job per press" test "$(our_jobs | wc -l)" -eq 5
check "two jobs named Kelvad ABC" test "$(our_jobs | grep -c '{L"Kelvad ABC", (null),')" -eq 2

# The refusing printer: the box names it, nothing reaches the other printer, the buttons come back.
"$KELVAD_ROOT/scripts/wine" "$bin/press_ok.exe" Kelvad 60000 >"$WORK/box.txt" &
answer=$!
drive click printer "Kelvad Refuse" click cmd 0 print state >"$WORK/state2"
wait $answer || true
check "refused: the stop box names the printer" test "$(tr -d '\r' <"$WORK/box.txt")" = "Kelvad Refuse に出力できません"
check "refused: output, mode switch and quit enabled again" \
    test "$(cat "$WORK/state2")" = 'print=1 change=1 quit=1 edit=1 delete=1 insert=1 selected=0/0'
check "refused: nothing more at the default printer" cmp "$printer_bin" "$WORK/expected.bin"

# The program closes when asked: no output is left under way.
drive close
status=0
wait $program || status=$?
check "the program ends normally" test "$status" -eq 0
finish
