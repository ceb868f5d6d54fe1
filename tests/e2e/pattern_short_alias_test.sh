#!/usr/bin/env bash
# A pattern takes only the files whose long names it matches: a folder search also matches 8.3 aliases, so that
# "*.prn" finds b.prnold through "B~1.PRN"; with the delete option on, that file must be neither printed nor deleted.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
mkdir "$WORK/dir"
printf 'only\x1b@\x0c' >"$WORK/dir/a.prn"
printf 'not named' >"$WORK/dir/b.prnold"
printf 'backup' >"$WORK/dir/c.prn.bak"
printf '[Option]\r\nIsDeleteFile=1\r\n' >"${KELVAD_RUN%.*}.INI"
rm -f "$KELVAD_OUT/kelvad-printer.bin"
status=0
kelvad -p "$(winpath "$WORK/dir")\\*.prn" || status=$?
check "only a.prn reaches the printer" cmp "$KELVAD_OUT/kelvad-printer.bin" <(printf 'only\x1b@\x0c')
check "a.prn deleted, b.prnold and c.prn.bak kept whole" \
    test ! -e "$WORK/dir/a.prn" -a "$(cat "$WORK/dir/b.prnold")/$(cat "$WORK/dir/c.prn.bak")" = "not named/backup"
check "exit status 0" test "$status" -eq 0
finish
