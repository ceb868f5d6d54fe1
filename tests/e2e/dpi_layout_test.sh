#!/usr/bin/env bash
# The windows at 144 and 192 DPI: the layout tests run again with their invariant check, which compares every
# place, size and font height with the same test's run at 96 DPI, scaled. LogPixels goes back to 96 whatever happens.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tests="$(dirname "$1")/kelvad_win_tests.exe"
filter='MainFormTest.FileMode*:SetupPrinterTest.Layout*:NowPrinting.Window*:AboutBoxTest.Fixed*:CommandStringsTest.EditorTyped*'
work=$(mktemp -d)
source "$root/scripts/env.sh"
set_dpi() {
    "$root/scripts/wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
trap 'set_dpi 96; rm -rf "$work"' EXIT
set_dpi 96
KELVAD_LAYOUT_RECORD="$work/96.txt" "$root/scripts/wine" "$tests" --gtest_brief=1 --gtest_filter="$filter"
for dpi in 144 192; do
    set_dpi "$dpi"
    echo "at $dpi DPI"
    KELVAD_LAYOUT_BASE="$work/96.txt" "$root/scripts/wine" "$tests" --gtest_brief=1 --gtest_filter="$filter"
done
