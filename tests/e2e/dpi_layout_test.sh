#!/usr/bin/env bash
# The layout tests at 96 DPI, recorded, then at 144 and 192 DPI, where their invariant check also wants every place,
# size and font height to be the 96-DPI one scaled. LogPixels goes back to 96 whatever happens.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd) work=$(mktemp -d)
source "$root/scripts/env.sh"
set_dpi() {
    "$root/scripts/wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
trap 'set_dpi 96; rm -rf "$work"' EXIT
for dpi in 96 144 192; do
    set_dpi "$dpi" && echo "at $dpi DPI"
    if [ "$dpi" = 96 ]; then export KELVAD_LAYOUT_RECORD="$work/96.txt"; else
        unset KELVAD_LAYOUT_RECORD; export KELVAD_LAYOUT_BASE="$work/96.txt"; fi
    "$root/scripts/wine" "$(dirname "$1")/kelvad_win_tests.exe" --gtest_brief=1 --gtest_filter='MainFormTest.FileMode*:'\
'SetupPrinterTest.Layout*:NowPrinting.Window*:AboutBoxTest.Fixed*:CommandStringsTest.EditorTyped*'
done
