#!/bin/bash
# Runs the libFuzzer harnesses one after another, each for SECONDS (default
# 60), at the lowest priority, and prints the CPU time each one used and the
# crashes it left. The harnesses are built apart from the normal build:
#   cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang \
#         -DCMAKE_CXX_COMPILER=clang++ -DPOSTMOOR_FUZZ=ON
#   cmake --build build-fuzz
# Usage: scripts/fuzz.sh [SECONDS] [HARNESS ...]   (HARNESS: splitters,
# message, date, text_codings, html, addresses, dbase, pst, capture)
# The corpus grows in build-fuzz/corpus/HARNESS, seeded from tests/data and
# fuzz/seeds (a corpus that exists is kept: remove it to seed it again); the
# pst harness also reads the real folder files of the corpora
# (POSTMOOR_CORPORA, default ../shared/corpora beside the sources) where
# they lie, at every run. Crashing inputs land in build-fuzz/crashes/HARNESS.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
harnesses=${*:-splitters message date text_codings html addresses dbase pst capture}
out=build-fuzz
data=tests/data
corpora=${POSTMOOR_CORPORA:-$(cd .. && pwd)/shared/corpora}

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
        cp fuzz/seeds/text/* "$corpus/" ;;
    capture)
        local n=0
        for dir in autosig goldencompass ozcis ozwin1 ozwin2 tapcis5 tapcis6 navcis; do
            find $data/capture/$dir -type f | while read -r f; do
                { printf "\\$(printf %o $n)"; cat "$f"; } > "$corpus/$dir.$(basename "$f")"
            done
            n=$((n + 1))
        done ;;
    dbase) cp fuzz/seeds/dbase/*.dbf "$corpus/" ;;
    pst) cp fuzz/seeds/pst/* "$corpus/" ;;
    esac
}

# Further corpus folders the fuzzer reads but never writes: the real
# folder files, where they lie (they never enter the repository).
readonly_seeds() {
    [ "$1" = pst ] || return 0
    if [ -d "$corpora/pst" ]; then
        echo "$corpora/pst"
    else
        echo "pst: no $corpora/pst here (set POSTMOOR_CORPORA): seeded with a file header only" >&2
    fi
}

for harness in $harnesses; do
    seed "$harness"
    extra=$(readonly_seeds "$harness")
    mkdir -p "$out/crashes/$harness"
    before=$(ls "$out/crashes/$harness" | wc -l)
    /usr/bin/time -f "%U %S" -o "$out/fuzz-$harness.time" \
        nice -n 19 "$out/fuzz/fuzz_$harness" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
        -artifact_prefix="$out/crashes/$harness/" "$out/corpus/$harness" $extra > "$out/fuzz-$harness.log" 2>&1 || true
    read -r user system < "$out/fuzz-$harness.time" || true
    after=$(ls "$out/crashes/$harness" | wc -l)
    echo "$harness: cpu $(echo "${user:-0} + ${system:-0}" | bc) s, corpus $(ls "$out/corpus/$harness" | wc -l)," \
        "new crashes $((after - before)) (log $out/fuzz-$harness.log)"
done
