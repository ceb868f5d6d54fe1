#!/usr/bin/env bash
# A window place stored where no monitor is, read at 144 DPI: the window opens wholly on the work area, at the
# scaled size, and that place is what the settings file gets back. LogPixels goes back to 96 whatever happens.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
ini="${KELVAD_RUN%.*}.INI"
set_dpi() {
    "$KELVAD_ROOT/scripts/wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
trap 'set_dpi 96; rm -rf "$WORK"' EXIT
set_dpi 144
run() { kelvad & timeout 120 "$KELVAD_ROOT/scripts/wine" "$(dirname "$KELVAD_EXE")/drive_catalogue.exe" place close
    wait $!; }
stored() { iconv -f CP932 -t UTF-8 "$ini" | tr -d '\r' | sed -n "s/^PlaceNormalPos\.$1=//p"; }
run >/dev/null
for place in "5000 4000" "-3000 -2000"; do
    read -r left top <<<"$place"
    sed -i "s/^PlaceNormalPos\.Left=.*\r/PlaceNormalPos.Left=$left\r/" "$ini"
    sed -i "s/^PlaceNormalPos\.Top=.*\r/PlaceNormalPos.Top=$top\r/" "$ini"
    check "the place $place stands in the settings file" test "$(stored Left) $(stored Top)" = "$place"
    shown=$(run | tr -d "\r")
    read -r l t r b wl wt wr wb <<<"$shown"
    check "stored at $place: shown at $l $t $r $b, wholly on the work area $wl $wt $wr $wb" \
        test "$l" -ge "$wl" -a "$t" -ge "$wt" -a "$r" -le "$wr" -a "$b" -le "$wb"
    check "the window is the 144-DPI one (client 675 wide)" test $((r - l)) -gt 675
    check "the place shown is written back" test "$(stored Left) $(stored Top)" = "$l $t"
done
finish
