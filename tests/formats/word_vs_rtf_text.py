#!/usr/bin/env python3
"""Files that LibreOffice writes from the same content as MS Word 97 and as
RTF must give the same document text through our two readers.

usage: word_vs_rtf_text.py CONVERTER

Small source documents (below, as RTF) are converted by LibreOffice with
--convert-to doc:"MS Word 97" and --convert-to rtf into a cache folder
(${QUILLANE_WORD_RTF_CACHE:-~/.cache/quillane/word-rtf}, by the checksum of
the source, so reruns start LibreOffice only for new sources). Both results
are read with CONVERTER --to utf8 and compared exactly, but for the known
differences in KNOWN, which are named in the output. Exit 1 on a
difference, 77 when soffice is not installed.
"""
import difflib
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

HEADER = (r"{\rtf1\ansi\ansicpg1252\deff0"
          r"{\fonttbl{\f0\froman\fcharset0 Times New Roman;}{\f1\fswiss\fcharset0 Arial;}"
          r"{\f2\fmodern\fcharset0 Courier New;}{\f3\froman\fcharset2 Symbol;}}")

SOURCES = {
    "paragraphs": HEADER + r"""
\pard\plain\f0\fs24 The first paragraph of plain text.\par
A second paragraph, a little longer, to carry a line or two of words from one side to the other.\par
\par
After an empty paragraph: the last one.\par}""",
    "formatted-runs": HEADER + r"""
\pard\plain\f0\fs24 Plain, {\b bold}, {\i italic}, {\ul underlined}, {\strike struck}, and {\b\i both}.\par
{\f1\fs32 Arial at sixteen points} then {\f2\fs20 Courier at ten}.\par
Super{\super script} and sub{\sub script} with a line\line break.\par}""",
    "table": HEADER + r"""
\pard\plain\f0\fs24 Before the table.\par
\trowd\cellx2000\cellx4000\cellx6000
\pard\intbl Name\cell Count\cell Price\cell\row
\trowd\cellx2000\cellx4000\cellx6000
\pard\intbl Apples\cell 12\cell 0.50\cell\row
\trowd\cellx2000\cellx4000\cellx6000
\pard\intbl Pears\cell 7\cell 0.75\cell\row
\pard\plain\f0\fs24 After the table, and a tab:\tab here.\par}""",
    "accents-greek-cyrillic": HEADER + r"""
\pard\plain\f0\fs24 Fran\'e7ais: \'e0 la fa\'e7on d'un caf\'e9 cr\'e8me, na\'efve \'fcber \'c5ngstr\'f6m.\par
Greek: \u915?\u949?\u953?\u945? \u963?\u959?\u965? \u954?\u972?\u963?\u956?\u949?.\par
Russian: \u1055?\u1088?\u1080?\u1074?\u1077?\u1090? \u1084?\u1080?\u1088?, \u1082?\u1072?\u1082? \u1076?\u1077?\u1083?\u1072??\par
Polish: \u321?\'f3d\u378? and Czech: \u344?\u237?\u269?any.\par
Dashes \endash\~and\~\emdash, quotes \ldblquote here\rdblquote, euro \u8364?.\par}""",
    "bulleted-list": HEADER + r"""
\pard\plain\f0\fs24 A list follows.\par
{\pntext\f3\'b7\tab}\pard\plain\f0\fs24\fi-360\li720{\*\pn\pnlvlblt\pnf3\pnindent360{\pntxtb\'b7}}First item\par
{\pntext\f3\'b7\tab}\pard\plain\f0\fs24\fi-360\li720{\*\pn\pnlvlblt\pnf3\pnindent360{\pntxtb\'b7}}Second item\par
{\pntext\f3\'b7\tab}\pard\plain\f0\fs24\fi-360\li720{\*\pn\pnlvlblt\pnf3\pnindent360{\pntxtb\'b7}}Third item\par
\pard\plain\f0\fs24 And the end.\par}""",
}


# Differences both readers make on purpose: name -> (reason, what turns the
# RTF file's text into the Word file's).
KNOWN = {
    "bulleted-list": (
        "LibreOffice's RTF spells each bullet as list text, which the RTF reader keeps as text; "
        "the Word file's list paragraphs carry only the bullet flag",
        lambda text: "\n".join(line[2:] if line[:2] in ("\u00b7\t", "\u2022\t") else line
                               for line in text.split("\n"))),
}


def convert_all(cache, names):
    """Converts the sources not cached yet, each to Word 97 and to RTF."""
    missing = [n for n in names if not all(os.path.exists(os.path.join(cache, n + ext)) for ext in (".doc", ".rtf"))]
    if not missing:
        return
    with tempfile.TemporaryDirectory() as work:
        src = os.path.join(work, "src")
        os.mkdir(src)
        for name in missing:
            with open(os.path.join(src, name.split("/")[-1] + ".rtf"), "w", encoding="ascii") as f:
                f.write(SOURCES[name.split("/")[0]])
        profile = "file://" + os.path.join(work, "profile")
        for target, ext in (('doc:MS Word 97', ".doc"), ("rtf", ".rtf")):
            out = os.path.join(work, "out" + ext)
            subprocess.run(["timeout", "600", "soffice", "--headless", "--norestore", "-env:UserInstallation=" + profile,
                            "--convert-to", target, "--outdir", out]
                           + [os.path.join(src, n.split("/")[-1] + ".rtf") for n in missing],
                           capture_output=True)
            for name in missing:
                made = os.path.join(out, name.split("/")[-1] + ext)
                if os.path.exists(made):
                    os.makedirs(os.path.dirname(os.path.join(cache, name)), exist_ok=True)
                    shutil.move(made, os.path.join(cache, name + ext))


def text_of(converter, path, work):
    out = os.path.join(work, "out.txt")
    run = subprocess.run([converter, "--to", "utf8", path, out], capture_output=True, text=True)
    if run.returncode != 0:
        return None, run.stderr.strip()
    with open(out, encoding="utf-8") as f:
        return f.read(), ""


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    converter = sys.argv[1]
    if shutil.which("soffice") is None:
        print("skipped: soffice is not installed")
        return 77
    cache = os.environ.get("QUILLANE_WORD_RTF_CACHE", os.path.expanduser("~/.cache/quillane/word-rtf"))
    # Each source lives under its checksum, so an edited source is converted again.
    names = {}
    for name, source in SOURCES.items():
        names[name] = name + "/" + hashlib.sha256(source.encode("ascii")).hexdigest()[:16]
    convert_all(cache, list(names.values()))
    failed = 0
    with tempfile.TemporaryDirectory() as work:
        for name, stem in names.items():
            doc, rtf = os.path.join(cache, stem + ".doc"), os.path.join(cache, stem + ".rtf")
            if not (os.path.exists(doc) and os.path.exists(rtf)):
                print(f"FAIL {name}: LibreOffice made no Word 97 or RTF file")
                failed += 1
                continue
            word_text, word_error = text_of(converter, doc, work)
            rtf_text, rtf_error = text_of(converter, rtf, work)
            if word_text is None or rtf_text is None:
                print(f"FAIL {name}: not converted: {word_error or rtf_error}")
                failed += 1
            elif name in KNOWN and word_text == KNOWN[name][1](rtf_text) and word_text != rtf_text:
                print(f"ok   {name}: {len(word_text)} characters; known difference: {KNOWN[name][0]}")
            elif word_text != rtf_text:
                print(f"FAIL {name}: the Word 97 and RTF files give different text")
                for line in difflib.unified_diff(rtf_text.splitlines(), word_text.splitlines(), "rtf", "doc",
                                                 lineterm=""):
                    print("    " + line)
                failed += 1
            else:
                print(f"ok   {name}: {len(word_text)} characters")
    print(f"{len(SOURCES) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
