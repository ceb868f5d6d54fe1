#!/usr/bin/env bash
# The settings file is Shift-JIS with CR LF whatever the system code page: a file in the layout earlier versions
# wrote reads back whole (command strings to the byte, bytes no other code page holds among them), and an
# automatic print under code page 932, one under 1252 and one under 65001 write the same bytes back.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# The program stands in a folder whose name code page 932 cannot hold: its settings file is beside it all the same.
mv "$WORK/program" "$WORK/프로그램"
KELVAD_RUN=$WORK/프로그램/$(basename "$KELVAD_RUN")
ini="${KELVAD_RUN%.*}.INI"

# 改ページ, 表示 (whose second byte is a backslash), ｶﾅ, a full-width space, the bytes 0x81 0x9D 0xA0, which
# code page 1252 leaves without a character, and a closing 0x1A, which is no blank; and blanks kept by quotes.
printf '%s\r\n' '[Config]' CommandFlag=0 PlaceShowCmd=1 PlaceMinPos.X=-1 PlaceMinPos.Y=-1 PlaceMaxPos.X=-1 \
    PlaceMaxPos.Y=-1 PlaceNormalPos.Left=16 PlaceNormalPos.Top=68 '[Command1]' 説明=改ページ $'コマンド="\e@\f"' \
    '[Command2]' 説明=表示 $'コマンド=ｶﾅ　@RAW@\eq\x1a' '[Command3]' '説明=" 空白 "' $'コマンド="  \e"q"  "' '[Option]' \
    TopMargin=11 BottomMargin=12 LeftMargin=13 RightMargin=14 IsPrnFile=1 IsStretch=0 IsReverse=1 IsMarginZero=0 \
    IsDeleteFile=0 | iconv -f UTF-8 -t CP932 | LC_ALL=C sed 's/@RAW@/\x81\x9d\xa0/' >"$WORK/earlier.ini"
printf 'settings\x00\x81\x9d\r\n' >"$WORK/a.prn"

# One automatic print from the earlier file under the given locale; its settings file is kept as $1.ini.
print_under() {
    cp "$WORK/earlier.ini" "$ini"
    rm -f "$KELVAD_OUT/kelvad-printer.bin"
    local status=0
    KELVAD_WINE_LANG=$2 kelvad -p "$(winpath "$WORK/a.prn")" || status=$?
    check "under $2: the file printed" cmp "$KELVAD_OUT/kelvad-printer.bin" "$WORK/a.prn"
    check "under $2: exit status 0" test "$status" -eq 0
    cp "$ini" "$WORK/$1.ini"
}
print_under 932 ja_JP.UTF-8
check "C.UTF-8 has code page 1252" test "$(KELVAD_WINE_LANG=C.UTF-8 code_page)" = 1252
print_under 1252 C.UTF-8
check "hi_IN.UTF-8 has code page 65001" test "$(KELVAD_WINE_LANG=hi_IN.UTF-8 code_page)" = 65001
print_under 65001 hi_IN.UTF-8

check "the same bytes under code pages 932 and 1252" cmp "$WORK/932.ini" "$WORK/1252.ini"
check "the same bytes under code pages 932 and 65001" cmp "$WORK/932.ini" "$WORK/65001.ini"
# Everything but the mode flag (an automatic print stores file mode) comes back as it was read.
check "every command string and option written back byte for byte" \
    cmp <(sed 's/^CommandFlag=0\r$/CommandFlag=1\r/' "$WORK/earlier.ini") "$WORK/1252.ini"
finish
