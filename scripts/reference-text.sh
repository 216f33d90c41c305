#!/bin/sh
# Reference text of documents from LibreOffice, for comparisons with what
# quillane-convert extracts. Prints, for each FILE given, the path of its
# UTF-8 text, or of an empty ".failed" file when LibreOffice made none.
# A Word document LibreOffice cannot read gets antiword's text instead, when
# antiword is installed (its file ends in ".antiword.txt").
# Conversions are cached by the file's checksum under
# ${QUILLANE_REFERENCE_CACHE:-~/.cache/quillane/reference}, so reruns only
# convert what is new. Exits 77 when soffice is not installed.
#   scripts/reference-text.sh FILE...
set -eu
command -v soffice >/dev/null 2>&1 || { echo "reference-text: soffice not installed" >&2; exit 77; }
CACHE=${QUILLANE_REFERENCE_CACHE:-$HOME/.cache/quillane/reference}
mkdir -p "$CACHE"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/in" "$WORK/out"

# Copy what is not cached yet under its checksum, then convert it all with
# one start of LibreOffice.
missing=0
for f in "$@"; do
    sum=$(sha256sum "$f" | cut -c1-64)
    if [ ! -f "$CACHE/$sum.txt" ] && [ ! -f "$CACHE/$sum.failed" ]; then
        ext=${f##*.}
        cp "$f" "$WORK/in/$sum.$ext"
        missing=$((missing + 1))
    fi
done
if [ "$missing" -gt 0 ]; then
    echo "reference-text: converting $missing file(s) with LibreOffice" >&2
    timeout 1800 soffice --headless --norestore "-env:UserInstallation=file://$WORK/profile" \
        --convert-to 'txt:Text (encoded):UTF8' --outdir "$WORK/out" "$WORK"/in/* >"$WORK/log" 2>&1 || true
    for f in "$WORK"/in/*; do
        sum=$(basename "${f%.*}")
        if [ -f "$WORK/out/$sum.txt" ]; then
            mv "$WORK/out/$sum.txt" "$CACHE/$sum.txt"
        else
            : >"$CACHE/$sum.failed"
        fi
    done
fi
# Word documents LibreOffice failed on: antiword's text, cached the same
# way (a failure too, so it is tried once).
if command -v antiword >/dev/null 2>&1; then
    for f in "$@"; do
        sum=$(sha256sum "$f" | cut -c1-64)
        case $(echo "${f##*.}" | tr 'A-Z' 'a-z') in doc | dot) ;; *) continue ;; esac
        if [ -f "$CACHE/$sum.failed" ] && [ ! -f "$CACHE/$sum.antiword.txt" ] &&
            [ ! -f "$CACHE/$sum.antiword.failed" ]; then
            if timeout 120 antiword -w 0 -m UTF-8.txt "$f" >"$WORK/antiword.txt" 2>/dev/null; then
                mv "$WORK/antiword.txt" "$CACHE/$sum.antiword.txt"
            else
                : >"$CACHE/$sum.antiword.failed"
            fi
        fi
    done
fi
for f in "$@"; do
    sum=$(sha256sum "$f" | cut -c1-64)
    if [ -f "$CACHE/$sum.txt" ]; then
        echo "$CACHE/$sum.txt"
    elif [ -f "$CACHE/$sum.antiword.txt" ]; then
        echo "$CACHE/$sum.antiword.txt"
    else
        echo "$CACHE/$sum.failed"
    fi
done
