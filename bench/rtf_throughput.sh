#!/bin/sh
# RTF read throughput on a large generated document (50 MB by default, from
# the shared deterministic generator), next to `cat FILE > /dev/null`, the
# converter as a user runs it, and unrtf or pandoc when installed; then the
# RTF writer on the same document (to memory, to a file, and read back).
#   bench/rtf_throughput.sh [SIZE]      SIZE as the generator takes it (e.g. 10m)
set -eu
cd "$(dirname "$0")/.."
SIZE=${1:-50m}
GENERATOR=../shared/bench/make_corpus.py
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLANE_BENCHMARKS=ON >/dev/null
cmake --build build/native --target quillane_bench_rtf quillane_bench_rtf_write quillane-convert
FILE=build/bench/rtf-$SIZE.rtf
mkdir -p build/bench
[ -f "$FILE" ] || python3 "$GENERATOR" --size "$SIZE" --out "$FILE" >/dev/null
BYTES=$(stat -c %s "$FILE")
cat "$FILE" >/dev/null  # warm the page cache
echo "file: $FILE ($BYTES bytes)"

timed() {  # label, command...
    label=$1
    shift
    a=$(date +%s%N)
    "$@" >/dev/null 2>&1 || { echo "$label: failed"; return 0; }
    b=$(date +%s%N)
    awk -v ns="$((b - a))" -v s="$BYTES" -v l="$label" \
        'BEGIN { printf "%s: %.3f s, %.1f MB/s (one run)\n", l, ns/1e9, s/1048576/(ns/1e9) }'
}
timed "cat > /dev/null" cat "$FILE"
timed "quillane-convert rtf->utf8" build/native/bin/quillane-convert --to utf8 "$FILE" build/bench/rtf-out.txt
timed "quillane-convert rtf->txt" build/native/bin/quillane-convert "$FILE" build/bench/rtf-out-ansi.txt
if command -v unrtf >/dev/null 2>&1; then timed "unrtf --text" unrtf --text "$FILE"; fi
if command -v pandoc >/dev/null 2>&1; then timed "pandoc -t plain" pandoc -f rtf -t plain "$FILE"; fi

QUILLANE_BENCH_RTF="$FILE" build/native/bin/quillane_bench_rtf
QUILLANE_BENCH_RTF="$FILE" build/native/bin/quillane_bench_rtf_write
