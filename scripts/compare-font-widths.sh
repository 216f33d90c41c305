#!/bin/sh
# Measures the strings of tools/font-widths with this platform's font engine
# and with GDI under Wine, and reports per string the largest difference in
# pixels over the Liberation faces at 10, 12 and 24 pt (96 ppi), without and
# with pair kerning, and of ascent and descent.
#   compare-font-widths.sh NATIVE_TOOL WIN64_BUILD_DIR
# Exit 0 when every string differs by at most one pixel per character, 1 when
# not, 77 when the Windows build is missing (a skipped test).
set -eu

native=$1
win64=$2
tool="$win64/bin/quillane-fontwidths.exe"
if [ ! -x "$win64/wine-run.sh" ] || [ ! -f "$tool" ]; then
    echo "no Windows build with quillane-fontwidths.exe in $win64: skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$native" >"$work/native.txt"
# Into a file, not a pipe: a Wine server started here inherits the output
# and would hold a pipe open after the program ends.
"$win64/wine-run.sh" "$tool" </dev/null >"$work/gdi.raw" 2>/dev/null || true
tr -d '\r' <"$work/gdi.raw" >"$work/gdi.txt"
if [ ! -s "$work/gdi.txt" ]; then
    echo "quillane-fontwidths.exe gave no output under Wine"
    exit 1
fi

paste "$work/native.txt" "$work/gdi.txt" | awk -F'\t' '
    function abs(v) { return v < 0 ? -v : v }
    {
        # native: face pt n plain kerned text | gdi: the same 6 fields
        # (metric lines: face pt m ascent descent | 5 fields)
        if ($3 == "m") {
            key = "ascent, descent"
            d = abs($4 - $9); e = abs($5 - $10); if (e > d) d = e
            if (!(key in plain) || d > plain[key]) plain[key] = d
            if (!(key in kerned)) kerned[key] = 0
            if (!(key in order)) { order[key] = ++n; names[n] = key; len[key] = 1 }
            next
        }
        if ($1 != $7 || $2 != $8 || $3 != $9) { print "outputs do not line up: " $0; bad = 1; exit 1 }
        key = $6
        d = abs($4 - $10); e = abs($5 - $11)
        if (!(key in order)) { order[key] = ++n; names[n] = key; len[key] = length($6); plain[key] = 0; kerned[key] = 0 }
        if (d > plain[key]) plain[key] = d
        if (e > kerned[key]) kerned[key] = e
    }
    END {
        if (bad) exit 1
        printf "%-10s %-10s %s\n", "plain px", "kerned px", "string (largest difference over 3 faces x 3 sizes)"
        for (i = 1; i <= n; ++i) {
            key = names[i]
            printf "%-10d %-10d %s\n", plain[key], kerned[key], key
            if (plain[key] > len[key] || kerned[key] > len[key]) fail = 1
        }
        exit fail
    }' >"$work/report.txt" || status=$?
# The strings are Windows-1252.
iconv -f CP1252 -t UTF-8 "$work/report.txt" 2>/dev/null || cat "$work/report.txt"
exit "${status:-0}"
