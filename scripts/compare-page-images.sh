#!/bin/sh
# Renders the first page of a text document from the corpus with the
# converter natively (cairo) and under Wine (GDI into a memory bitmap), and
# compares the two images with a tolerant pixel measure. They are not
# identical (the two font rasterisers smooth edges differently) but must
# show the same lines in the same places.
#   compare-page-images.sh NATIVE_CONVERTER WIN64_BUILD_DIR CORPUS_DIR
# Exit 0 when the images agree within the limits, 1 when not, 77 when the
# Windows build, Pillow or the corpus file is missing (a skipped test).
set -eu

native=$(realpath "$1")
win64=$(realpath -m "$2")
document="$3/txt/chardet__windows-1252_ude_1.txt"
tool="$win64/bin/quillane-convert.exe"
if [ ! -x "$win64/wine-run.sh" ] || [ ! -f "$tool" ]; then
    echo "no Windows build with quillane-convert.exe in $win64: skipped"
    exit 77
fi
if [ ! -f "$document" ]; then
    echo "no corpus file $document: skipped"
    exit 77
fi
python=/usr/bin/python3
[ -x "$python" ] || python=python3
if ! "$python" -c 'import PIL' 2>/dev/null; then
    echo "Pillow (python3-pil) is not installed: skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$document" "$work/page.txt"
"$native" --to png --pages 1 "$work/page.txt" "$work/cairo"
(cd "$work" && "$win64/wine-run.sh" "$tool" --to png --pages 1 page.txt gdi </dev/null >"$work/wine.log" 2>&1) || {
    echo "quillane-convert.exe failed under Wine:"
    cat "$work/wine.log"
    exit 1
}
image=$(ls "$work"/gdi-1.* 2>/dev/null | head -n 1)
if [ -z "$image" ]; then
    echo "quillane-convert.exe wrote no page image"
    exit 1
fi
# Pixel by pixel the smoothing of glyph edges differs (reported, with loose
# limits); reduced four times, the images must agree closely: the same
# lines in the same places.
compare="$(dirname "$0")/compare-images.py"
"$python" "$compare" "$work/cairo-1.png" "$image" 8 6
"$python" "$compare" --scale 4 "$work/cairo-1.png" "$image" 2 1
