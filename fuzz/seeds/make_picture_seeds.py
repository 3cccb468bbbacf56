#!/usr/bin/env python3
"""Writes the seed inputs of the bmp_reader and archive_lookup fuzz targets.

Every seed is made here from scratch: small BMP files in each form the reader knows, and
archives (ZIP, LZH, tar, nested) holding them. Run from anywhere; the seeds land beside this
script. The archive seeds start with one byte that picks the member path the fuzz target asks for.
"""
import io
import struct
import tarfile
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent


def bmp(width, height, bits, pixels, palette=(), compression=0, masks=(), header=40):
    """A BMP file with a Windows (40) or OS/2 (12) information header."""
    if header == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
        pal = b"".join(struct.pack("<BBB", c & 255, (c >> 8) & 255, c >> 16) for c in palette)
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels),
                           2835, 2835, len(palette), 0)
        pal = b"".join(struct.pack("<I", c) for c in palette)
    extra = b"".join(struct.pack("<I", m) for m in masks)
    offset = 14 + len(info) + len(extra) + len(pal)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + extra + pal + bytes(pixels)


def bmp_seeds():
    grey = [0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF]
    return {
        "rgb24.bmp": bmp(3, 2, 24, [255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0] * 2),
        "topdown.bmp": bmp(2, -2, 24, [9, 8, 7, 6, 5, 4, 0, 0] * 2),
        "pal1.bmp": bmp(9, 2, 1, [0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0], grey[:2]),
        "pal4.bmp": bmp(3, 2, 4, [0x12, 0x30, 0, 0, 0x01, 0x20, 0, 0], grey),
        "pal8.bmp": bmp(3, 2, 8, [0, 1, 2, 0, 3, 2, 1, 0], grey),
        "os2.bmp": bmp(2, 2, 8, [0, 1, 0, 0, 2, 3, 0, 0], grey + [0] * 252, header=12),
        "rle8.bmp": bmp(5, 2, 8, [2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 0, 1, 2, 0, 1], grey, 1),
        "rle4.bmp": bmp(6, 1, 4, [3, 0x12, 0, 3, 0x30, 0x10, 0, 1], grey, 2),
        "rgb16bf.bmp": bmp(2, 1, 16, [0x1F, 0xF8, 0xE0, 0x07], (), 3, (0xF800, 0x07E0, 0x001F)),
        "rgb32.bmp": bmp(1, 1, 32, [1, 2, 3, 4]),
        "rgb16.bmp": bmp(2, 1, 16, [0x1F, 0x7C, 0xE0, 0x03]),
        "rgb32bf.bmp": bmp(2, 1, 32, [1, 2, 3, 0, 4, 5, 6, 0], (), 3,
                           (0x00FF0000, 0x0000FF00, 0x000000FF)),
        "pal1topdown.bmp": bmp(9, -2, 1, [0xF0, 0x80, 0, 0, 0x0F, 0x00, 0, 0], grey[:2]),
        "pal4short.bmp": bmp(4, 1, 4, [0x01, 0x10, 0, 0], grey[1:3]),
    }


def crc16(data):
    crc = 0
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def lzh(members):
    """An LZH archive of level-0 headers with stored (-lh0-) members."""
    out = b""
    for name, data in members:
        raw = name.encode("ascii").replace(b"/", b"\\")
        body = (b"-lh0-" + struct.pack("<IIIBB", len(data), len(data), 0x00210000, 0x20, 0) +
                bytes([len(raw)]) + raw + struct.pack("<H", crc16(data)))
        out += bytes([len(body), sum(body) & 255]) + body + data
    return out + b"\0"


def zipped(members, method=zipfile.ZIP_DEFLATED):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", method) as archive:
        for name, data in members:
            # A fixed time, so the seeds come out the same on every run of this script.
            archive.writestr(zipfile.ZipInfo(name, date_time=(2000, 1, 1, 0, 0, 0)), data,
                             compress_type=method)
    return buffer.getvalue()


def tarred(members):
    buffer = io.BytesIO()
    with tarfile.open(fileobj=buffer, mode="w", format=tarfile.USTAR_FORMAT) as archive:
        for name, data in members:
            info = tarfile.TarInfo(name)
            info.size = len(data)
            archive.addfile(info, io.BytesIO(data))
    return buffer.getvalue()


def archive_seeds():
    seeds = bmp_seeds()
    pictures = [("FACE.BMP", seeds["rgb24.bmp"]), ("IMG/Pal8.bmp", seeds["pal8.bmp"])]
    inner_lzh = lzh(pictures)
    # The first byte picks the path: 0 FACE.BMP, 1 img\pal8.bmp, 2 inner.lzh\img\Pal8.bmp,
    # 3 inner.zip/face.bmp.
    return {
        "pictures.lzh": b"\x00" + inner_lzh,
        "pictures.zip": b"\x01" + zipped(pictures),
        "stored.zip": b"\x00" + zipped(pictures, zipfile.ZIP_STORED),
        "nested.lzh": b"\x02" + lzh([("inner.lzh", inner_lzh), ("TOP.BMP", seeds["rgb32.bmp"])]),
        "nested.zip": b"\x03" + zipped([("inner.zip", zipped(pictures))]),
        "pictures.tar": b"\x01" + tarred(pictures),
    }


def main():
    for folder, seeds in (("bmp_reader", bmp_seeds()), ("archive_lookup", archive_seeds())):
        target = HERE / folder
        target.mkdir(exist_ok=True)
        for name, data in seeds.items():
            (target / name).write_bytes(data)


if __name__ == "__main__":
    main()
