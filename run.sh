#!/bin/sh
# Installs what is missing, builds, and shows Quillane at work. Until the
# word processor's window exists this runs the document converter on a
# shipped sample: natively, and the Windows build under Wine.
set -eu
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

./scripts/install-deps.sh
. ./scripts/ensure-display.sh

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$JOBS"
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win64 -j "$JOBS"

OUT="$ROOT/build/run"
mkdir -p "$OUT"
SAMPLE="$ROOT/samples/welcome-dos.txt"
echo "== $SAMPLE, as the converter reads it"
build/native/bin/quillane-convert --info --from dostxt "$SAMPLE"
build/native/bin/quillane-convert --from dostxt "$SAMPLE" "$OUT/welcome-ansi.txt"
echo "== converted to ANSI text: $OUT/welcome-ansi.txt"
iconv -f CP1252 -t UTF-8 "$OUT/welcome-ansi.txt" | tr -d '\r'
echo
echo "== the same conversion by the Windows build under Wine"
build/win64/wine-run.sh build/win64/bin/quillane-convert.exe --from dostxt "$SAMPLE" "$OUT/welcome-wine.txt"
build/win64/wine-run.sh --stop
if cmp -s "$OUT/welcome-ansi.txt" "$OUT/welcome-wine.txt"; then
    echo "identical output from both builds"
else
    echo "the two builds differ:"; cmp "$OUT/welcome-ansi.txt" "$OUT/welcome-wine.txt" || true
fi
