#!/usr/bin/env python3
"""Writes the backlog reader's fuzz seeds into fuzz/seeds/backlog_file/: logs as the player
writes them (pages, line breaks, chosen links, Japanese text) and damaged ones."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "backlog_file")


def log(pages):
    out = "talu backlog 1\n"
    for text, chosen in pages:
        out += "\npage\n" + "".join("| " + line + "\n" for line in text.split("\n"))
        if chosen:
            out += "> " + chosen + "\n"
    return out.encode("utf-8")


def main():
    os.makedirs(OUT, exist_ok=True)
    good = log([("Where now?", "The long road"), ("The long road.", ""),
                ("Name: \nBrave Tired\nHello 太郎, going right.", ""), ("", "Open door")])
    seeds = {
        "pages.log": good,
        "empty.log": log([]),
        "crlf.log": good.replace(b"\n", b"\r\n"),
        "truncated.log": good[: len(good) // 2],
        "invalid-utf8.log": good.replace("太".encode("utf-8"), b"\xe5\x28"),
        "nul.log": good.replace(b"Brave", b"Br\0ve"),
        "stray.log": good + b"not a line of a log\n",
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
