#!/usr/bin/env python3
"""Writes the seed inputs of the wave_reader fuzz target: small WAVE files in each form the
reader meets (mono and stereo, 8 and 16 bits, extra chunks, other codecs, damaged sizes) and a
P16 file. Run from anywhere; the seeds land beside this script."""
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent.parent / "scripts"))
from talu_sounds import tone_samples, wave  # noqa: E402


def main():
    out = HERE / "wave_reader"
    out.mkdir(exist_ok=True)
    tone = tone_samples(0.01)
    seeds = {
        "mono16.wav": wave(tone),
        "stereo16.wav": wave(tone_samples(0.01, channels=2), channels=2, rate=44100),
        "mono8.wav": wave(bytes(b ^ 0x80 for b in tone[1::2]), bits=8, rate=11025),
        "float.wav": wave(tone + tone, format_tag=3, bits=32),
        "lying-fmt.wav": wave(tone, fmt_size=40),
        "huge-data.wav": wave(tone, data_size=0x7FFFFFF0),
        "truncated.wav": wave(tone)[:-9],
        "list-chunk.wav": wave(tone)[:36] + b"LIST\x03\x00\x00\x00abc\x00" + wave(tone)[36:],
        "tone.p16": tone,
    }
    for name, data in seeds.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
