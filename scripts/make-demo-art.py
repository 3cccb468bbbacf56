#!/usr/bin/env python3
"""Draws the demo book's pictures: two backgrounds, a character, a message-window frame and the
click-wait icons.

Everything is drawn here from plain shapes and written as 8-bit palette BMP files, the kind of
picture the books of the old player used. Run it from anywhere; it writes books/demo/img/.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "books", "demo", "img")
KEY = (255, 0, 255)  # the colour books use for "transparent"


class Canvas:
    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, left, top, right, bottom, colour):
        for y in range(max(0, top), min(self.height, bottom)):
            row = self.pixels[y]
            for x in range(max(0, left), min(self.width, right)):
                row[x] = colour

    def ellipse(self, cx, cy, rx, ry, colour):
        for y in range(int(cy - ry), int(cy + ry) + 1):
            for x in range(int(cx - rx), int(cx + rx) + 1):
                if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                    self.put(x, y, colour)

    def polygon(self, points, colour):
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            crossings = []
            for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
                if (y1 <= y < y2) or (y2 <= y < y1):
                    crossings.append(x1 + (y - y1) * (x2 - x1) / (y2 - y1))
            crossings.sort()
            for a, b in zip(crossings[::2], crossings[1::2]):
                for x in range(int(math.ceil(a)), int(b) + 1):
                    self.put(x, y, colour)

    def save_bmp(self, name):
        palette = sorted({c for row in self.pixels for c in row})
        assert len(palette) <= 256, name
        index = {c: i for i, c in enumerate(palette)}
        stride = (self.width + 3) & ~3
        rows = b"".join(
            bytes(index[c] for c in row) + b"\0" * (stride - self.width)
            for row in reversed(self.pixels))  # bottom-up
        colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
        colours += b"\0" * (1024 - len(colours))
        offset = 14 + 40 + 1024
        header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 8, 0, len(rows),
                           2835, 2835, 256, 0)
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(header + info + colours + rows)


def blend(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def sky(canvas, top, bottom, horizon):
    for y in range(horizon):
        canvas.rect(0, y, canvas.width, y + 1, blend(top, bottom, (y // 12) * 12 / horizon))


def sea():
    c = Canvas(640, 480, (0, 0, 0))
    sky(c, (40, 90, 170), (250, 200, 150), 300)
    c.ellipse(470, 260, 46, 46, (255, 230, 160))
    for y in range(300, 480):
        c.rect(0, y, 640, y + 1, blend((30, 100, 150), (10, 40, 90), (y - 300) // 15 * 15 / 180))
    for row in range(8):
        y = 315 + row * 20 + row * row
        for x in range((row * 37) % 60, 640, 90 + row * 6):
            c.rect(x, y, x + 30 + row * 4, y + 2, (200, 230, 240))
    return c


def hill():
    c = Canvas(640, 480, (0, 0, 0))
    sky(c, (120, 180, 240), (220, 240, 255), 480)
    for cx, cy in ((120, 90), (160, 80), (200, 95), (500, 60), (540, 55)):
        c.ellipse(cx, cy, 40, 20, (255, 255, 255))
    c.ellipse(320, 620, 520, 330, (90, 160, 70))
    c.ellipse(320, 640, 480, 300, (70, 140, 60))
    c.rect(440, 230, 456, 320, (110, 70, 40))
    c.ellipse(448, 210, 50, 45, (40, 110, 50))
    return c


def mina():
    c = Canvas(200, 400, KEY)
    c.polygon([(60, 170), (140, 170), (180, 390), (20, 390)], (200, 60, 80))   # dress
    c.rect(70, 160, 130, 180, (230, 230, 240))                                # collar
    c.ellipse(100, 95, 52, 62, (90, 50, 30))                                  # hair
    c.ellipse(100, 105, 42, 48, (250, 215, 190))                              # face
    c.rect(58, 60, 142, 78, (90, 50, 30))                                     # fringe
    c.ellipse(84, 108, 5, 8, (40, 40, 60))                                    # eyes
    c.ellipse(116, 108, 5, 8, (40, 40, 60))
    c.rect(92, 132, 108, 135, (200, 90, 90))                                  # mouth
    return c


def frame():
    c = Canvas(600, 140, KEY)
    c.rect(8, 0, 592, 140, (20, 30, 70))
    c.rect(0, 8, 600, 132, (20, 30, 70))
    for cx, cy in ((8, 8), (591, 8), (8, 131), (591, 131)):
        c.ellipse(cx, cy, 8, 8, (20, 30, 70))
    c.rect(6, 4, 594, 6, (200, 180, 120))
    c.rect(6, 134, 594, 136, (200, 180, 120))
    return c


def page_icon(drop):
    """One frame of the page-wait icon: a gold arrow that bobs down by drop pixels."""
    c = Canvas(24, 24, KEY)  # the top-left pixel is the icon's transparent colour
    c.polygon([(4, 6 + drop), (20, 6 + drop), (12, 16 + drop)], (120, 90, 30))
    c.polygon([(6, 7 + drop), (18, 7 + drop), (12, 14 + drop)], (250, 210, 110))
    return c


def line_icon(lit):
    """One frame of the line-wait icon: a small diamond, lit or dim."""
    c = Canvas(16, 16, KEY)
    c.polygon([(8, 3), (13, 8), (8, 13), (3, 8)], (250, 230, 160) if lit else (140, 120, 80))
    return c


def main():
    os.makedirs(OUT, exist_ok=True)
    sea().save_bmp("sea.bmp")
    hill().save_bmp("hill.bmp")
    mina().save_bmp("mina.bmp")
    frame().save_bmp("frame.bmp")
    for n, drop in enumerate((0, 2, 4), start=1):
        page_icon(drop).save_bmp("page%d.bmp" % n)
    line_icon(True).save_bmp("line1.bmp")
    line_icon(False).save_bmp("line2.bmp")


if __name__ == "__main__":
    main()
