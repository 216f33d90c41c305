#!/bin/sh
# Plays every WMF and EMF file of the corpus with the portable player (the
# native quillane-metafile-render) and with the system's player under Wine
# (the same tool built for Windows), and compares each pair of images with
# a tolerant measure (scripts/compare-images.py, reduced 4 times so that
# what counts is where the ink is). Prints each file's measure and the
# number of pairs within the limits; fails when fewer than FLOOR percent of
# the files that both players draw are.
#   compare-metafile-images.sh NATIVE_TOOL WIN64_BUILD_DIR CORPUS [FLOOR]
# Exit 0 when the floor holds, 1 when not, 77 when the Windows build, the
# corpus or Pillow is missing (a skipped test).
set -eu

native=$(realpath "$1")
win64=$(realpath -m "$2")
corpus=$(realpath -m "$3")
floor=${4:-75}
tool="$win64/bin/quillane-metafile-render.exe"
if [ ! -x "$win64/wine-run.sh" ] || [ ! -f "$tool" ]; then
    echo "no Windows build with quillane-metafile-render.exe in $win64: skipped"
    exit 77
fi
if [ ! -d "$corpus/wmf" ] || [ ! -d "$corpus/emf" ]; then
    echo "no corpus WMF and EMF files in $corpus: skipped"
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
compared=0
within=0
for file in "$corpus"/wmf/*.wmf "$corpus"/emf/*.emf; do
    name=$(basename "$file")
    cp "$file" "$work/in"
    # Both at the size the native tool chooses, given to both explicitly.
    if ! "$native" "$file" "$work/native.png" 2>/dev/null; then
        echo "$name: not played here"
        continue
    fi
    size=$("$python" -c 'import sys; from PIL import Image; print(*Image.open(sys.argv[1]).size)' "$work/native.png")
    rm -f "$work/gdi.bmp"
    # The system's player may crash on a damaged file (the runner has no
    # crash debugger, so Wine ends the program); a hang is cut short.
    # shellcheck disable=SC2086
    (cd "$work" && timeout -k 5 60 "$win64/wine-run.sh" "$tool" in gdi.bmp $size \
        </dev/null >"$work/wine.log" 2>&1) || true
    if [ ! -s "$work/gdi.bmp" ]; then
        echo "$name: not played by the system's player"
        continue
    fi
    compared=$((compared + 1))
    printf '%s: ' "$name"
    if "$python" "$(dirname "$0")/compare-images.py" --scale 4 "$work/native.png" "$work/gdi.bmp" 12 15; then
        within=$((within + 1))
    fi
done
echo "$within of $compared metafiles within the limits (floor $floor %)"
[ "$compared" -gt 0 ] && [ $((within * 100)) -ge $((compared * floor)) ]
