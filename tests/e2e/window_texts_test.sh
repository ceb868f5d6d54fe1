#!/usr/bin/env bash
# The windows' texts read back through the W functions under the run's code page (932; 1252 in the
# e2e_cp1252_ entry): the main window in both modes, the setup dialog, the about box and the command-string
# editor show the program's Japanese texts, a Japanese file name and printer name come through whole, and the
# editor refuses a character code page 932 cannot hold, naming it, instead of storing it as '?'.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bin=$(dirname "$KELVAD_EXE")
setup() { timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_setup.exe" "$@" | tr -d '\r'; }
catalogue() { timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_catalogue.exe" "$@" | tr -d '\r'; }
# A window's texts on one line, "|" between them: list items (indented) left out, or with -e only they.
texts() { grep ${2:--v} '^  ' "$1" | paste -sd'|'; }
ini="${KELVAD_RUN%.*}.INI"

printf 'x' >"$WORK/資料.prn"
kelvad "$(winpath "$WORK/資料.prn")" &
program=$!
trap 'kill $program 2>/dev/null || true; rm -rf "$WORK"' EXIT

setup texts:Kelvad32 >"$WORK/main.txt"
setup clickat:Kelvad32:312:256 texts:設定 click:ｷｬﾝｾﾙ >"$WORK/setup.txt"
setup click:'About(&A)' texts:バージョン情報 click:OK >"$WORK/about.txt"
check "the main window's texts in file mode" test "$(texts "$WORK/main.txt")" = \
    "Kelvad32|追加|Open(&O)|出力(&P)|切換(&C)|終了(&X)|About(&A)|FileName|出力先:|Kelvad Printer"
check "the file list holds the Japanese name" grep -qxF "  $(winpath "$WORK/資料.prn")" "$WORK/main.txt"
check "the printer list names テストプリンタ and Kelvad 한글" \
    test "$(grep -cxe '  テストプリンタ' -e '  Kelvad 한글' "$WORK/main.txt")" -eq 2
check "the setup dialog's texts" test "$(texts "$WORK/setup.txt")" = "$(printf %s '設定|OK|ｷｬﾝｾﾙ|ﾍﾙﾌﾟ(&H)|' \
    'ファイル形式|Prnファイル|画像ファイル|20|20|20|20|プリンタの設定|画像を用紙全体に印刷する|画像を反転する|' \
    'マージンを０にする|出力後ファイル削除|機種名：Kelvad Printer|マージンの設定|上|下|左|右')"
check "the about box's texts" test "$(texts "$WORK/about.txt")" = \
    "バージョン情報|OK|Kelvad32|Version 1.2|Kelvad はフリーソフトウエアーです"

# An entry typed in Japanese, then one whose command holds 한: OK is refused with a box naming it, the field
# comes back with it selected ("from-to"), and cancelling leaves the catalogue as it was.
catalogue mode insert 改ページ ＡＢＣ ins type 説明 a한 enter box fields >"$WORK/refused.txt"
catalogue texts editor >"$WORK/editor.txt"
catalogue cancel texts main >"$WORK/command.txt"
check "the refused character named, the command field back with it selected" \
    test "$(texts "$WORK/refused.txt")" = "한 は使用できない文字です|説明 2-2|a한 1-2 focus"
check "the editor's texts" test "$(texts "$WORK/editor.txt")" = \
    "コマンド文字列の追加、編集|説明|a한|OK|ｷｬﾝｾﾙ|説明|コマンド文字列"
check "the main window's texts in command-string mode" test "$(texts "$WORK/command.txt")" = \
    "Kelvad32|Ins(&I)|Edit(&E)|Del(&D)|出力(&P)|切換(&C)|終了(&X)|About(&A)|出力先:|Kelvad Printer"
check "the catalogue holds the typed entry alone" \
    test "$(texts "$WORK/command.txt" -e | cut -d'|' -f1,2)" = "  改ページ|  ＡＢＣ"

catalogue close
status=0
wait $program || status=$?
check "the program ends normally" test "$status" -eq 0
check "the typed entry is stored in Shift-JIS" \
    grep -qx 'コマンド=ＡＢＣ' <(iconv -f CP932 -t UTF-8 "$ini" | tr -d '\r')
finish
