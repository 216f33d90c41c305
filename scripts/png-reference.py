#!/usr/bin/env python3
"""Reference pixels for the picture decoder tests, decoded by Pillow.

    png-reference.py --check          exit 0 when Pillow can be imported
    png-reference.py OUTDIR FILE...   decode each FILE

For each FILE, OUTDIR/<name>.rgba receives the width and height (32-bit
little-endian each) and then the pixels as 8-bit R, G, B, A, row after row;
a file Pillow cannot decode gives OUTDIR/<name>.err with the reason.

Other formats (GIF, Targa, PCX, BMP) are Pillow's RGBA conversion of
the first frame as Pillow places it on the GIF's logical screen.

Gamma is ignored, as Pillow ignores it; the tests decode without gamma too.
16-bit samples keep their high byte. Transparency of greyscale images is
worked out here from the tRNS chunk, compared with the sample at its stored
bit depth and with the key masked to that depth as the PNG standard
says: Pillow compares a 1-, 2- or 4-bit key with samples already scaled to
8 bits, and converts 16-bit grey by clipping instead of dropping the low
byte.
"""
import os
import struct
import sys


def chunks(data):
    at = 8
    while at + 12 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length
        if kind == b"IEND":
            break


def grey_to_rgba(im, data):
    from PIL import Image
    header = dict(chunks(data))
    depth = header[b"IHDR"][8]
    key = None
    if b"tRNS" in header and len(header[b"tRNS"]) == 2:
        key = struct.unpack(">H", header[b"tRNS"])[0] & ((1 << depth) - 1)
    if im.mode == "I":
        levels = [v for v in im.getdata()]
        grey = [v >> 8 for v in levels]
    else:
        scale = 255 // ((1 << depth) - 1)
        grey = list(im.convert("L").getdata())
        levels = [v // scale for v in grey]
    alpha = [0 if key is not None and lv == key else 255 for lv in levels]
    out = bytearray()
    for g, a in zip(grey, alpha):
        out += bytes((g, g, g, a))
    return Image.frombytes("RGBA", im.size, bytes(out))


def decode(path):
    from PIL import Image
    with open(path, "rb") as f:
        data = f.read()
    im = Image.open(path)
    im.load()
    if data.startswith(b"\x89PNG") and im.mode in ("1", "L", "I", "I;16", "I;16B"):
        return grey_to_rgba(im, data)
    return im.convert("RGBA")


def main(argv):
    if len(argv) == 2 and argv[1] == "--check":
        import PIL  # noqa: F401
        return 0
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    out = argv[1]
    for path in argv[2:]:
        name = os.path.basename(path)
        try:
            im = decode(path)
        except Exception as e:  # any failure is a file Pillow cannot decode
            with open(os.path.join(out, name + ".err"), "w") as f:
                f.write("%s: %s\n" % (type(e).__name__, e))
            continue
        with open(os.path.join(out, name + ".rgba"), "wb") as f:
            f.write(struct.pack("<II", im.size[0], im.size[1]))
            f.write(im.tobytes())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
