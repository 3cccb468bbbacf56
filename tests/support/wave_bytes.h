#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// Sound files made in the tests: RIFF WAVE bytes and tones, so no test reads a borrowed sound.
namespace talu::test {

inline void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

inline void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

struct WaveLayout {
    int formatTag = 1;
    int channels = 1;
    int rate = 22050;
    int bits = 16;
    /// The size the "fmt " chunk claims (16 is honest).
    std::uint32_t fmtSize = 16;
    /// The size the "data" chunk claims; -1 for the real one.
    std::int64_t dataSize = -1;
};

/// A WAVE file around samples, with the sizes layout claims.
inline std::vector<std::uint8_t> WaveBytes(const std::vector<std::uint8_t>& samples,
                                           const WaveLayout& layout = {}) {
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    PutLe(out, static_cast<std::uint32_t>(36 + samples.size()), 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe(out, layout.fmtSize, 4);
    const int frame = layout.channels * layout.bits / 8;
    PutLe(out, static_cast<std::uint32_t>(layout.formatTag), 2);
    PutLe(out, static_cast<std::uint32_t>(layout.channels), 2);
    PutLe(out, static_cast<std::uint32_t>(layout.rate), 4);
    PutLe(out, static_cast<std::uint32_t>(layout.rate * frame), 4);
    PutLe(out, static_cast<std::uint32_t>(frame), 2);
    PutLe(out, static_cast<std::uint32_t>(layout.bits), 2);
    PutTag(out, "data");
    PutLe(out, static_cast<std::uint32_t>(layout.dataSize < 0 ? samples.size() : layout.dataSize),
          4);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

/// frames of a 16-bit sine tone of the given peak, channels interleaved alike.
inline std::vector<std::uint8_t> ToneSamples(int frames, int rate = 22050, int channels = 1,
                                             double hz = 440, int peak = 12000) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(peak * std::sin(2 * M_PI * hz * i / rate));
        for (int c = 0; c < channels; ++c) {
            PutLe(out, static_cast<std::uint16_t>(v), 2);
        }
    }
    return out;
}

}  // namespace talu::test
