#!/usr/bin/env bash
# The windows' texts read back through the W functions under the run's code page (932; 1252 in the
# e2e_cp1252_ entry): the main window in both modes, the setup dialog, the about box and the command-string
# editor show the program's Japanese texts, a Japanese file name and printer name come through whole, and the
# editor refuses a character code page 932 cannot hold, naming it, instead of storing it as '?'.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bin=$(dirname "$KELVAD_EXE")
setup() { timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_setup.exe" "$@" | tr -d '\r'; }
catalogue() { timeout 120 "$KELVAD_ROOT/scripts/wine" "$bin/drive_catalogue.exe" "$@" | tr -d '\r'; }
ini="${KELVAD_RUN%.*}.INI"

printf 'x' >"$WORK/資料.prn"
kelvad "$(winpath "$WORK/資料.prn")" &
program=$!
trap 'kill $program 2>/dev/null || true; rm -rf "$WORK"' EXIT

# The list items (indented) are checked on their own; the rest of a window's texts as a whole.
setup texts:Kelvad32 >"$WORK/main.txt"
check "the file list holds the Japanese name" \
    test "$(grep '^  Z:' "$WORK/main.txt")" = "  $(winpath "$WORK/資料.prn")"
check "the printer list names テストプリンタ" grep -qx '  テストプリンタ' "$WORK/main.txt"
check "the main window's texts in file mode" diff - <(grep -v '^  ' "$WORK/main.txt") <<'TEXTS'
Kelvad32
Button: 追加
Button: Open(&O)
ListBox
ListBox
Button: 出力(&P)
Button: 切換(&C)
Button: 終了(&X)
Button
Button
Button: About(&A)
Static: FileName
Static: 出力先:
Static: Kelvad Printer
TEXTS

setup clickat:Kelvad32:312:256 texts:設定 click:ｷｬﾝｾﾙ >"$WORK/setup.txt"
check "the setup dialog's texts" diff - "$WORK/setup.txt" <<'TEXTS'
設定
Button: OK
Button: ｷｬﾝｾﾙ
Button: ﾍﾙﾌﾟ(&H)
Button: ファイル形式
Button: Prnファイル
Button: 画像ファイル
Edit: 20
msctls_updown32
Edit: 20
msctls_updown32
Edit: 20
msctls_updown32
Edit: 20
msctls_updown32
Button: プリンタの設定
Button: 画像を用紙全体に印刷する
Button: 画像を反転する
Button: マージンを０にする
Button: 出力後ファイル削除
UiPanel
Static: 機種名：Kelvad Printer
UiPanel
Static: マージンの設定
Static: 上
Static: 下
Static: 左
Static: 右
TEXTS

setup click:'About(&A)' texts:バージョン情報 click:OK >"$WORK/about.txt"
check "the about box's texts" diff - "$WORK/about.txt" <<'TEXTS'
バージョン情報
Button: OK
UiPanel
KelvadIconView
Static: Kelvad32
Static: Version 1.2
Static: Kelvad はフリーソフトウエアーです
TEXTS

# An entry typed in Japanese, then one whose command holds 한: OK is refused with a box naming it, the field
# comes back with it selected, and cancelling leaves the catalogue as it was.
catalogue mode insert 改ページ ＡＢＣ ins type 説明 a한 enter box fields texts editor cancel texts main \
    >"$WORK/catalogue.txt"
check "the refused character named, the command field back with it selected, the editor's texts" \
    diff - <(sed -n '1,/^Static: コマンド文字列$/p' "$WORK/catalogue.txt") <<'TEXTS'
한 は使用できない文字です
説明 2-2
a한 1-2 focus
コマンド文字列の追加、編集
Edit: 説明
Edit: a한
Button: OK
Button: ｷｬﾝｾﾙ
Static: 説明
Static: コマンド文字列
TEXTS
check "the main window's texts in command-string mode, the refused entry not added" \
    diff - <(sed '1,/^Static: コマンド文字列$/d' "$WORK/catalogue.txt" | grep -v '^  [^改Ａ]') <<'TEXTS'
Kelvad32
Button: Ins(&I)
Button: Edit(&E)
Button: Del(&D)
ListBox
  改ページ
ListBox
  ＡＢＣ
ListBox
Button: 出力(&P)
Button: 切換(&C)
Button: 終了(&X)
Button
Button
Button: About(&A)
Static: 出力先:
Static: Kelvad Printer
TEXTS

catalogue close
status=0
wait $program || status=$?
check "the program ends normally" test "$status" -eq 0
check "the typed entry is stored in Shift-JIS" \
    grep -qx 'コマンド=ＡＢＣ' <(iconv -f CP932 -t UTF-8 "$ini" | tr -d '\r')
finish
