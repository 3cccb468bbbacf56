#!/usr/bin/env python3
"""Writes the seed inputs of the audio_file fuzz target: small files of every format the player
hands to a decoder (WAVE as PCM, float, A-law, mu-law, MS and IMA ADPCM and extensible; Ogg
Vorbis; FLAC; MP3; MIDI) and a P16 file, each made here from scratch. The Ogg file
is encoded by scripts/ogg_tone.c (built with the C compiler and libvorbisenc). Run from anywhere;
the seeds land in audio_file/ beside this script."""
import struct
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
SCRIPTS = HERE.parent.parent / "scripts"
sys.path.insert(0, str(SCRIPTS))
from talu_sounds import midi, ogg, tone_samples, wave  # noqa: E402


def riff_wave(fmt, data):
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def law(tag):
    fmt = struct.pack("<HHIIHH", tag, 1, 8000, 8000, 1, 8)
    return riff_wave(fmt, bytes((i * 7) & 0xFF for i in range(800)))


def ima_adpcm():
    align, per_block = 256, 505
    fmt = struct.pack("<HHIIHHHH", 0x11, 1, 22050, 22050 * align // per_block, align, 4, 2,
                      per_block)
    block = struct.pack("<hBB", 0, 20, 0) + bytes((i * 37) & 0xFF for i in range(252))
    return riff_wave(fmt, block * 3)


def ms_adpcm():
    align, per_block = 256, 500
    coefs = [(256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232)]
    fmt = struct.pack("<HHIIHHHHH", 2, 1, 22050, 22050 * align // per_block, align, 4, 32,
                      per_block, len(coefs))
    fmt += b"".join(struct.pack("<hh", a, b) for a, b in coefs)
    block = struct.pack("<Bhhh", 1, 16, 0, 0) + bytes((i * 53) & 0xFF for i in range(249))
    return riff_wave(fmt, block * 3)


def extensible():
    fmt = struct.pack("<HHIIHHHHI", 0xFFFE, 2, 44100, 44100 * 4, 4, 16, 22, 16, 3)
    fmt += struct.pack("<H", 1) + b"\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71"
    return riff_wave(fmt, tone_samples(0.01, rate=44100, channels=2))


def crc8(data):
    crc = 0
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = ((crc << 1) ^ 0x07) & 0xFF if crc & 0x80 else (crc << 1) & 0xFF
    return crc


def crc16(data):
    crc = 0
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x8005) & 0xFFFF if crc & 0x8000 else (crc << 1) & 0xFFFF
    return crc


def flac(frames=4, block=256):
    """Mono 16-bit 44100 Hz FLAC with verbatim subframes."""
    samples = tone_samples(frames * block / 44100, rate=44100)
    total = len(samples) // 2
    info = struct.pack(">HH", block, block) + b"\x00\x00\x00\x00\x00\x00"
    info += ((44100 << 44) | (0 << 41) | (15 << 36) | total).to_bytes(8, "big") + bytes(16)
    out = b"fLaC" + bytes([0x80, 0, 0, 34]) + info
    for n in range(frames):
        header = bytes([0xFF, 0xF8, 0x69, 0x08, n, block - 1])
        header += bytes([crc8(header)])
        chunk = samples[n * block * 2:(n + 1) * block * 2]
        body = b"\x02" + b"".join(
            struct.pack(">h", v) for (v,) in struct.iter_unpack("<h", chunk))
        frame = header + body
        out += frame + struct.pack(">H", crc16(frame))
    return out


def mp3(frames=12, id3=False):
    """Silent MPEG-1 layer III frames, mono, 128 kbit/s at 44100 per second."""
    frame = bytes([0xFF, 0xFB, 0x90, 0xC4]) + bytes(413)
    tag = b"ID3\x03\x00\x00\x00\x00\x00\x0a" + bytes(10) if id3 else b""
    return tag + frame * frames


def ogg_bytes(seconds, hz):
    with tempfile.TemporaryDirectory() as scratch:
        out = Path(scratch) / "tone.ogg"
        ogg(out, seconds, hz)
        return out.read_bytes()


def main():
    out = HERE / "audio_file"
    out.mkdir(exist_ok=True)
    song = midi([(60, 60, 100), (64, 60, 100), (67, 120, 90)])
    seeds = {
        "pcm16.wav": wave(tone_samples(0.02)),
        "pcm8-stereo.wav": wave(bytes(b ^ 0x80 for b in tone_samples(0.01)[1::2]) * 2,
                                channels=2, bits=8, rate=11025),
        "pcm24.wav": wave(bytes(300), channels=2, bits=24, rate=48000),
        "float.wav": wave(bytes(400), format_tag=3, bits=32, rate=44100),
        "alaw.wav": law(6),
        "mulaw.wav": law(7),
        "ima-adpcm.wav": ima_adpcm(),
        "ms-adpcm.wav": ms_adpcm(),
        "extensible.wav": extensible(),
        "song.mid": song,
        "tone.ogg": ogg_bytes(0.1, 440),
        "tone.flac": flac(),
        "silence.mp3": mp3(),
        "tagged.mp3": mp3(4, id3=True),
        "tone.p16": b"\x00" + tone_samples(0.01)[1:],
    }
    for name, data in seeds.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
