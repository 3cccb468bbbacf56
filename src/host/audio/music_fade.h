#pragma once

#include <cstdint>

namespace talu::host {

/// A fade-out of the music's own volume in ten steps, as the player has always faded: the
/// volume starts at the remembered one and falls to remembered × k / 10 one step every stepMs;
/// the music stops at the end and the remembered volume comes back for the next music.
struct MusicFade {
    static constexpr int kSteps = 10;

    std::int64_t startMs = 0;
    int stepMs = 0;
    int remembered = 0;

    /// Volume k of kSteps (truncated, never more than remembered).
    static int StepVolume(int remembered, int k) { return remembered * k / kSteps; }
    /// The volume a fade that runs beside the book has at now (before EndMs).
    int VolumeAt(std::int64_t now) const {
        const std::int64_t done = stepMs > 0 ? (now - startMs) / stepMs : kSteps;
        const std::int64_t left = done < 0 ? kSteps : kSteps - done;
        return StepVolume(remembered, left < 0 ? 0 : static_cast<int>(left));
    }
    /// When the music stops.
    std::int64_t EndMs() const { return startMs + std::int64_t{kSteps} * stepMs; }
};

}  // namespace talu::host
