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
drive() { timeout 120 "$KELVAD_ROOT/scripts/wine" "$(dirname "$KELVAD_EXE")/drive_catalogue.exe" "$@" | tr -d '\r'; }
run() { kelvad & drive place close; wait $!; }
stored() { LC_ALL=C sed -n "s/^PlaceNormalPos\.$1=\([-0-9]*\)\r$/\1/p" "$ini"; }
for place in "5000 4000" "-3000 -2000"; do
    printf '[Config]\r\nPlaceNormalPos.Left=%s\r\nPlaceNormalPos.Top=%s\r\n' $place >"$ini"
    read -r l t r b wl wt wr wb <<<"$(run)"
    check "stored at $place: $l $t $r $b, 144-DPI size, wholly on the work area $wl $wt $wr $wb" \
        test "$l" -ge "$wl" -a "$t" -ge "$wt" -a "$r" -le "$wr" -a "$b" -le "$wb" -a $((r - l)) -gt 675
    check "the place shown is written back" test "$(stored Left) $(stored Top)" = "$l $t"
done
finish
