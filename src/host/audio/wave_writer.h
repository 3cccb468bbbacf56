#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "host/audio/stereo_pcm.h"

namespace talu::host {

/// Fills out (interleaved stereo) with the frames from `from` on.
using MixWindow = std::function<void(std::int64_t from, std::span<std::int16_t> out)>;

/// Writes frames of 16-bit stereo 44100 Hz sound as a WAVE file, asking mix for them a window at
/// a time so memory stays bounded however long the recording; the file appears whole (written
/// beside it, synced, renamed into place) or not at all. False with problem when it cannot be
/// written, or when the recording is too long for a WAVE file's 32-bit sizes.
bool WriteStereoWave(const std::filesystem::path& file, std::int64_t frames, const MixWindow& mix,
                     std::string& problem);

}  // namespace talu::host
