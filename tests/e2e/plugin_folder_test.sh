#!/usr/bin/env bash
# Image plug-ins come from the program's own folder (or the system folder) only: a library planted under a
# plug-in's name in the current folder or in a PATH folder is never loaded. The program runs alone in a folder of
# its own, so that no plug-in shipped beside it answers first.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
press_ok="$(dirname "$KELVAD_EXE")/press_ok.exe"
marker="$(dirname "$KELVAD_EXE")/testplugins/marker/planted.spi"

bare=$WORK/bare
mkdir "$bare" "$WORK/cwd" "$WORK/path"
cp "$KELVAD_EXE" "$bare/"
printf '%s\r\n' '[Option]' 'TopMargin=20' 'BottomMargin=20' 'LeftMargin=20' 'RightMargin=20' 'IsPrnFile=0' \
    'IsStretch=1' 'IsReverse=0' 'IsMarginZero=0' 'IsDeleteFile=0' >"$bare/Kelvad32.INI"
cp "$marker" "$WORK/cwd/ifmag.spi"
cp "$marker" "$WORK/path/ifmag.spi"
echo 'not a picture' >"$WORK/cwd/x.mag"
picture="$(winpath "$WORK/cwd")\\x.mag"

# Runs the bare program with -p x.mag from the planted folder, a PATH folder holding the library too; prints the
# text of the message box it shows.
print_mag() {
    (cd "$WORK/cwd" && WINEPATH=$(winpath "$WORK/path") timeout 120 "$KELVAD_ROOT/scripts/wine" \
        "$bare/Kelvad32.exe" -p x.mag >/dev/null 2>&1) &
    local program=$!
    "$KELVAD_ROOT/scripts/wine" "$press_ok" Kelvad32 | iconv -f CP932 -t UTF-8 | tr -d '\r' || true
    wait $program || true
}

box=$(print_mag)
check "nothing beside the program: the not-found message" test "$box" = "IFMAG.SPI not found [$picture]"
check "the library in the current folder was not loaded" test ! -e "$WORK/cwd/loaded.mark"
check "the library in the PATH folder was not loaded" test ! -e "$WORK/path/loaded.mark"

# The same library beside the program is loaded, and refused: it has none of the plug-in calls.
cp "$marker" "$bare/ifmag.spi"
box=$(print_mag)
check "beside the program it is loaded" test -e "$bare/loaded.mark"
check "and refused as a plug-in" test "$box" = "その他のエラー [$picture]"
check "still nothing from the current folder or PATH" test ! -e "$WORK/cwd/loaded.mark" -a ! -e "$WORK/path/loaded.mark"
finish
