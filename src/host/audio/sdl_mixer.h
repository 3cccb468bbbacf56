#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "host/audio/stereo_pcm.h"

namespace talu::host {

/// SDL's audio subsystem with SDL2_mixer opened on it in the mixing format. SDL2_mixer is one
/// per process, so at most one SdlMixer may exist at a time.
class SdlMixer {
  public:
    struct Options {
        /// SDL's audio driver: "dummy" decodes without a sound card; empty takes the system's.
        std::string driver;
        /// The General MIDI soundfont for MIDI files; empty leaves MIDI to SDL2_mixer's search.
        std::string soundFont;
        /// Effect channels to allocate.
        int channels = 16;
    };

    /// Opens the audio; null with problem when SDL or the device refuses.
    static std::unique_ptr<SdlMixer> Open(const Options& options, std::string& problem);
    /// Halts everything and closes the audio.
    ~SdlMixer();
    SdlMixer(const SdlMixer&) = delete;
    SdlMixer& operator=(const SdlMixer&) = delete;

    /// Decodes a whole file of any format SDL2_mixer knows (WAVE, OGG, FLAC, MP3, MIDI, modules)
    /// into the mixing format; nullopt with problem when it cannot.
    std::optional<StereoPcm> Decode(std::span<const std::uint8_t> bytes,
                                    std::string& problem) const;

  private:
    SdlMixer();
    bool forcedDriver_ = false;
    bool subsystem_ = false;
    bool opened_ = false;
};

}  // namespace talu::host
