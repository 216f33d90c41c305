#!/usr/bin/env python3
"""Compares the UTF-8 text quillane-convert extracts from documents with
LibreOffice's reference text (scripts/reference-text.sh), word by word after
normalising whitespace, and prints the distribution of the similarities.

usage: text_similarity.py [--ext .a,.b] [--count-failures] CONVERTER REFERENCE_SCRIPT FLOOR FOLDER|FILE...

The similarity of one file is difflib's ratio over the two token lists
(2 * matching tokens / all tokens). Exit 1 when the mean similarity falls
below FLOOR (percent) or a file cannot be converted (with --count-failures
such a file counts as 0 % instead); 77 when the reference tool or the files
are missing. A FOLDER stands for its files with the given extensions
(.rtf unless --ext says otherwise). Files no reference tool can read are
left out; those compared with antiword's text are marked so.
"""
import difflib
import os
import subprocess
import sys
import tempfile

# Characters that carry no words: the object replacement character, soft
# hyphens, zero-width marks and the byte-order mark.
DROPPED = dict.fromkeys(map(ord, "\ufffc\u00ad\u200b\u200c\u200d\u200e\u200f\ufeff"), None)
# Spaces and dashes that the two programs may spell differently.
SPACES = dict.fromkeys(map(ord, "\u00a0\u2002\u2003\u2009\u202f"), " ")


def tokens(text):
    return text.translate(DROPPED).translate(SPACES).split()


def similarity(a, b):
    if not a and not b:
        return 1.0
    return difflib.SequenceMatcher(None, a, b, autojunk=False).ratio()


def main():
    args = sys.argv[1:]
    extensions = (".rtf",)
    count_failures = False
    while args and args[0].startswith("--"):
        if args[0] == "--ext":
            extensions = tuple(e.lower() for e in args[1].split(","))
            args = args[2:]
        elif args[0] == "--count-failures":
            count_failures = True
            args = args[1:]
        else:
            print(__doc__)
            return 2
    converter, reference_script, floor = args[0], args[1], float(args[2])
    files = []
    for arg in args[3:]:
        if os.path.isdir(arg):
            files += sorted(os.path.join(arg, f) for f in os.listdir(arg) if f.lower().endswith(extensions))
        elif os.path.isfile(arg):
            files.append(arg)
    if not files:
        print("skipped: no files")
        return 77
    refs = subprocess.run(["sh", reference_script, *files], capture_output=True, text=True)
    if refs.returncode == 77:
        print("skipped: soffice is not installed")
        return 77
    if refs.returncode != 0:
        print(refs.stderr)
        return 1
    ref_paths = refs.stdout.split()
    results, failures = [], []
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "out.txt")
        for path, ref in zip(files, ref_paths):
            name = os.path.basename(path)
            if ref.endswith(".failed"):
                print(f"  no reference: {name}")
                continue
            run = subprocess.run([converter, "--to", "utf8", path, out], capture_output=True, text=True)
            if run.returncode != 0:
                print(f"  not converted: {name}: {run.stderr.strip()}")
                if count_failures:
                    results.append((0.0, name, 0, 0))
                else:
                    failures.append(name)
                continue
            with open(out, encoding="utf-8", errors="replace") as f:
                ours = tokens(f.read())
            with open(ref, encoding="utf-8", errors="replace") as f:
                theirs = tokens(f.read())
            if ref.endswith(".antiword.txt"):
                name += " [antiword]"
            results.append((similarity(ours, theirs), name, len(ours), len(theirs)))
    results.sort()
    n = len(results)
    if n == 0:
        print("no file compared")
        return 1
    at99 = sum(1 for r in results if r[0] >= 0.99)
    at95 = sum(1 for r in results if r[0] >= 0.95)
    mean = 100.0 * sum(r[0] for r in results) / n
    print(f"compared {n} files with LibreOffice's text: {at99} >= 99 %, {at95 - at99} from 95 to 99 %, "
          f"{n - at95} below 95 %; mean {mean:.1f} %")
    print("lowest:")
    for score, name, ours, theirs in results[:15]:
        print(f"  {100 * score:5.1f} %  {name}  ({ours} words here, {theirs} in the reference)")
    if failures:
        return 1
    if mean < floor:
        print(f"FAILED: mean similarity {mean:.1f} % is below the floor of {floor} %")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
