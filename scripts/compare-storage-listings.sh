#!/bin/sh
# Lists every Word document of the corpus with quillane-storage natively
# (libgsf) and under Wine (the system's structured storage) and compares the
# listings file by file: stream paths, sizes and CRC-32s.
#   compare-storage-listings.sh NATIVE_TOOL WIN64_BUILD_DIR CORPUS_DIR
# A file that both sides open must list identically. A file that one side
# refuses and the other opens is reported; it fails the comparison only when
# the side that opened it lists it incompletely (a damaged file may be
# judged differently by the two readers, an intact one may not). On Windows
# the program's own compound-file reader takes over a file the system's
# reader refuses; such a file must list natively through that reader
# (quillane-storage --own) as it does under Wine.
# Exit 0 when the listings agree, 1 when not, 77 when the Windows build or
# the corpus is missing (a skipped test).
set -eu

native=$1
win64=$2
corpus=$3
tool="$win64/bin/quillane-storage.exe"
if [ ! -x "$win64/wine-run.sh" ] || [ ! -f "$tool" ]; then
    echo "no Windows build with quillane-storage.exe in $win64: skipped"
    exit 77
fi
files=""
for sub in doc6 doc95 doc97 doc-other; do
    [ -d "$corpus/$sub" ] || continue
    for f in "$corpus/$sub"/*; do
        [ -f "$f" ] && files="$files $f"
    done
done
if [ -z "$files" ]; then
    echo "no Word documents in $corpus: skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One listing per file on each side, so that the files line up by name.
set --
for f in $files; do
    set -- "$@" "$f"
done
"$native" "$@" >"$work/native.txt" 2>"$work/native.err" || true
# Wine sees the Unix root as drive Z:.
set --
for f in $files; do
    set -- "$@" "Z:$(printf '%s' "$f" | tr / '\\')"
done
# Into a file, not a pipe: a Wine server started here inherits the output
# and would hold a pipe open after the program ends.
"$win64/wine-run.sh" "$tool" "$@" </dev/null >"$work/wine.raw" 2>"$work/wine.err" || true
tr -d '\r' <"$work/wine.raw" >"$work/wine.txt"
if [ ! -s "$work/wine.txt" ]; then
    echo "quillane-storage.exe gave no output under Wine"
    exit 1
fi

# Split each output into one listing per file, named after the file.
mkdir "$work/native" "$work/wine"
awk -v dir="$work/native" '/^== /{out = dir "/" substr($0, 4); printf "" > out; next} {print > out}' "$work/native.txt"
awk -v dir="$work/wine" '/^== /{out = dir "/" substr($0, 4); printf "" > out; next} {print > out}' "$work/wine.txt"

same=0
differ=0
oneside=0
fail=0
for f in $files; do
    name=$(basename "$f")
    cp "$work/native/$name" "$work/a" 2>/dev/null || : >"$work/a"
    cp "$work/wine/$name" "$work/b" 2>/dev/null || : >"$work/b"
    if cmp -s "$work/a" "$work/b"; then
        same=$((same + 1))
        continue
    fi
    a_err=$(grep -c '^error	' "$work/a" || true)
    b_err=$(grep -c '^error	' "$work/b" || true)
    a_unread=$(grep -c '	unreadable$' "$work/a" || true)
    b_unread=$(grep -c '	unreadable$' "$work/b" || true)
    # Where the system's reader refuses a damaged file, the program's own
    # reader lists it on Windows; that listing must then be the one our own
    # reader gives natively (libgsf may read such a file another way).
    "$native" --own "$f" >"$work/own" 2>/dev/null || :
    if [ "$a_err" -ne 0 ] || [ "$b_err" -ne 0 ] || [ "$a_unread" -ne 0 ] || [ "$b_unread" -ne 0 ]; then
        oneside=$((oneside + 1))
        echo "DAMAGED (the readers disagree): $name"
    elif cmp -s "$work/own" "$work/b"; then
        oneside=$((oneside + 1))
        echo "DAMAGED (libgsf reads it otherwise; the program's own reader lists the same on both sides): $name"
    else
        differ=$((differ + 1))
        fail=1
        echo "MISMATCH: $name"
    fi
    diff "$work/a" "$work/b" | sed 's/^/    /' | head -n 12
done
echo "storage listings: $same identical, $differ different, $oneside judged differently as damaged"
exit $fail
