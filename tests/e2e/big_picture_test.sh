#!/usr/bin/env bash
# A valid PNG too large for one bitmap (20000 x 20000, 1.2 GB at 24 bits, a few hundred KB on disk): printing it
# gives the memory message at once, without the program growing by the picture's size.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
press_ok="$(dirname "$KELVAD_EXE")/press_ok.exe"

python3 - "$WORK/big.png" <<'PY'
import struct, sys, zlib
w = h = 20000
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
packer, rows = zlib.compressobj(9), []
row = b"\0" + b"\xff" * (3 * w)  # filter byte, then white
for _ in range(h):
    rows.append(packer.compress(row))
rows.append(packer.flush())
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                              chunk(b"IDAT", b"".join(rows)) + chunk(b"IEND", b""))
PY
printf '%s\r\n' '[Option]' 'TopMargin=20' 'BottomMargin=20' 'LeftMargin=20' 'RightMargin=20' 'IsPrnFile=0' \
    'IsStretch=1' 'IsReverse=0' 'IsMarginZero=0' 'IsDeleteFile=0' >"$WORK/program/Kelvad32.INI"
picture=$(winpath "$WORK/big.png")

# The program's peak resident size in MiB (scripts/wine ends by becoming the program).
python3 - "$KELVAD_ROOT/scripts/wine" "$KELVAD_RUN" -p "$picture" >"$WORK/peak.txt" <<'PY' &
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss // 1024)
PY
program=$!
start=$SECONDS
box=$("$KELVAD_ROOT/scripts/wine" "$press_ok" Kelvad32 | iconv -f CP932 -t UTF-8 | tr -d '\r' || true)
seconds=$((SECONDS - start))
wait $program || true
peak=$(cat "$WORK/peak.txt")
echo "file $(stat -c %s "$WORK/big.png") bytes, message after ${seconds} s, peak ${peak} MiB"

check "the memory message names the picture" test "$box" = "メモリーが確保出来ない [$picture]"
check "it came at once, not after decoding" test "$seconds" -le 15
check "the program stayed far below one bitmap of the picture (1.2 GB)" test "${peak:-9999}" -lt 400
finish
