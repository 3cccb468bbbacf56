#!/usr/bin/env python3
"""Draws the picture of the going-back trace book: a character (a green disc on the transparent
magenta) as a 24-bit BMP. Writes tests/books/run/img/face.bmp."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tests", "books", "run", "img", "face.bmp")
W, H = 48, 64


def pixel(x, y):
    if (x - 24) ** 2 + (y - 32) ** 2 <= 20 ** 2:
        return (40, 180, 60)
    return (255, 0, 255)


def main():
    row_bytes = (W * 3 + 3) & ~3
    rows = []
    for y in reversed(range(H)):  # bottom-up
        row = b"".join(struct.pack("<BBB", *reversed(pixel(x, y))) for x in range(W))
        rows.append(row + b"\0" * (row_bytes - W * 3))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(OUT, "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    main()
