#pragma once

#include <cstdint>
#include <vector>

namespace talu::host {

/// Decoded sound: interleaved little-endian PCM samples (8-bit unsigned or 16-bit signed) with
/// their rate and channel count.
struct PcmSound {
    int rate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    std::vector<std::uint8_t> samples;

    int FrameBytes() const { return channels * (bitsPerSample / 8); }
    std::int64_t Frames() const {
        return FrameBytes() > 0 ? static_cast<std::int64_t>(samples.size()) / FrameBytes() : 0;
    }
    /// Playing time of one play, in milliseconds, rounded up so a wait never ends early.
    std::int64_t DurationMs() const { return rate > 0 ? (Frames() * 1000 + rate - 1) / rate : 0; }
};

}  // namespace talu::host
