#!/bin/sh
# Every corpus RTF edited by a script and then undone to the start writes the
# same bytes as converting it with no edits; redone to the end, the same
# bytes as the edited state that the script saved.
#   edit_undo_corpus.sh CONVERTER CORPUS_RTF_FOLDER
set -u
convert=$1
folder=$2
[ -d "$folder" ] || { echo "no corpus at $folder: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
count=0
for f in "$folder"/*.rtf; do
    count=$((count + 1))
    "$convert" "$f" "$work/plain.rtf" 2>/dev/null || continue
    info=$("$convert" --info "$f" 2>/dev/null)
    paragraphs=$(echo "$info" | sed -n 's/^paragraphs: //p')
    [ -n "$paragraphs" ] || continue
    last=$((paragraphs - 1))
    mid=$((paragraphs / 2))
    cat >"$work/script" <<SCRIPT
select 0:0
type Start of the edit\\n
select $mid:0
type typed\\ttext
select 0:0 $mid:0
format bold on
grow
par align center
par indent 720 -360 0
select $last:0
type end\\nlast
select 0:1 $last:0
format italic on
select 0:0 $mid:0
delete
save $work/edited.rtf
undo all
save $work/undone.rtf
redo all
SCRIPT
    if ! "$convert" --edit "$work/script" "$f" "$work/redone.rtf" 2>"$work/err"; then
        echo "FAIL $f: the script stopped: $(cat "$work/err")"
        failed=$((failed + 1))
        continue
    fi
    if ! cmp -s "$work/plain.rtf" "$work/undone.rtf"; then
        echo "FAIL $f: undo all differs from the plain conversion"
        failed=$((failed + 1))
    elif ! cmp -s "$work/edited.rtf" "$work/redone.rtf"; then
        echo "FAIL $f: redo all differs from the edited state"
        failed=$((failed + 1))
    fi
done
echo "$count files, $failed failed"
[ "$failed" -eq 0 ]
