#!/usr/bin/env python3
"""Writes the input bindings reader's fuzz seeds into fuzz/seeds/input_bindings/: entries as the
player writes them (line 2n: the n-th action's keys, 2n+1: its buttons, "-": none stored),
punctuation and escaped keys, and damaged ones."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "input_bindings")
ACTIONS = 19


def entries(changed):
    lines = ["-"] * (ACTIONS * 2)
    for index, value in changed.items():
        lines[index] = value
    return ("\n".join(lines) + "\n").encode("ascii")


def main():
    os.makedirs(OUT, exist_ok=True)
    seeds = {
        "save_f5": entries({20: "F5", 4: ""}),
        "punctuation": entries({0: "Return | | | , | ; | Ctrl+, | Shift+| | %25 | %C2%A5"}),
        "buttons": entries({1: "a | x", 17: "start | b"}),
        "taken": entries({12: "PgUp", 36: "Return | Esc", 15: "a"}),
        "escaped": entries({2: "Up | x%20| | Shift+Tab", 6: "%7C%20x | %25%25"}),
        "broken": entries({20: "F5 | %Z | %4 |  | \x01x | F5", 22: "x" * 300}),
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
