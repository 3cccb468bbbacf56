#!/usr/bin/env python3
"""Writes the seed inputs of the slot_roundtrip fuzz target. The target reads them with
libFuzzer's FuzzedDataProvider: strings from the front (a backslash and another byte end one),
counts and choices from the back. Each seed fills the tables with a few names and values, some
clean, some holding the bytes a slot cannot carry. Run from anywhere; the seeds land beside this
script."""
from pathlib import Path

HERE = Path(__file__).resolve().parent


def strings(*texts):
    return b"".join(t + b"\\ " for t in texts)


def main():
    out = HERE / "slot_roundtrip"
    out.mkdir(exist_ok=True)
    # The back: table sizes (one byte each, read last to first), then the title choice.
    tail = bytes([1, 2, 2, 2, 2, 2])
    seeds = {
        "clean": strings(b"score", b"42", b"name", b"\x82\xa0", b"met", b"1", b"seen", b"yes",
                         b"note", b"\x83\x5c", b"CURRENT", b"Z:\\\\books\\\\", b"a comment",
                         b"tale") + tail,
        "tab-in-value": strings(b"v", b"a\tb", b"w", b"", b"k", b"x\ty") + tail,
        "control": strings(b"v", b"a\x01b", b"k", b"line\r\nbreak", b"t", b"<>") + tail,
        "lists": strings(b"###END_LIST###", b"###START_LIST###", b"#", b"=") + tail,
        "empty": b"",
    }
    for name, data in seeds.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
