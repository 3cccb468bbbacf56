#!/usr/bin/env python3
"""Writes the slot place reader's fuzz seeds into fuzz/seeds/slot_place/: places as the player
writes them, damaged ones, and book-like lines for the place finder."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "slot_place")


def place(slot, count, items, before, after, around):
    return ("talu place 1\nslot %016x\nitems %d %016x\naround %d %d %016x\n"
            % (slot, count, items, before, after, around)).encode("ascii")


def main():
    os.makedirs(OUT, exist_ok=True)
    good = place(0x0123456789ABCDEF, 40, 0xFEDCBA9876543210, 4, 4, 0x00000000DEADBEEF)
    seeds = {
        "good.place": good,
        "top.place": place(1, 12, 2, 0, 4, 3),
        "end.place": place(1, 12, 2, 4, 0, 3),
        "truncated.place": good[: len(good) // 2],
        "upper.place": good.replace(b"abcdef", b"ABCDEF"),
        "wide.place": good.replace(b"around 4", b"around 9"),
        "crlf.place": good.replace(b"\n", b"\r\n"),
        "lines.txt": b"Page one.\n<P>\nPage two.\n<P>\nPage one.\n<P>\nPage three.\n<P>\n",
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
