#!/bin/sh
# Checks quillane-convert --to pdf on corpus documents with poppler-utils:
# the page count (against --info), the page size (against the page images'
# size), the text of every page (pdftotext, against the document's own UTF-8
# text export: the pages' words in order are the document's words), a
# page range, and page 1 drawn from the PDF (pdftoppm at 96 pixels per inch)
# against --to png of page 1 (scripts/compare-images.py, reduced 4 times).
#   check-pdf-output.sh CONVERTER CORPUS
# Exit 0 when every check holds, 1 when not, 77 when poppler-utils, Pillow
# or the corpus is missing (a skipped test).
set -eu

convert=$(realpath "$1")
corpus=$(realpath -m "$2")
for tool in pdfinfo pdftotext pdftoppm; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool (poppler-utils) is not installed: skipped"
        exit 77
    fi
done
python=/usr/bin/python3
[ -x "$python" ] || python=python3
if ! "$python" -c 'import PIL' 2>/dev/null; then
    echo "Pillow (python3-pil) is not installed: skipped"
    exit 77
fi
[ -d "$corpus/rtf" ] || { echo "no corpus in $corpus: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
here=$(dirname "$0")
failed=0
fail() {
    echo "FAIL $name: $*"
    failed=1
}
for doc in rtf/rtfjs__wmf-and-emf.rtf rtf/pandoc__rtf_formatting.rtf rtf/rtfjs__wmf.rtf \
    doc97/abitest__doc_6953-fonts.doc; do
    [ -f "$corpus/$doc" ] || continue
    name=$(basename "$doc")
    in="$corpus/$doc"
    "$convert" --to pdf "$in" "$work/out.pdf" || { fail "--to pdf failed"; continue; }
    pages=$("$convert" --info "$in" | sed -n 's/^pages: //p')
    got=$(pdfinfo "$work/out.pdf" | sed -n 's/^Pages: *//p')
    [ "$got" = "$pages" ] || fail "$got pages in the PDF, $pages in the document"
    "$convert" --to png --pages 1 "$in" "$work/page"
    # Page size: the page image is the paper at 96 pixels per inch.
    size=$(pdfinfo "$work/out.pdf" | sed -n 's/^Page size: *\([0-9.]*\) x \([0-9.]*\) pts.*/\1 \2/p')
    "$python" - "$work/page-1.png" $size <<'PY' || fail "page size $size pts"
import sys
from PIL import Image
w, h = Image.open(sys.argv[1]).size
ok = abs(float(sys.argv[2]) - w * 0.75) <= 1 and abs(float(sys.argv[3]) - h * 0.75) <= 1
sys.exit(0 if ok else 1)
PY
    # Text: the pages' words, page after page, are the document's words
    # (at least 93 % of them in order: text inside pictures, which metafiles
    # now draw, and symbol characters differ).
    "$convert" --to utf8 "$in" "$work/text.txt"
    n=1
    while [ "$n" -le "$got" ]; do
        pdftotext -q -f "$n" -l "$n" "$work/out.pdf" "$work/page-$n.txt"
        n=$((n + 1))
    done
    "$python" - "$work/text.txt" "$got" "$work" <<'PY' || fail "page text"
import difflib, re, sys
words = lambda text: re.findall(r"[A-Za-z0-9]+", text)
document = words(open(sys.argv[1], encoding="utf-8", errors="replace").read())
pages = [words(open(f"{sys.argv[3]}/page-{n}.txt", encoding="utf-8", errors="replace").read())
         for n in range(1, int(sys.argv[2]) + 1)]
joined = [w for page in pages for w in page]
matcher = difflib.SequenceMatcher(None, document, joined, autojunk=False)
ratio = matcher.ratio()
print(f"{len(joined)} words on {len(pages)} pages, {100 * ratio:.1f} % the document's words in order")
sys.exit(0 if ratio >= 0.93 else 1)
PY
    # Page 1's pixels.
    pdftoppm -q -r 96 -f 1 -l 1 -singlefile -png "$work/out.pdf" "$work/pdf"
    printf '%s page 1: ' "$name"
    "$python" "$here/compare-images.py" --scale 4 "$work/pdf.png" "$work/page-1.png" 8 3 || fail "page 1 pixels"
    # A range.
    if [ "$pages" -ge 3 ]; then
        "$convert" --to pdf --pages 2-3 "$in" "$work/range.pdf"
        [ "$(pdfinfo "$work/range.pdf" | sed -n 's/^Pages: *//p')" = 2 ] || fail "--pages 2-3"
    fi
    rm -f "$work"/*
done
# A range past the end is an error with no file.
if "$convert" --to pdf --pages 900 "$corpus/rtf/pandoc__rtf_formatting.rtf" "$work/none.pdf" 2>/dev/null ||
    [ -e "$work/none.pdf" ]; then
    name=range
    fail "--pages 900 made a file"
fi
exit $failed
