#!/usr/bin/env python3
"""Writes the seed inputs of the read_pages fuzz target: pages-read files as the player writes
them, and the damage a file meets (cut short, overlapping and huge ranges, foreign text). Run
from anywhere; the seeds land beside this script."""
from pathlib import Path

HERE = Path(__file__).resolve().parent
HEADER = b"talu read pages 1\n"


def main():
    out = HERE / "read_pages"
    out.mkdir(exist_ok=True)
    seeds = {
        "written": HEADER + b"DEMO.TALU\t3,5-9,13\nCHAPTERS\\ONE.TALU\t0-2\n",
        "cp932-name": HEADER + b"\x8f\xcd\\\x82\xa0.TALU\t7\n",
        "overlapping": HEADER + b"A.TALU\t8-12,1-5,3-9,20,13\nA.TALU\t2\n",
        "huge-range": HEADER + b"A.TALU\t0-999999999\n",
        "cut-short": HEADER + b"A.TALU\t1-5\nB.TALU\t1-",
        "reversed": HEADER + b"A.TALU\t9-2\n",
        "foreign": b"[SYSTEM]\nm_iLangMode=1\n",
        "header-only": HEADER,
    }
    for name, data in seeds.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
