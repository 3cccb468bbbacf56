#!/usr/bin/env python3
"""Writes the music and effects of the test books in tests/books/run/ from scratch: MIDI songs,
WAVE and P16 tones, damaged files, and OGG tracks (through scripts/ogg_tone.c, built here with
the C compiler and libvorbisenc). Run from anywhere; the files are committed."""
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
from talu_sounds import midi, ogg, tone_samples, wave  # noqa: E402

BOOKS = HERE.parent / "tests" / "books" / "run"



def main():
    sounds = BOOKS / "sounds"
    sounds.mkdir(parents=True, exist_ok=True)
    (BOOKS / "cd").mkdir(exist_ok=True)
    # Half a second of four rising notes.
    (sounds / "theme.mid").write_bytes(
        midi([(60, 120, 100), (64, 120, 100), (67, 120, 100), (72, 120, 100)]))
    ogg(sounds / "tune.ogg", 0.5, 440)
    ogg(BOOKS / "cd" / "Track02.ogg", 0.5, 330)
    # 44100 bytes: exactly one second at 22050 16-bit mono samples.
    (sounds / "one.p16").write_bytes(tone_samples(1.0, hz=660))
    (sounds / "blip.wav").write_bytes(wave(tone_samples(0.2, hz=880, decay=8)))
    (sounds / "truncated.wav").write_bytes(wave(tone_samples(0.1))[:-100])
    (sounds / "lying.wav").write_bytes(wave(tone_samples(0.1), fmt_size=40))
    (sounds / "noise.xyz").write_bytes(b"not music at all, just words " * 8)


if __name__ == "__main__":
    main()
