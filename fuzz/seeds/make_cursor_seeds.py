#!/usr/bin/env python3
"""Writes the seed inputs of the cursor_file fuzz target.

Every seed is made here from scratch: cursors and icons of each bit depth the reader knows, one
holding a PNG, animated cursors with and without rates and a step sequence, and a plain PNG
picture. Run from anywhere; the seeds land in cursor_file/ beside this script.
"""
import struct
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent / "cursor_file"


def png(width, height):
    """A small RGBA PNG: a diagonal of opaque red on transparent black."""
    rows = b"".join(b"\0" + b"".join(b"\xff\0\0\xff" if x == y else b"\0\0\0\0"
                                     for x in range(width)) for y in range(height))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows))
            + chunk(b"IEND", b""))


def dib(width, height, bits, palette=()):
    """A bitmap entry: header, palette, a pattern of pixels and a mask hiding the first column."""
    stride = (width * bits + 31) // 32 * 4
    mask_stride = (width + 31) // 32 * 4
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0,
                       len(palette), 0)
    pal = b"".join(struct.pack("<I", c) for c in palette)
    pixels = bytes((x * 37 + y * 11) & 255 for y in range(height) for x in range(stride))
    mask = bytes([0x80] + [0] * (mask_stride - 1)) * height
    return info + pal + pixels + mask


def icon(entry, width, height, kind=2, hot=(1, 2)):
    """An icon (kind 1) or cursor (kind 2) file of one entry."""
    directory = struct.pack("<HHH", 0, kind, 1)
    record = struct.pack("<BBBBHHII", width & 255, height & 255, 0, 0, hot[0], hot[1],
                         len(entry), 22)
    return directory + record + entry


def riff_chunk(kind, body):
    return kind + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")


def animated(frames, rates=None, sequence=None):
    header = struct.pack("<9I", 36, len(frames), len(sequence or frames), 0, 0, 0, 0, 6, 3)
    body = b"ACON" + riff_chunk(b"anih", header)
    if rates:
        body += riff_chunk(b"rate", struct.pack(f"<{len(rates)}I", *rates))
    if sequence:
        body += riff_chunk(b"seq ", struct.pack(f"<{len(sequence)}I", *sequence))
    body += riff_chunk(b"LIST", b"fram" + b"".join(riff_chunk(b"icon", f) for f in frames))
    return riff_chunk(b"RIFF", body)


def main():
    HERE.mkdir(exist_ok=True)
    grey = [0x000000, 0xFFFFFF, 0x808080, 0xC0C0C0]
    still = icon(dib(4, 4, 32), 4, 4)
    seeds = {
        "bits1.cur": icon(dib(9, 3, 1, grey[:2]), 9, 3),
        "bits4.cur": icon(dib(5, 2, 4, grey), 5, 2),
        "bits8.ico": icon(dib(3, 3, 8, grey), 3, 3, kind=1),
        "bits24.cur": icon(dib(3, 2, 24), 3, 2),
        "bits32.cur": still,
        "png.ico": icon(png(4, 3), 4, 3, kind=1),
        "plain.png": png(3, 3),
        "animated.ani": animated([still, icon(dib(4, 4, 1, grey[:2]), 4, 4)], [6, 12, 30],
                                 [1, 0, 1]),
        "plain.ani": animated([still, still]),
    }
    for name, data in seeds.items():
        (HERE / name).write_bytes(data)


if __name__ == "__main__":
    main()
