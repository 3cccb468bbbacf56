#pragma once

#include <optional>

#include "host/audio/pcm_sound.h"
#include "host/audio/stereo_pcm.h"

namespace talu::host {

/// Resamples and widens a decoded sound into the mixing format (SDL's converter); nullopt when
/// the format cannot be converted.
std::optional<StereoPcm> ToStereo(const PcmSound& sound);

}  // namespace talu::host
