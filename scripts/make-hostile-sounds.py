#!/usr/bin/env python3
"""Writes the hostile music and sound files the audio checks must survive, with a book that plays
each, into the folder given (default: a new temporary one): headers that claim no channels or a
rate of 1 Hz, a MIDI track with no end, a 30-byte MIDI of one hour, a long sound looped a
thousand times. For measuring talu-cli against them; nothing here is committed data.
Usage: make-hostile-sounds.py [FOLDER]; prints the folder."""
import struct
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
from talu_sounds import midi, tone_samples, wave  # noqa: E402


def raw_wave(format_tag, channels, rate, bits, align, samples):
    fmt = struct.pack("<HHIIHH", format_tag, channels, rate, rate * align, align, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt
    body += b"data" + struct.pack("<I", len(samples)) + samples
    return b"RIFF" + struct.pack("<I", len(body)) + body


def endless_midi():
    # Notes with no end-of-track event: the track simply stops.
    events = b"".join(b"\x60\x90\x3c\x64\x60\x80\x3c\x00" for _ in range(8))
    return b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) + b"MTrk" + struct.pack(
        ">I", len(events)) + events


def hour_midi():
    # One note held for an hour at the slowest tempo: 30-odd bytes.
    events = b"\x00\xff\x51\x03\xff\xff\xff\x00\x90\x3c\x64"
    events += bytes([0x81, 0x57]) + b"\x80\x3c\x00\x00\xff\x2f\x00"
    return b"MThd" + struct.pack(">IHHH", 6, 0, 1, 1) + b"MTrk" + struct.pack(
        ">I", len(events)) + events


FILES = {
    "nochannels.wav": raw_wave(1, 0, 22050, 16, 0, bytes(4000)),
    "alaw1hz.wav": raw_wave(6, 1, 1, 8, 1, bytes(range(256)) * 12),
    "pcm8at1hz.wav": raw_wave(1, 1, 1, 8, 1, bytes(range(256)) * 4),
    "endless.mid": endless_midi(),
    "hour.mid": hour_midi(),
    "long.wav": wave(tone_samples(1.0, rate=8000) * 600, rate=8000),
    "tone.wav": wave(tone_samples(0.3)),
}

BOOKS = {
    "bgm-nochannels.talu": '<BGM SRC="nochannels.wav">a\r\n<BGM SRC="tone.wav">b\r\n',
    "sound-alaw1hz.talu": '<SOUND SRC="alaw1hz.wav">a\r\n<SOUND SRC="tone.wav">b\r\n',
    "bgm-pcm8at1hz.talu": '<BGM SRC="pcm8at1hz.wav">a\r\n',
    "sound-endless-midi.talu": '<SOUND SRC="endless.mid">a\r\n',
    "sound-hour-midi.talu": '<SOUND SRC="hour.mid">a\r\n',
    "sound-long-loop.talu": '<SOUND SRC="long.wav" LOOP="1000">a\r\n',
    "bgm-long-fade.talu": '<BGM SRC="tone.wav"><BGM TIME="2147483647">a\r\n',
}


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(tempfile.mkdtemp(prefix="hostile"))
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in FILES.items():
        (folder / name).write_bytes(data)
    for name, text in BOOKS.items():
        (folder / name).write_bytes(text.encode("ascii"))
    print(folder)


if __name__ == "__main__":
    main()
