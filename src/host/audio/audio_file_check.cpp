#include "host/audio/audio_file_check.h"

#include <cstring>
#include <optional>

#include "host/little_endian.h"

namespace talu::host {
namespace {

constexpr int kPcm = 1;
constexpr int kMsAdpcm = 2;
constexpr int kFloat = 3;
constexpr int kALaw = 6;
constexpr int kMuLaw = 7;
constexpr int kImaAdpcm = 0x11;
constexpr int kExtensible = 0xFFFE;

bool Starts(std::span<const std::uint8_t> bytes, std::size_t at, const char* magic) {
    const std::size_t length = std::strlen(magic);
    return bytes.size() >= at + length && std::memcmp(bytes.data() + at, magic, length) == 0;
}

AudioFileCheck Refused(AudioFormat format, std::string problem) {
    AudioFileCheck check;
    check.format = format;
    check.problem = std::move(problem);
    return check;
}

bool RateUsable(std::uint32_t rate) {
    return rate >= kMinAudioRate && rate <= kMaxAudioRate;
}

bool ChannelsUsable(unsigned channels) {
    return channels >= 1 && channels <= kMaxAudioChannels;
}

struct Span {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// The format fields of a "fmt " chunk that decide how its samples are laid out.
struct WaveFormat {
    int tag = 0;
    unsigned channels = 0;
    std::uint32_t rate = 0;
    unsigned blockAlign = 0;
    unsigned bits = 0;
    unsigned samplesPerBlock = 0;
};

// Frames per block, or 0 when the layout is not one a decoder may be given.
unsigned FramesPerBlock(const WaveFormat& f, std::size_t fmtSize) {
    const unsigned ch = f.channels;
    switch (f.tag) {
        case kPcm:
            return (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32) &&
                           f.blockAlign == ch * f.bits / 8
                       ? 1
                       : 0;
        case kFloat:
            return f.bits == 32 && f.blockAlign == ch * 4 ? 1 : 0;
        case kALaw:
        case kMuLaw:
            return f.bits == 8 && f.blockAlign == ch ? 1 : 0;
        case kMsAdpcm: {
            // A 7-byte header per channel, then two 4-bit samples a byte.
            if (fmtSize < 20 || f.bits != 4 || ch > 2 || f.blockAlign < 7 * ch ||
                f.blockAlign > 32768) {
                return 0;
            }
            const unsigned most = (f.blockAlign - 7 * ch) * 2 / ch + 2;
            return f.samplesPerBlock >= 2 && f.samplesPerBlock <= most ? f.samplesPerBlock : 0;
        }
        case kImaAdpcm: {
            // A 4-byte header per channel, then 4-byte groups of eight samples per channel.
            if (fmtSize < 20 || f.bits != 4 || ch > 2 || f.blockAlign < 4 * ch ||
                f.blockAlign > 32768 || (f.blockAlign - 4 * ch) % (4 * ch) != 0) {
                return 0;
            }
            const unsigned most = (f.blockAlign - 4 * ch) * 2 / ch + 1;
            return f.samplesPerBlock >= 1 && f.samplesPerBlock <= most ? f.samplesPerBlock : 0;
        }
        default:
            return 0;
    }
}

std::optional<WaveFormat> ReadWaveFormat(Span fmt) {
    if (fmt.size < 16) {
        return std::nullopt;
    }
    WaveFormat f;
    f.tag = Le16(fmt.data);
    f.channels = Le16(fmt.data + 2);
    f.rate = Le32(fmt.data + 4);
    f.blockAlign = Le16(fmt.data + 12);
    f.bits = Le16(fmt.data + 14);
    if (fmt.size >= 20) {
        f.samplesPerBlock = Le16(fmt.data + 18);
    }
    if (f.tag == kExtensible) {
        // The real format is the first two bytes of the sub-format's GUID.
        if (fmt.size < 40) {
            return std::nullopt;
        }
        f.tag = Le16(fmt.data + 24);
        if (f.tag != kPcm && f.tag != kFloat) {
            return std::nullopt;
        }
    }
    return f;
}

AudioFileCheck CheckWave(std::span<const std::uint8_t> bytes) {
    constexpr AudioFormat kFormat = AudioFormat::kWave;
    std::optional<Span> fmt;
    std::optional<Span> data;
    std::size_t at = 12;
    while (bytes.size() - at >= 8 && !data) {
        const std::uint8_t* header = bytes.data() + at;
        std::size_t size = Le32(header + 4);
        const std::size_t left = bytes.size() - at - 8;
        if (size > left) {
            if (!Starts(bytes, at, "data")) {
                return Refused(kFormat, "a chunk is larger than the file");
            }
            size = left;  // a cut-off recording plays what is there
        }
        if (Starts(bytes, at, "fmt ") && !fmt) {
            fmt = Span{header + 8, size};
        } else if (Starts(bytes, at, "data")) {
            data = Span{header + 8, size};
        }
        at += 8 + size + (size & 1);
        at = std::min(at, bytes.size());
    }
    if (!fmt || !data) {
        return Refused(kFormat, "no \"fmt \" chunk before the \"data\" chunk");
    }
    const std::optional<WaveFormat> format = ReadWaveFormat(*fmt);
    if (!format) {
        return Refused(kFormat, "an unusable \"fmt \" chunk");
    }
    if (!ChannelsUsable(format->channels) || !RateUsable(format->rate)) {
        return Refused(kFormat, "impossible channel count or sample rate");
    }
    const unsigned framesPerBlock = FramesPerBlock(*format, fmt->size);
    if (framesPerBlock == 0) {
        return Refused(kFormat, "an unsupported codec or block layout");
    }
    AudioFileCheck check;
    check.format = kFormat;
    const std::uint64_t frames = std::uint64_t{data->size} / format->blockAlign * framesPerBlock;
    check.durationMs = static_cast<std::int64_t>(frames * 1000 / format->rate);
    return check;
}

AudioFileCheck CheckOggVorbis(std::span<const std::uint8_t> bytes) {
    constexpr AudioFormat kFormat = AudioFormat::kOgg;
    // The first page must begin the stream and hold the whole identification header.
    if (bytes.size() < 27 || bytes[4] != 0 || (bytes[5] & 0x02) == 0) {
        return Refused(kFormat, "no Ogg stream starts here");
    }
    const std::size_t segments = bytes[26];
    if (bytes.size() < 27 + segments || segments == 0) {
        return Refused(kFormat, "the first Ogg page is cut off");
    }
    std::size_t packet = 0;
    for (std::size_t i = 0; i < segments; ++i) {
        packet += bytes[27 + i];
        if (bytes[27 + i] < 255) {
            break;
        }
    }
    const std::uint8_t* id = bytes.data() + 27 + segments;
    if (packet < 30 || packet > bytes.size() - 27 - segments) {
        return Refused(kFormat, "the Vorbis header is cut off");
    }
    if (id[0] != 1 || std::memcmp(id + 1, "vorbis", 6) != 0 || Le32(id + 7) != 0) {
        return Refused(kFormat, "not an Ogg Vorbis stream");
    }
    const unsigned channels = id[11];
    const std::uint32_t rate = Le32(id + 12);
    const unsigned small = id[28] & 0x0F;
    const unsigned large = id[28] >> 4;
    if (!ChannelsUsable(channels) || !RateUsable(rate) || small < 6 || small > large ||
        large > 13 || (id[29] & 1) == 0) {
        return Refused(kFormat, "impossible Vorbis channels, rate or block sizes");
    }
    AudioFileCheck check;
    check.format = kFormat;
    // The last page's granule position counts the stream's samples.
    for (std::size_t at = bytes.size() - 27; at > 0; --at) {
        if (std::memcmp(bytes.data() + at, "OggS", 4) == 0 && bytes[at + 4] == 0) {
            const std::uint64_t granule =
                Le32(bytes.data() + at + 6) | (std::uint64_t{Le32(bytes.data() + at + 10)} << 32);
            if (granule < (std::uint64_t{1} << 48)) {
                check.durationMs = static_cast<std::int64_t>(granule * 1000 / rate);
            }
            break;
        }
    }
    return check;
}

AudioFileCheck CheckFlac(std::span<const std::uint8_t> bytes) {
    constexpr AudioFormat kFormat = AudioFormat::kFlac;
    // STREAMINFO comes first: 34 bytes of big-endian bit fields.
    if (bytes.size() < 42 || (bytes[4] & 0x7F) != 0 ||
        ((bytes[5] << 16) | (bytes[6] << 8) | bytes[7]) != 34) {
        return Refused(kFormat, "no FLAC stream information");
    }
    const std::uint8_t* info = bytes.data() + 8;
    const unsigned minBlock = (info[0] << 8) | info[1];
    const unsigned maxBlock = (info[2] << 8) | info[3];
    const std::uint32_t rate = (info[10] << 12) | (info[11] << 4) | (info[12] >> 4);
    const unsigned channels = ((info[12] >> 1) & 7) + 1;
    const unsigned bits = (((info[12] & 1) << 4) | (info[13] >> 4)) + 1;
    const std::uint64_t samples = (std::uint64_t{info[13] & 0x0Fu} << 32) | (info[14] << 24) |
                                  (info[15] << 16) | (info[16] << 8) | info[17];
    if (minBlock < 16 || minBlock > maxBlock || !RateUsable(rate) || !ChannelsUsable(channels) ||
        bits < 4) {
        return Refused(kFormat, "impossible FLAC block sizes, rate, channels or bits");
    }
    // Every further metadata block must fit the file.
    std::size_t at = 42;
    bool last = (bytes[4] & 0x80) != 0;
    while (!last) {
        if (bytes.size() - at < 4) {
            return Refused(kFormat, "FLAC metadata is cut off");
        }
        const std::size_t size = (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
        last = (bytes[at] & 0x80) != 0;
        if (size > bytes.size() - at - 4) {
            return Refused(kFormat, "a FLAC metadata block is larger than the file");
        }
        at += 4 + size;
    }
    AudioFileCheck check;
    check.format = kFormat;
    check.durationMs = samples > 0 ? static_cast<std::int64_t>(samples * 1000 / rate) : -1;
    return check;
}

// The length of the MPEG audio layer III frame whose header is at p; 0 when it is none.
std::size_t Mp3FrameLength(const std::uint8_t* p) {
    static constexpr int kBitrates[2][15] = {
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    static constexpr int kRates[3] = {44100, 48000, 32000};
    const int version = (p[1] >> 3) & 3;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0 || version == 1 || ((p[1] >> 1) & 3) != 1 ||
        bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return 0;
    }
    const int rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    const int kbps = kBitrates[version == 3 ? 0 : 1][bitrateIndex];
    const int perFrame = version == 3 ? 144000 : 72000;
    return static_cast<std::size_t>(perFrame * kbps / rate + ((p[2] >> 1) & 1));
}

AudioFileCheck CheckMp3(std::span<const std::uint8_t> bytes) {
    constexpr AudioFormat kFormat = AudioFormat::kMp3;
    std::size_t at = 0;
    if (Starts(bytes, 0, "ID3")) {
        if (bytes.size() < 10 || ((bytes[6] | bytes[7] | bytes[8] | bytes[9]) & 0x80) != 0) {
            return Refused(kFormat, "a damaged ID3 tag");
        }
        const std::size_t size = (bytes[6] << 21) | (bytes[7] << 14) | (bytes[8] << 7) | bytes[9];
        at = 10 + size + ((bytes[5] & 0x10) != 0 ? 10 : 0);
    }
    // Two frames in a row, so stray bytes that look like a header are not taken for one.
    if (at > bytes.size() || bytes.size() - at < 4) {
        return Refused(kFormat, "no MPEG audio frame");
    }
    const std::size_t first = Mp3FrameLength(bytes.data() + at);
    if (first == 0 || first > bytes.size() - at) {
        return Refused(kFormat, "no MPEG audio layer III frame");
    }
    const std::size_t next = at + first;
    if (bytes.size() - next >= 4 && Mp3FrameLength(bytes.data() + next) == 0) {
        return Refused(kFormat, "MPEG audio frames do not follow each other");
    }
    AudioFileCheck check;
    check.format = kFormat;
    return check;
}

}  // namespace

AudioFileCheck CheckAudioFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kMaxAudioFileBytes) {
        return Refused(AudioFormat::kUnknown, "the file is too large");
    }
    // A RIFF MIDI file is not one: SDL2_mixer would hand it to a module decoder.
    if (Starts(bytes, 0, "RIFF") && Starts(bytes, 8, "WAVE")) {
        return CheckWave(bytes);
    }
    if (Starts(bytes, 0, "OggS")) {
        return CheckOggVorbis(bytes);
    }
    if (Starts(bytes, 0, "fLaC")) {
        return CheckFlac(bytes);
    }
    if (Starts(bytes, 0, "MThd")) {
        return CheckMidiFile(bytes);
    }
    if (Starts(bytes, 0, "ID3") || (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] >= 0xE0)) {
        return CheckMp3(bytes);
    }
    return Refused(AudioFormat::kUnknown, "not a WAVE, Ogg Vorbis, FLAC, MP3 or MIDI file");
}

}  // namespace talu::host
