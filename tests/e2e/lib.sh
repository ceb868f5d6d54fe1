# Sourced by the end-to-end tests: runs the real Kelvad32.exe under Wine and checks what reached
# the test printers. Each test gets the program's path as $1.
set -euo pipefail
# A command that ends the test early says which, with its status, rather than leaving a silent stop.
trap 'echo "FATAL ${0##*/}:$LINENO: status $? from: $BASH_COMMAND" >&2' ERR
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"
KELVAD_EXE=$(realpath "${1:?usage: $0 PATH/TO/Kelvad32.exe}")
WORK=$(mktemp -d "$KELVAD_BUILD/e2e.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
# Each test runs a copy of the program of its own, with the image plug-ins beside it: the settings file
# beside it is the test's alone and starts absent.
mkdir "$WORK/program"
cp "$KELVAD_EXE" "$WORK/program/"
find "$(dirname "$KELVAD_EXE")" -maxdepth 1 -name '*.spi' -exec cp {} "$WORK/program/" \;
KELVAD_RUN=$WORK/program/$(basename "$KELVAD_EXE")
failures=0
checks=0

# The ANSI code page inside Wine: 932 unless the run names another locale (KELVAD_WINE_LANG) and its code page
# (KELVAD_WINE_ACP). The tool stands beside the program of a build; a packaged program has none, and the tool of
# a build is used before the program's first run (a package test on a machine that cannot start it runs none).
code_page_tool() {
    local tool
    for tool in "$(dirname "$KELVAD_EXE")" "$KELVAD_PRESETS/mingw64/bin" "$KELVAD_PRESETS/mingw32/bin"; do
        [[ -f $tool/code_page.exe ]] && { echo "$tool/code_page.exe"; return 0; }
    done
    echo "FATAL: no code_page.exe beside $KELVAD_EXE or in a build" >&2
    return 1
}
code_page() {
    local tool
    tool=$(code_page_tool) || exit 1
    "$KELVAD_ROOT/scripts/wine" "$tool" | tr -d '\r'
}
code_page_checked=0
check_code_page() {
    ((code_page_checked)) && return 0
    local acp
    acp=$(code_page)
    if [[ $acp != "${KELVAD_WINE_ACP:-932}" ]]; then
        echo "FATAL: the ANSI code page is $acp, not ${KELVAD_WINE_ACP:-932}" >&2
        exit 1
    fi
    code_page_checked=1
}
if [[ -f $(dirname "$KELVAD_EXE")/code_page.exe ]]; then
    check_code_page
fi

# The file as a Windows path (Z: is the Linux root).
winpath() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }

# Runs the program with the given arguments; a hang is a failure, not a wait.
kelvad() {
    check_code_page
    local status=0
    timeout 120 "$KELVAD_ROOT/scripts/wine" "$KELVAD_RUN" "$@" >"$WORK/stdout" 2>"$WORK/stderr" || status=$?
    return $status
}

check() {
    local name=$1
    shift
    checks=$((checks + 1))
    if "$@"; then
        echo "ok   $name"
    else
        echo "FAIL $name"
        # What was compared, so that a failure seen once can be understood afterwards.
        printf '     %.400s\n' "$*"
        failures=$((failures + 1))
    fi
}

finish() {
    echo "$((checks - failures)) passed, $failures failed"
    [[ $failures -eq 0 ]]
}
