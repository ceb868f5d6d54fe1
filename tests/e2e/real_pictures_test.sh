#!/usr/bin/env bash
# Pictures as their writers lay them out, printed with -p in image mode inside margins of 50 mm: each page
# shows its picture's ink inside the picture's rectangle and nowhere else, as it looks on screen (transparent is
# the paper); the files no job could render are refused with the loader's message, and the run ends with status 1.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
press_ok="$(dirname "$KELVAD_EXE")/press_ok.exe"

mapfile -t pictures < <(python3 "$(dirname "${BASH_SOURCE[0]}")/real_pictures.py" "$WORK")
printf '%s\r\n' '[Option]' 'TopMargin=50' 'BottomMargin=50' 'LeftMargin=50' 'RightMargin=50' 'IsPrnFile=0' \
    'IsStretch=1' 'IsReverse=0' 'IsMarginZero=0' 'IsDeleteFile=0' >"$WORK/program/Kelvad32.INI"
names=() boxes=()
for p in "${pictures[@]}"; do
    names+=("$(winpath "$WORK/${p%% *}")")
    [[ $p == *message ]] && boxes+=("未知のフォーマット [${names[-1]}]")
done

rm -f "$KELVAD_OUT/kelvad-printer.bin"
kelvad -p "${names[@]}" &
program=$!
for box in "${boxes[@]}"; do
    check "${box% *} refused with the loader's message" \
        test "$("$KELVAD_ROOT/scripts/wine" "$press_ok" Kelvad32 120000 | tr -d '\r')" = "$box"
done
status=0
wait $program || status=$?
check "exit status 1" test "$status" -eq 1
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r50.8 -sOutputFile="$WORK/page-%02d.ppm" "$KELVAD_OUT/kelvad-printer.bin" || true
mapfile -t pages < <(python3 "$(dirname "${BASH_SOURCE[0]}")/real_pictures.py" measure "$WORK"/page-*.ppm)
near() { python3 -c "import sys; sys.exit(abs($1 - $2) > 0.6)"; }
check "one page per file" test "${#pages[@]}" -eq "${#pictures[@]}"

# The rectangle is 50 to 160 mm across and 50 to 247 mm down.
for i in "${!pictures[@]}"; do
    read -r name ink colours <<<"${pictures[$i]}"
    read -r l t r b left right <<<"${pages[$i]:--1 -1 -1 -1}"
    case $ink in
    empty | message) check "$name: page empty" test "${pages[$i]:-}" = empty; continue ;;
    full) want="50 160 ${colours%-*} ${colours#*-}" ;;
    left) want="50 105 $colours $colours" ;;
    right) want="105 160 $colours $colours" ;;
    esac
    read -r wl wr wleft wright <<<"$want"
    check "$name: $ink $colours inside the rectangle (${pages[$i]:-none})" \
        eval 'near $l $wl && near $r $wr && near $t 50 && near $b 247 && test "$left $right" = "$wleft $wright"'
done
finish
