#!/bin/sh
# The RTF writer checked by another program: every corpus .rtf and .txt is
# written as RTF by quillane-convert, LibreOffice extracts the text of each
# written file, and that text is compared word by word
# (tests/formats/rtf/text_similarity.py's measure) with LibreOffice's text
# of the original, and with the text quillane-convert itself exports from
# the original. The first says how far the whole trip (our reader, our
# writer) is from LibreOffice's reading; the second isolates the writer:
# does another program read from our file the text we hold?
# Prints how many written files LibreOffice opens and how similar they are.
# Exit 1 when a written file does not open while its original does, or when
# the mean similarity with our own text is below FLOOR percent; 77 without
# soffice.
#   scripts/check-rtf-with-libreoffice.sh CONVERTER [CORPUS [FLOOR]]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
CONVERTER=$1
CORPUS=${2:-$ROOT/../shared/corpus}
FLOOR=${3:-95}
command -v soffice >/dev/null 2>&1 || { echo "skipped: soffice is not installed"; exit 77; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/written"

: >"$WORK/pairs"
: >"$WORK/unwritten"
for f in "$CORPUS"/rtf/*.rtf "$CORPUS"/txt/*; do
    [ -f "$f" ] || continue
    dir=$(basename "$(dirname "$f")")
    out="$WORK/written/$dir-$(basename "$f").rtf"
    if "$CONVERTER" --to rtf "$f" "$out" >/dev/null 2>"$WORK/err" && [ -s "$out" ] &&
        "$CONVERTER" --to utf8 "$f" "$out.ours.txt" >/dev/null 2>>"$WORK/err"; then
        printf '%s\t%s\n' "$f" "$out" >>"$WORK/pairs"
    else
        printf '%s\t%s\n' "$f" "$(head -c 200 "$WORK/err" | tr '\n' ' ')" >>"$WORK/unwritten"
    fi
done
[ -s "$WORK/pairs" ] || { echo "no file written"; cat "$WORK/unwritten"; exit 1; }

# LibreOffice's text of the originals (cached by checksum) and of the
# written files (in a cache of this run: they change with the writer).
cut -f1 "$WORK/pairs" | tr '\n' '\0' | xargs -0 sh "$ROOT/scripts/reference-text.sh" >"$WORK/ref-original"
cut -f2 "$WORK/pairs" | tr '\n' '\0' |
    QUILLANE_REFERENCE_CACHE="$WORK/cache" xargs -0 sh "$ROOT/scripts/reference-text.sh" >"$WORK/ref-written"

python3 - "$WORK" "$FLOOR" "$ROOT/tests/formats/rtf" <<'EOF'
import os
import sys

work, floor = sys.argv[1], float(sys.argv[2])
sys.path.insert(0, sys.argv[3])
from text_similarity import similarity, tokens

# Written files LibreOffice cannot open today, with the reason; any other
# fails the check.
KNOWN_UNOPENED = {}

pairs = [line.rstrip("\n").split("\t") for line in open(os.path.join(work, "pairs"))]
unwritten = [line.rstrip("\n").split("\t") for line in open(os.path.join(work, "unwritten"))]
originals = open(os.path.join(work, "ref-original")).read().split()
written = open(os.path.join(work, "ref-written")).read().split()

# Bytes a code page leaves undefined: we show U+FFFD, LibreOffice a private
# character U+F0xx or U+F1xx; both count as nothing.
UNDEFINED = dict.fromkeys([0xFFFD, *range(0xF000, 0xF200)], None)


def text(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return tokens(f.read().translate(UNDEFINED))

results, ours_results, not_opened, both_failed = [], [], [], []
for (source, target), ref_o, ref_w in zip(pairs, originals, written):
    name = os.path.relpath(source, os.path.dirname(os.path.dirname(source)))
    if ref_w.endswith(".failed"):
        (both_failed if ref_o.endswith(".failed") else not_opened).append(name)
        continue
    theirs = text(ref_w)
    ours = text(target + ".ours.txt")
    ours_results.append((similarity(theirs, ours), name, len(theirs), len(ours)))
    if not ref_o.endswith(".failed"):  # LibreOffice reads the original too
        original = text(ref_o)
        results.append((similarity(theirs, original), name, len(theirs), len(original)))

opened = len(pairs) - len(not_opened) - len(both_failed)
print(f"written as RTF: {len(pairs)} of {len(pairs) + len(unwritten)} corpus files")
for source, why in unwritten:
    print(f"  not written: {source}: {why}")
print(f"LibreOffice opened {opened} of the {len(pairs)} written files")
for name in not_opened:
    known = KNOWN_UNOPENED.get(name)
    print(f"  written file not opened (the original opens): {name}" + (f" (known: {known})" if known else ""))
for name in both_failed:
    print(f"  neither the original nor the written file opens: {name}")


def report(title, rows, other):
    rows.sort()
    n = len(rows)
    if n == 0:
        print(f"{title}: no file compared")
        return 0.0
    at100 = sum(1 for r in rows if r[0] >= 1.0)
    at99 = sum(1 for r in rows if r[0] >= 0.99)
    at95 = sum(1 for r in rows if r[0] >= 0.95)
    mean = 100.0 * sum(r[0] for r in rows) / n
    print(f"{title}: {n} files, {at100} identical, {at99 - at100} >= 99 %, {at95 - at99} from 95 to 99 %, "
          f"{n - at95} below 95 %; mean {mean:.2f} %")
    for score, name, a, b in rows[:12]:
        print(f"  {100 * score:6.2f} %  {name}  ({a} words from the written file, {b} from {other})")
    return mean


report("LibreOffice's text of the written file against its text of the original", results, "the original")
mean = report("LibreOffice's text of the written file against ours", ours_results, "our text")
if unwritten or any(name not in KNOWN_UNOPENED for name in not_opened):
    sys.exit(1)
if mean < floor:
    print(f"FAILED: mean similarity {mean:.2f} % is below the floor of {floor} %")
    sys.exit(1)
EOF
