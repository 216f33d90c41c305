#!/bin/sh
# Draws the canvas sample scene with this platform's canvas (cairo) and with
# GDI under Wine, and compares the two images with a tolerant pixel measure
# (scripts/compare-images.py); text anti-aliasing is where they may differ.
#   compare-canvas-images.sh NATIVE_TOOL WIN64_BUILD_DIR
# Exit 0 when the images agree within the limits, 1 when not, 77 when the
# Windows build or Pillow is missing (a skipped test).
set -eu

native=$(realpath "$1")
win64=$(realpath -m "$2")
tool="$win64/bin/quillane-canvas-sample.exe"
if [ ! -x "$win64/wine-run.sh" ] || [ ! -f "$tool" ]; then
    echo "no Windows build with quillane-canvas-sample.exe in $win64: skipped"
    exit 77
fi
# Debian's Python, which has Pillow (python3-pil), rather than another first
# on the PATH.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
if ! "$python" -c 'import PIL' 2>/dev/null; then
    echo "Pillow (python3-pil) is not installed: skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$native" "$work/cairo.png"
# Relative to the working folder, which Wine maps to a drive of its own; the
# output into a file, as a Wine server started here would hold a pipe open.
(cd "$work" && "$win64/wine-run.sh" "$tool" gdi.bmp </dev/null >"$work/wine.log" 2>&1) || {
    echo "quillane-canvas-sample.exe failed under Wine:"
    cat "$work/wine.log"
    exit 1
}
if [ ! -s "$work/gdi.bmp" ]; then
    echo "quillane-canvas-sample.exe wrote no image"
    exit 1
fi
"$python" "$(dirname "$0")/compare-images.py" "$work/cairo.png" "$work/gdi.bmp"
