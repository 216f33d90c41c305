#!/usr/bin/env python3
"""Writes a deterministic plain-text file of about SIZE megabytes, shaped
like a plain-text book: paragraphs of words hard-wrapped at 72 columns with
CR LF line ends, a blank line between paragraphs, some tabs, accented
letters and dashes of code page 1252.

usage: make_text.py OUT [SIZE_MB]
"""
import sys

WORDS = ("the of and to in a is that for it as was with be by on not he this are or his from at which "
         "but have an they you were her she there been one all we their has would when if so no will "
         "more about out up them some could into than then other only new time these two may first "
         "caf\xe9 na\xefve fa\xe7ade \xdcbermut se\xf1or r\xe9sum\xe9 \x96 \x97 \x93quoted\x94").split()


def main():
    out = sys.argv[1]
    size = int(float(sys.argv[2] if len(sys.argv) > 2 else 100) * 1024 * 1024)
    state = 88172645463325252
    written = 0
    with open(out, "wb") as f:
        while written < size:
            lines = []
            line = "\t" if state % 7 == 0 else ""
            for _ in range(40 + state % 120):
                state = (state * 6364136223846793005 + 1442695040888963407) & ((1 << 64) - 1)
                word = WORDS[(state >> 33) % len(WORDS)]
                if len(line) + len(word) + 1 > 72:
                    lines.append(line)
                    line = ""
                line = word if not line else line + " " + word
            lines.append(line)
            block = ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1")
            f.write(block)
            written += len(block)


if __name__ == "__main__":
    main()
