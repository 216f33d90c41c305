#!/bin/sh
# The converter as a user runs it: exit codes, messages on stderr, and an
# output file that a failed run leaves alone.
set -u
C="${QUILLANE_CONVERT:?}"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

printf 'alpha\nbeta\n' > "$T/in.txt"
"$C" "$T/in.txt" "$T/out.txt" || fail "plain conversion"
[ "$(od -An -c "$T/out.txt" | tr -d ' \n')" = 'alpha\r\nbeta' ] || fail "output bytes"
[ "$("$C" --info "$T/in.txt" | head -n 1)" = "format: ANSI Plain Text" ] || fail "--info"
[ "$("$C" --styles "$T/in.txt" | cut -f 2 | head -n 1)" = "Normal" ] || fail "--styles"
# One line each: eight numbers, the lines of a paragraph in order, ending
# within the paragraph width.
"$C" --layout "$T/in.txt" > "$T/layout" || fail "--layout"
[ "$(wc -l < "$T/layout")" -eq 2 ] || fail "--layout line count"
# Page images: one file per page, named after the prefix.
"$C" --to png --zoom 50 "$T/in.txt" "$T/page" || fail "--to png"
ls "$T"/page-1.* >/dev/null 2>&1 || fail "--to png wrote no page"
ls "$T"/page-2.* >/dev/null 2>&1 && fail "--to png wrote a page too many"
awk -F'\t' 'NF != 8 || $1 !~ /^[0-9]+$/ || $6 > $7 + 600 || $8 <= 0 { exit 1 }' "$T/layout" || fail "--layout lines"

printf '{\\rtf1 caf\\'"'"'e9\\par x}' > "$T/in.rtf"
[ "$("$C" --info "$T/in.rtf" | head -n 1)" = "format: Rich Text Format" ] || fail "--info rtf"
"$C" --to utf8 "$T/in.rtf" "$T/out.utf8" || fail "rtf to utf8"
[ "$(cat "$T/out.utf8")" = "$(printf 'caf\303\251\nx')" ] || fail "utf8 text"

echo keep > "$T/keep.txt"
"$C" "$T/missing.txt" "$T/keep.txt" 2>"$T/err"; rc=$?
[ $rc -eq 1 ] || fail "missing input gives $rc"
grep -q 'Cannot open file' "$T/err" || fail "no message on stderr"
[ "$(cat "$T/keep.txt")" = keep ] || fail "output touched"

"$C" only-one 2>/dev/null; rc=$?
[ $rc -eq 2 ] || fail "usage error gives $rc"
"$C" --help | grep -q usage || fail "--help"
# Every family line has a name, a character set and a pitch-and-family byte.
"$C" --fonts > "$T/fonts" || fail "--fonts"
awk -F'\t' 'NF != 3 || $2 !~ /^[0-9]+$/ || $3 !~ /^[0-9]+$/ { exit 1 }' "$T/fonts" || fail "--fonts lines"
# A 1 x 1 grey PNG (CRCs left 0: they are not checked); written again by the
# program's encoder, twice, with the same bytes.
printf '\211PNG\r\n\032\n' > "$T/in.png"
printf '\0\0\0\015IHDR\0\0\0\001\0\0\0\001\010\0\0\0\0\0\0\0\0' >> "$T/in.png"
printf '\0\0\0\015IDAT\170\001\001\002\0\375\377\0\0\0\002\0\001\0\0\0\0' >> "$T/in.png"
printf '\0\0\0\0IEND\0\0\0\0' >> "$T/in.png"
"$C" --picture "$T/in.png" "$T/a.png" || fail "--picture"
"$C" --picture "$T/a.png" "$T/b.png" || fail "--picture again"
cmp -s "$T/a.png" "$T/b.png" || fail "second encoding differs"
[ "$(head -c 4 "$T/a.png" | od -An -c | tr -d ' \n')" = '211PNG' ] || fail "not a PNG"
"$C" --picture "$T/in.txt" "$T/keep.txt" 2>"$T/err"; rc=$?
[ $rc -eq 1 ] || fail "text as a picture gives $rc"
grep -q 'not a picture format' "$T/err" || fail "no picture message"
[ "$(cat "$T/keep.txt")" = keep ] || fail "output touched by a failed picture"
# A 2 x 1 grey Targa, known by its extension, comes out as PNG.
printf '\0\0\003\0\0\0\0\0\0\0\0\0\002\0\001\0\010\040\100\200' > "$T/in.tga"
"$C" --picture "$T/in.tga" "$T/tga.png" || fail "--picture of a Targa"
[ "$(head -c 4 "$T/tga.png" | od -An -c | tr -d ' \n')" = '211PNG' ] || fail "Targa not written as PNG"
echo ok
