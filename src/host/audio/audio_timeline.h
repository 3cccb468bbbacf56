#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "host/audio/stereo_pcm.h"

// What a book played, placed on its clock: the virtual audio device keeps this and mixes it
// into one recording.
namespace talu::host {

inline constexpr std::int64_t kUntilStopped = std::numeric_limits<std::int64_t>::max();

/// One music or effect from its start to its stop.
struct TimelineVoice {
    std::shared_ptr<const StereoPcm> pcm;  ///< null when only the timing is kept
    std::int64_t startMs = 0;
    std::int64_t stopMs = kUntilStopped;
    int plays = 1;  ///< 0: loops until stopped
    bool music = false;

    /// When the voice falls silent: stopped, or after its plays (never for a loop or unknown
    /// length).
    std::int64_t EndMs() const;
};

/// The music's volume from atMs on (0 to 128).
struct VolumeChange {
    std::int64_t atMs = 0;
    int volume = 128;
};

/// Mixes the frames from fromFrame on that fill out (interleaved stereo) as MixTimeline does;
/// a long recording is mixed window by window in bounded memory.
void MixTimelineWindow(const std::vector<TimelineVoice>& voices,
                       const std::vector<VolumeChange>& musicVolume, std::int64_t fromFrame,
                       std::span<std::int16_t> out);

/// The frames of a recording from time 0 to untilMs.
std::int64_t TimelineFrames(std::int64_t untilMs);

/// Mixes the voices from time 0 to untilMs into the mixing format; music follows the volume
/// changes (in time order), effects play at full volume; sums are clipped.
StereoPcm MixTimeline(const std::vector<TimelineVoice>& voices,
                      const std::vector<VolumeChange>& musicVolume, std::int64_t untilMs);

}  // namespace talu::host
