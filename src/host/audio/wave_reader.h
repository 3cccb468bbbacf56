#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "host/audio/pcm_sound.h"

// Sound effects come as RIFF WAVE files or as P16 files (raw samples without a header). We read
// plain PCM ourselves, checking every size against the bytes really there; anything else that
// calls itself a WAVE goes to the general decoder.
namespace talu::host {

enum class WaveStatus {
    kPcm,         ///< decoded: sound holds the samples
    kOtherCodec,  ///< a well-formed WAVE whose samples are not 8- or 16-bit PCM
    kNotWave,     ///< no RIFF WAVE header: some other format
    kDamaged,     ///< a WAVE whose sizes do not fit the file; problem says why
};

struct WaveResult {
    WaveStatus status = WaveStatus::kDamaged;
    PcmSound sound;
    std::string problem;
};

/// Reads a RIFF WAVE file held in memory.
WaveResult ReadWave(std::span<const std::uint8_t> bytes);

/// A P16 file: the whole file is 16-bit mono samples at 22050 per second (an odd last byte is
/// dropped).
PcmSound ReadP16(std::span<const std::uint8_t> bytes);

}  // namespace talu::host
