#pragma once

#include <cstdint>
#include <vector>

namespace talu::host {

/// The one format everything is mixed in: 16-bit signed stereo at 44100 frames per second.
inline constexpr int kMixRate = 44100;
inline constexpr int kMixChannels = 2;

/// Interleaved left/right samples in the mixing format.
using StereoPcm = std::vector<std::int16_t>;

/// Milliseconds of one play of pcm, rounded up so a wait never ends early.
inline std::int64_t StereoDurationMs(const StereoPcm& pcm) {
    const auto frames = static_cast<std::int64_t>(pcm.size() / kMixChannels);
    return (frames * 1000 + kMixRate - 1) / kMixRate;
}

}  // namespace talu::host
