#!/usr/bin/env python3
"""Writes the demo book's music and sound from scratch: a short tune as a Standard MIDI file
(books/demo/snd/sea.mid, played with the General MIDI soundfont) and the splash of a wave as
a P16 file (raw 16-bit mono samples at 22050 per second, books/demo/snd/splash.p16)."""
import math
import random
import struct
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
from talu_sounds import midi  # noqa: E402

SND = HERE.parent / "books" / "demo" / "snd"
BEAT = 480


def tune():
    """Eight bars in 3/4 on a harp-like voice (General MIDI program 46)."""
    melody = [67, 69, 71, 74, 72, 71, 69, 67, 64, 67, 69, 67,
              67, 69, 71, 74, 76, 74, 72, 71, 69, 67, 66, 67]
    notes = [(pitch, BEAT - 20, 90) for pitch in melody]
    notes.append((None, 20, 0))
    return midi(notes, tempo_us=400000, program=46, division=BEAT)


def splash(seconds=1.2, rate=22050):
    """Noise that swells and dies away, smoothed into a soft rush."""
    rng = random.Random(7)
    out = bytearray()
    smooth = 0.0
    frames = int(seconds * rate)
    for i in range(frames):
        t = i / frames
        envelope = math.sin(math.pi * t) ** 2 * math.exp(-2.5 * t)
        smooth += 0.15 * (rng.uniform(-1, 1) - smooth)
        out += struct.pack("<h", int(26000 * envelope * smooth))
    return bytes(out)


def main():
    SND.mkdir(parents=True, exist_ok=True)
    (SND / "sea.mid").write_bytes(tune())
    (SND / "splash.p16").write_bytes(splash())


if __name__ == "__main__":
    main()
