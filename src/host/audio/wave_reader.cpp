#include "host/audio/wave_reader.h"

#include <cstring>
#include <optional>

#include "host/little_endian.h"

namespace talu::host {
namespace {

constexpr int kPcmFormatTag = 1;
constexpr std::size_t kMinFmtSize = 16;
constexpr int kP16Rate = 22050;

bool IsTag(const std::uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, 4) == 0;
}

WaveResult Damaged(std::string problem) {
    WaveResult result;
    result.problem = std::move(problem);
    return result;
}

struct Chunk {
    const std::uint8_t* data;
    std::size_t size;
};

}  // namespace

WaveResult ReadWave(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || !IsTag(bytes.data(), "RIFF") || !IsTag(bytes.data() + 8, "WAVE")) {
        WaveResult result = Damaged("not a RIFF WAVE file");
        result.status = WaveStatus::kNotWave;
        return result;
    }
    // Writers often get the RIFF size wrong; only the chunks themselves must fit the file.
    std::optional<Chunk> fmt;
    std::optional<Chunk> data;
    std::size_t at = 12;
    while (bytes.size() - at >= 8 && !(fmt && data)) {
        const std::uint8_t* header = bytes.data() + at;
        const std::uint64_t size = Le32(header + 4);
        if (size > bytes.size() - at - 8) {
            return Damaged("a chunk is larger than the file");
        }
        const Chunk chunk{header + 8, static_cast<std::size_t>(size)};
        if (IsTag(header, "fmt ") && !fmt) {
            fmt = chunk;
        } else if (IsTag(header, "data") && !data) {
            data = chunk;
        }
        // Chunks start at even offsets; a pad byte missing at the very end is harmless.
        at += 8 + static_cast<std::size_t>(size) + (size & 1);
        if (at > bytes.size()) {
            at = bytes.size();
        }
    }
    if (!fmt || fmt->size < kMinFmtSize) {
        return Damaged("no usable \"fmt \" chunk");
    }
    if (!data) {
        return Damaged("no \"data\" chunk");
    }
    const int formatTag = Le16(fmt->data);
    const int channels = Le16(fmt->data + 2);
    const std::uint32_t rate = Le32(fmt->data + 4);
    const int bits = Le16(fmt->data + 14);
    if (channels == 0 || rate == 0 || rate > 1000000) {
        return Damaged("impossible channel count or sample rate");
    }
    WaveResult result;
    if (formatTag != kPcmFormatTag || (bits != 8 && bits != 16) || channels > 2) {
        result.status = WaveStatus::kOtherCodec;
        return result;
    }
    result.status = WaveStatus::kPcm;
    result.sound.rate = static_cast<int>(rate);
    result.sound.channels = channels;
    result.sound.bitsPerSample = bits;
    const std::size_t frame = static_cast<std::size_t>(result.sound.FrameBytes());
    const std::size_t whole = data->size - data->size % frame;
    result.sound.samples.assign(data->data, data->data + whole);
    return result;
}

PcmSound ReadP16(std::span<const std::uint8_t> bytes) {
    PcmSound sound;
    sound.rate = kP16Rate;
    sound.channels = 1;
    sound.bitsPerSample = 16;
    sound.samples.assign(
        bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() & ~std::size_t{1}));
    return sound;
}

}  // namespace talu::host
