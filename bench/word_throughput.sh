#!/bin/sh
# Word 97 to text on a large document, side by side with other readers.
# The document is the shared generator's RTF (with its pictures), written as
# Word 97 by LibreOffice: about 16 MB of .doc for the default size. Both are
# cached in ${QUILLANE_BENCH_CACHE:-~/.cache/quillane/bench}. Every tool
# writes the text into a file; each is timed over RUNS runs and the best run
# by processor time is shown (wvText and LibreOffice, the slowest, run once).
#   bench/word_throughput.sh [SIZE [RUNS]]   SIZE as the generator takes it (default 10m)
# SKIP_SLOW=1 leaves out wvText and LibreOffice (some 20 s each).
set -eu
cd "$(dirname "$0")/.."
SIZE=${1:-10m}
RUNS=${2:-3}
GENERATOR=../shared/bench/make_corpus.py
CACHE=${QUILLANE_BENCH_CACHE:-$HOME/.cache/quillane/bench}
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLANE_BENCHMARKS=ON >/dev/null
cmake --build build/native --target quillane-convert >/dev/null
CONVERT=build/native/bin/quillane-convert
mkdir -p "$CACHE"
RTF=$CACHE/word-bench-$SIZE.rtf
DOC=$CACHE/word-bench-$SIZE.doc
[ -f "$RTF" ] || python3 "$GENERATOR" --size "$SIZE" --unicode --out "$RTF" >/dev/null
if [ ! -f "$DOC" ]; then
    command -v soffice >/dev/null 2>&1 || { echo "word_throughput: soffice is needed to make the document"; exit 1; }
    work=$(mktemp -d)
    timeout 3600 soffice --headless --norestore "-env:UserInstallation=file://$work/profile" \
        --convert-to 'doc:MS Word 97' --outdir "$work" "$RTF" >/dev/null 2>&1 || true
    mv "$work/word-bench-$SIZE.doc" "$DOC" || { rm -rf "$work"; echo "word_throughput: LibreOffice made no document"; exit 1; }
    rm -rf "$work"
fi
BYTES=$(stat -c %s "$DOC")
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
cat "$DOC" >/dev/null  # warm the page cache
echo "document: $DOC ($BYTES bytes)"
printf '%-30s %8s %8s %8s %11s\n' "reader" "wall s" "cpu s" "MB/s" "text bytes"

# label, runs, output file, command... (the command writes the output file).
# The best of the runs by processor time (user + system of the command and
# its children), which a busy machine disturbs less than the wall clock;
# MB/s is of the document by that time.
timed() {
    label=$1
    runs=$2
    out=$3
    shift 3
    python3 - "$label" "$runs" "$out" "$BYTES" "$@" <<'PY'
import os, resource, subprocess, sys, time
label, runs, out, size, command = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4]), sys.argv[5:]
best = None
for _ in range(runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    if done.returncode != 0:
        print(f"{label:30} failed")
        sys.exit(0)
    if best is None or cpu < best[1]:
        best = (wall, cpu)
text = os.path.getsize(out) if os.path.exists(out) else 0
print(f"{label:30} {best[0]:8.3f} {best[1]:8.3f} {size / 1048576 / best[1]:8.1f} {text:11d}")
PY
}
tool() { command -v "$1" >/dev/null 2>&1; }
# Runs a tool that writes to standard output into a file: sh -c "$INTO" sh FILE COMMAND...
INTO='out=$1; shift; exec "$@" >"$out"'

timed "quillane-convert --to utf8" "$RUNS" "$OUT/q.txt" "$CONVERT" --to utf8 "$DOC" "$OUT/q.txt"
if tool antiword; then timed "antiword -m UTF-8.txt" "$RUNS" "$OUT/a.txt" sh -c "$INTO" sh "$OUT/a.txt" antiword -w 0 -m UTF-8.txt "$DOC"; fi
# catdoc twice: -w gives a line per paragraph, as the others do; without
# it catdoc wraps lines at 72 columns, which it does much faster.
if tool catdoc; then
    timed "catdoc -d utf-8 -w" "$RUNS" "$OUT/c.txt" sh -c "$INTO" sh "$OUT/c.txt" catdoc -d utf-8 -w "$DOC"
    timed "catdoc -d utf-8 (wrapped)" "$RUNS" "$OUT/cw.txt" sh -c "$INTO" sh "$OUT/cw.txt" catdoc -d utf-8 "$DOC"
fi
if [ -z "${SKIP_SLOW:-}" ] && tool wvText; then timed "wvText" 1 "$OUT/w.txt" wvText "$DOC" "$OUT/w.txt"; fi
if [ -z "${SKIP_SLOW:-}" ] && tool soffice; then
    timed "soffice --convert-to txt" 1 "$OUT/lo/word-bench-$SIZE.txt" soffice --headless --norestore \
        "-env:UserInstallation=file://$OUT/profile" --convert-to 'txt:Text (encoded):UTF8' --outdir "$OUT/lo" "$DOC"
fi
