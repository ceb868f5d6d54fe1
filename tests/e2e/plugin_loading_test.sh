#!/usr/bin/env bash
# -p in image mode: a library planted as a plug-in in the current folder or on PATH never loads (the program alone in
# a folder, so no shipped plug-in answers first); a valid 20000 x 20000 PNG gives the memory message before decoding.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
marker="$(dirname "$KELVAD_EXE")/testplugins/marker/planted.spi"
bare=$WORK/bare
mkdir "$bare" "$WORK/cwd" "$WORK/path"
cp "$KELVAD_EXE" "$bare/"
printf '%s\r\n' '[Option]' 'IsPrnFile=0' 'IsStretch=1' | tee "$WORK/program/Kelvad32.INI" >"$bare/Kelvad32.INI"
tee "$WORK/cwd/ifmag.spi" >"$WORK/path/ifmag.spi" <"$marker"
echo x >"$WORK/cwd/x.mag"

# PROGRAM -p FILE from the planted folder, PATH folder added: the box's text; the peak in MiB in $WORK/peak.
print_one() {
    (cd "$WORK/cwd" && WINEPATH=$(winpath "$WORK/path") python3 - "$KELVAD_ROOT/scripts/wine" "$1" -p "$2" \
        >"$WORK/peak" <<'PY') &
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss // 1024)
PY
    "$KELVAD_ROOT/scripts/wine" "$(dirname "$KELVAD_EXE")/press_ok.exe" Kelvad32 | tr -d '\r'
    wait
}
mag="$(winpath "$WORK/cwd")\\x.mag"
check "nothing beside the program: not found" test "$(print_one "$bare/Kelvad32.exe" x.mag)" = "IFMAG.SPI not found [$mag]"
check "the libraries in the current and PATH folders were not loaded" \
    test ! -e "$WORK/cwd/loaded.mark" -a ! -e "$WORK/path/loaded.mark"
cp "$marker" "$bare/ifmag.spi"
check "beside the program: loaded (its mark), refused as a plug-in" \
    test "$(print_one "$bare/Kelvad32.exe" x.mag)" = "その他のエラー [$mag]" -a -e "$bare/loaded.mark"

python3 - "$WORK/big.png" <<'PY'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
packer, row = zlib.compressobj(9), b"\0" + b"\xff" * 60000  # filter byte, then 20000 white pixels
data = b"".join(packer.compress(row) for _ in range(20000)) + packer.flush()
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 20000, 20000, 8, 2, 0, 0, 0))
                              + chunk(b"IDAT", data) + chunk(b"IEND", b""))
PY
box=$(print_one "$KELVAD_RUN" "$(winpath "$WORK/big.png")")
echo "big PNG of $(stat -c %s "$WORK/big.png") bytes: the program's peak $(cat "$WORK/peak") MiB"
check "big PNG: the memory message before decoding, the program below 400 MiB" \
    test "$box" = "メモリーが確保出来ない [$(winpath "$WORK/big.png")]" -a "$(cat "$WORK/peak")" -lt 400
finish
