"""Sound files made from scratch for the demo book, the test books and the fuzz seeds:
RIFF WAVE and P16 tones, and Standard MIDI files. Nothing here reads a borrowed sound."""
import math
import struct
import subprocess
import tempfile
from pathlib import Path


def tone_samples(seconds, rate=22050, hz=440.0, peak=12000, channels=1, decay=0.0):
    """16-bit little-endian samples of a sine tone, optionally dying away."""
    out = bytearray()
    frames = int(seconds * rate)
    for i in range(frames):
        gain = math.exp(-decay * i / rate) if decay else 1.0
        value = int(peak * gain * math.sin(2 * math.pi * hz * i / rate))
        out += struct.pack("<h", value) * channels
    return bytes(out)


def wave(samples, rate=22050, channels=1, bits=16, format_tag=1, fmt_size=16, data_size=None):
    """A RIFF WAVE file; fmt_size and data_size may lie for damaged seeds."""
    frame = channels * bits // 8
    fmt = struct.pack("<HHIIHH", format_tag, channels, rate, rate * frame, frame, bits)
    size = len(samples) if data_size is None else data_size
    body = b"WAVE" + b"fmt " + struct.pack("<I", fmt_size) + fmt
    body += b"data" + struct.pack("<I", size) + samples
    return b"RIFF" + struct.pack("<I", len(body)) + body


def _vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append((n & 0x7F) | 0x80)
        n >>= 7
    return bytes(reversed(out))


def midi(notes, tempo_us=500000, program=0, division=480):
    """A one-track Standard MIDI file. notes: (pitch, ticks, velocity) in order; pitch None rests."""
    events = _vlq(0) + b"\xff\x51\x03" + tempo_us.to_bytes(3, "big")
    events += _vlq(0) + bytes([0xC0, program])
    pending = 0
    for pitch, ticks, velocity in notes:
        if pitch is None:
            pending += ticks
            continue
        events += _vlq(pending) + bytes([0x90, pitch, velocity])
        events += _vlq(ticks) + bytes([0x80, pitch, 0])
        pending = 0
    events += _vlq(pending) + b"\xff\x2f\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, division)
    return header + b"MTrk" + struct.pack(">I", len(events)) + events


def ogg(path, seconds, hz):
    """Writes an Ogg Vorbis tone to path through scripts/ogg_tone.c, built here with the C
    compiler and libvorbisenc."""
    with tempfile.TemporaryDirectory() as scratch:
        tool = Path(scratch) / "ogg_tone"
        flags = subprocess.run(["pkg-config", "--cflags", "--libs", "vorbisenc", "vorbis", "ogg"],
                               check=True, capture_output=True, text=True).stdout.split()
        source = Path(__file__).resolve().parent / "ogg_tone.c"
        subprocess.run(["cc", "-O2", "-o", str(tool), str(source), *flags, "-lm"], check=True)
        subprocess.run([str(tool), str(path), str(seconds), str(hz)], check=True)
