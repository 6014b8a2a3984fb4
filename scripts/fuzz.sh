#!/bin/bash
# Runs the libFuzzer harnesses one after another, each for SECONDS (default
# 60), at the lowest priority, and prints the CPU time each one used and the
# crashes it left. The harnesses are built apart from the normal build:
#   cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang \
#         -DCMAKE_CXX_COMPILER=clang++ -DPOSTMOOR_FUZZ=ON
#   cmake --build build-fuzz
# Usage: scripts/fuzz.sh [SECONDS] [HARNESS ...]   (HARNESS: splitters,
# message, date, text_codings, html, addresses, dbase, pst, capture)
# The corpus grows in build-fuzz/corpus/HARNESS (seeded from tests/data);
# crashing inputs land in build-fuzz/crashes/HARNESS.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
harnesses=${*:-splitters message date text_codings html addresses dbase pst capture}
out=build-fuzz
data=tests/data

seed() {
    local harness=$1 corpus=$out/corpus/$1
    [ -d "$corpus" ] && return
    mkdir -p "$corpus"
    case $harness in
    splitters)
        # Each sample behind every splitter's selector byte.
        find $data -type f ! -path '*/capture/*' ! -name '*.py' | while read -r f; do
            for n in 0 1 2 3 4 5 6 7 8 9 10 11; do
                { printf "\\$(printf %o $n)"; head -c 65536 "$f"; } > "$corpus/$(basename "$f").$n"
            done
        done ;;
    message | date | text_codings | html | addresses)
        find $data -type f ! -path '*/capture/*' ! -name '*.py' -size -64k | while read -r f; do
            cp "$f" "$corpus/$(echo "$f" | tr / _)"
        done
        printf 'Mon, 5 Jan 2004 10:00:00 +0100' > "$corpus/date1"
        printf 'Thursday, 12-Feb-98 23:59:59 GMT' > "$corpus/date2"
        printf '=?ISO-8859-1?Q?caf=E9?= <a@b.example> =C3=A9 =\r\nx' > "$corpus/words"
        printf '<html><pre>a&amp;b&eacute;</pre><p>x<br>&#233;</html>' > "$corpus/html"
        printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 caf\\'"'"'e9\\par}' > "$corpus/rtf" ;;
    capture)
        local n=0
        for dir in autosig goldencompass ozcis ozwin1 ozwin2 tapcis5 tapcis6 navcis; do
            find $data/capture/$dir -type f | while read -r f; do
                { printf "\\$(printf %o $n)"; cat "$f"; } > "$corpus/$dir.$(basename "$f")"
            done
            n=$((n + 1))
        done ;;
    dbase)
        python3 - "$corpus/people.dbf" <<'PY'
import struct, sys
fields = [(b"NAME", b"C", 20, 0), (b"COUNT", b"N", 5, 0), (b"WHEN", b"D", 8, 0), (b"OK", b"L", 1, 0)]
rec_len = 1 + sum(f[2] for f in fields)
hdr_len = 32 + 32 * len(fields) + 1
rows = [(b"Ann Smith", b"   12", b"19950519", b"T"), (b"Caf\xe9", b"  -3", b"        ", b"?")]
out = struct.pack("<BBBBIHH20x", 3, 95, 5, 19, len(rows), hdr_len, rec_len)
for name, typ, length, dec in fields:
    out += struct.pack("<11sc4xBB14x", name, typ, length, dec)
out += b"\r"
for row in rows:
    out += b" " + b"".join(v.ljust(f[2]) for v, f in zip(row, fields))
out += b"\x1a"
open(sys.argv[1], "wb").write(out)
PY
        ;;
    pst) printf '!BDN' > "$corpus/header" ;;
    esac
}

for harness in $harnesses; do
    seed "$harness"
    mkdir -p "$out/crashes/$harness"
    before=$(ls "$out/crashes/$harness" | wc -l)
    /usr/bin/time -f "%U %S" -o "$out/fuzz-$harness.time" \
        nice -n 19 "$out/fuzz/fuzz_$harness" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
        -artifact_prefix="$out/crashes/$harness/" "$out/corpus/$harness" > "$out/fuzz-$harness.log" 2>&1 || true
    read -r user system < "$out/fuzz-$harness.time" || true
    after=$(ls "$out/crashes/$harness" | wc -l)
    echo "$harness: cpu $(echo "${user:-0} + ${system:-0}" | bc) s, corpus $(ls "$out/corpus/$harness" | wc -l)," \
        "new crashes $((after - before)) (log $out/fuzz-$harness.log)"
done
