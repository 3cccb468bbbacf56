#pragma once

#include <filesystem>

#include "host/audio/stereo_pcm.h"

namespace talu::host {

/// Writes pcm as a 16-bit stereo 44100 Hz WAVE file (atomically); false when it cannot.
bool WriteStereoWave(const std::filesystem::path& file, const StereoPcm& pcm);

}  // namespace talu::host
