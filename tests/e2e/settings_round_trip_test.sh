#!/usr/bin/env bash
# The settings file end to end: a run that switches the mode, adds two command strings and sets image files
# and four margins in the setup dialog stores them at its end; the next start shows them again and,
# quitting at once, writes the same file back. A settings
# file that cannot be written is reported in the error box and the program still ends.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bin=$(dirname "$KELVAD_EXE")
ini="${KELVAD_RUN%.*}.INI"
catalogue() { timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_catalogue.exe" "$@"; }
setup() { timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_setup.exe" "$@"; }
start() { kelvad "$@" & }
# A value of the settings file, as UTF-8 text.
value() { iconv -f CP932 -t UTF-8 "$ini" | tr -d '\r' | awk -F= -v s="[$1]" -v k="$2" \
    '/^\[/ {in_s = ($0 == s)} in_s && $1 == k {sub(/^[^=]*=/, ""); print; exit}'; }

start
program=$!
catalogue mode insert "初期化" "ESC@" insert " 空白と引用符 " '  "quoted"  '
# co_SetUp has no caption: it is clicked at its place. The margin fields are top, bottom, left, right.
setup clickat:Kelvad32:312:256 click:画像ファイル text:設定:0:11 text:設定:1:12 text:設定:2:13 text:設定:3:14 click:OK
catalogue close
status=0
wait $program || status=$?
check "first run ends with status 0" test "$status" -eq 0
check "command-string mode stored" test "$(value Config CommandFlag)" = 0
check "first command string stored" test "$(value Command1 説明)/$(value Command1 コマンド)" = "初期化/ESC@"
check "blanks and quotes kept by one more pair of quotes" \
    test "$(value Command2 コマンド)" = '"  "quoted"  "'
check "no third command section" test -z "$(value Command3 説明)"
check "image files and the four margins stored" test "$(value Option IsPrnFile) $(value Option TopMargin) \
$(value Option BottomMargin) $(value Option LeftMargin) $(value Option RightMargin)" = "0 11 12 13 14"
cp "$ini" "$WORK/first.ini"

start
program=$!
catalogue close
wait $program || true
check "a restart reads everything and writes the same file back" cmp "$ini" "$WORK/first.ini"

# An automatic print ends by saving too; its file argument has replaced the stored command-string mode.
mkdir "$WORK/print"
cp "$KELVAD_RUN" "$WORK/print/"
# Printer files this time, so that the file goes out raw.
sed 's/^IsPrnFile=0/IsPrnFile=1/' "$WORK/first.ini" >"$WORK/print/Kelvad32.INI"
printf 'settings\r\n' >"$WORK/print/a.prn"
status=0
timeout 120 "$KELVAD_ROOT/scripts/wine" "$WORK/print/Kelvad32.exe" -p "$(winpath "$WORK/print/a.prn")" || status=$?
check "automatic print ends with status 0" test "$status" -eq 0
check "after it file mode is stored, the command strings kept" \
    test "$(ini="$WORK/print/Kelvad32.INI" value Config CommandFlag)/$(ini="$WORK/print/Kelvad32.INI" value Command1 説明)" = "1/初期化"

# A start-up cut short before the settings are read (here: no default printer) keeps the file as it is.
key='HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows'
device=$("$KELVAD_ROOT/scripts/wine" reg query "$key" /v device | tr -d '\r' | sed -n 's/^ *device *REG_SZ *//p')
restore_default() { "$KELVAD_ROOT/scripts/wine" reg add "$key" /v device /t REG_SZ /d "$device" /f >/dev/null; }
trap 'restore_default; rm -rf "$WORK"' EXIT
trap 'exit 143' TERM INT HUP
"$KELVAD_ROOT/scripts/wine" reg delete "$key" /v device /f >/dev/null
start
program=$!
"$KELVAD_ROOT/scripts/wine" "$bin/press_ok.exe" Kelvad32 >"$WORK/box.txt" || true
# The window may still be up after the box: it is closed as a user would.
catalogue close 2>/dev/null || true
wait $program || true
restore_default
check "no default printer is reported" test "$(tr -d '\r' <"$WORK/box.txt")" = "ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません."
check "a start cut short leaves the settings file as it was" cmp "$ini" "$WORK/first.ini"

# A settings file nobody may write (immutable: a read-only attribute does not stop root under Wine; where
# the file system cannot mark it so, a folder of the same name stands in).
if chattr +i "$ini" 2>/dev/null; then
    trap 'restore_default; chattr -i "$ini" 2>/dev/null; rm -rf "$WORK"' EXIT
else
    rm -f "$ini" && mkdir "$ini"
fi
start
program=$!
catalogue mode close
"$KELVAD_ROOT/scripts/wine" "$bin/press_ok.exe" Kelvad32 >"$WORK/box.txt" || true
status=0
wait $program || status=$?
check "the error box names the settings file" \
    test "$(tr -d '\r' <"$WORK/box.txt")" = "$(winpath "$ini") に書き込めません."
check "the program still ends" test "$status" -eq 0
if [[ -f $ini ]]; then
    check "the settings file is left as it was" cmp "$ini" "$WORK/first.ini"
fi
finish
