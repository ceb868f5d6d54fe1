# Sourced by the project's scripts: where the build, the Wine prefix and the printer output live.
KELVAD_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KELVAD_BUILD=${KELVAD_BUILD:-$KELVAD_ROOT/build}
# The presets build here whatever KELVAD_BUILD says (CMakePresets.json names the folders).
KELVAD_PRESETS=$KELVAD_ROOT/build
KELVAD_WINE=$KELVAD_BUILD/wine
# Each test printer's output lands in a file here (see README.md).
export KELVAD_OUT=$KELVAD_WINE/out

export WINEPREFIX=$KELVAD_WINE/prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# ANSI code page 932 inside Wine. Set only once the locale exists (set-up makes it), so that a new
# machine sees no "cannot change locale" warnings; scripts call this again after set-up.
# KELVAD_WINE_LANG names another locale instead (C.UTF-8: code page 1252, as on an English Windows).
kelvad_japanese_locale() {
    if [[ -n ${KELVAD_WINE_LANG:-} ]]; then
        export LANG=$KELVAD_WINE_LANG LC_ALL=$KELVAD_WINE_LANG
    elif locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
        export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
    fi
}
kelvad_japanese_locale
# Keeps a local CUPS from adding printers or changing the default.
export CUPS_SERVER=/nonexistent/cups.sock

# The 64-bit loader, named directly: /usr/bin/wine prefers the 32-bit loader whenever wine32 is
# installed, and that one cannot start on a kernel without 32-bit support.
KELVAD_WINE_LOADER=/usr/lib/wine/wine64
export WINELOADER=$KELVAD_WINE_LOADER
kelvad_can_run_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
