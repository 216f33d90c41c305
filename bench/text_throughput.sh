#!/bin/sh
# Plain-text read and write throughput on a generated file (100 MB by
# default), next to the floor of `cat FILE > /dev/null` on the same file.
#   bench/text_throughput.sh [SIZE_MB]
set -eu
cd "$(dirname "$0")/.."
SIZE=${1:-100}
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLANE_BENCHMARKS=ON >/dev/null
cmake --build build/native --target quillane_bench_text quillane-convert
FILE=build/bench/text-${SIZE}mb.txt
mkdir -p build/bench
[ -f "$FILE" ] || python3 bench/make_text.py "$FILE" "$SIZE"
BYTES=$(stat -c %s "$FILE")
cat "$FILE" >/dev/null  # warm the page cache

best=""
for _ in 1 2 3 4 5; do
    a=$(date +%s%N); cat "$FILE" >/dev/null; b=$(date +%s%N)
    t=$(( (b - a) / 1000 ))
    [ -z "$best" ] || [ "$t" -lt "$best" ] && best=$t
done
echo "file: $FILE ($BYTES bytes)"
awk -v us="$best" -v s="$BYTES" 'BEGIN { printf "cat > /dev/null: %.3f s, %.0f MB/s (best of 5)\n", us/1e6, s/1048576/(us/1e6) }'

a=$(date +%s%N)
build/native/bin/quillane-convert "$FILE" build/bench/converted.txt
b=$(date +%s%N)
awk -v ns="$((b - a))" -v s="$BYTES" 'BEGIN { printf "quillane-convert txt->txt: %.3f s, %.0f MB/s (read + write, one run)\n", ns/1e9, s/1048576/(ns/1e9) }'
cmp -s "$FILE" build/bench/converted.txt && echo "converted file identical to the input" || echo "converted file differs (final line break dropped by design)"

QUILLANE_BENCH_TEXT="$FILE" build/native/bin/quillane_bench_text
