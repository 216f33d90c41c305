#!/usr/bin/python3
"""Compares two images of the same scene drawn by two platforms' canvases.

    compare-images.py [--scale N] FIRST SECOND [LIMIT_MEAN LIMIT_SHARE]

Prints the mean absolute difference over all channels of all pixels (0 to
255), the share of pixels that differ by more than 48 in some channel, and
the share that are identical. Exits 0 when the mean is at most LIMIT_MEAN
(default 3) and the share of strong differences at most LIMIT_SHARE percent
(default 2), 1 when not, 2 when the images cannot be compared. With
--scale N both images are first reduced N times by averaging (a box
filter): what remains is where the ink is, not how each rasteriser smooths
its edges.
"""
import sys

from PIL import Image, ImageChops


def main(argv):
    scale = 1
    if len(argv) > 2 and argv[1] == "--scale":
        scale = max(int(argv[2]), 1)
        argv = argv[:1] + argv[3:]
    if len(argv) not in (3, 5):
        print(__doc__.strip().splitlines()[2].strip())
        return 2
    limit_mean = float(argv[3]) if len(argv) == 5 else 3.0
    limit_share = float(argv[4]) if len(argv) == 5 else 2.0
    first = Image.open(argv[1]).convert("RGB")
    second = Image.open(argv[2]).convert("RGB")
    if first.size != second.size:
        print(f"sizes differ: {first.size} and {second.size}")
        return 2
    if scale > 1:
        reduced = (max(first.width // scale, 1), max(first.height // scale, 1))
        first = first.resize(reduced, Image.BOX)
        second = second.resize(reduced, Image.BOX)
        print(f"reduced {scale} times:", end=" ")
    width, height = first.size
    pixels = width * height
    diff = ImageChops.difference(first, second)
    total = 0
    strong = 0
    identical = 0
    for r, g, b in diff.getdata():
        total += r + g + b
        largest = max(r, g, b)
        strong += largest > 48
        identical += largest == 0
    mean = total / (pixels * 3)
    strong_share = 100.0 * strong / pixels
    identical_share = 100.0 * identical / pixels
    box = diff.getbbox()
    print(f"{width} x {height} pixels: mean difference {mean:.3f} of 255, "
          f"{strong_share:.2f}% differ by more than 48, {identical_share:.2f}% identical"
          + (f"; differences within {box}" if box else ""))
    return 0 if mean <= limit_mean and strong_share <= limit_share else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
