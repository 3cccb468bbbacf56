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

    /// Decodes a whole file that passes CheckAudioFile (WAVE, Ogg Vorbis, FLAC, MP3, MIDI) into
    /// the mixing format; nullopt with problem when it is refused, cannot be decoded, or would
    /// play longer than maxMs (told by its header, or found while decoding, which then stops).
    std::optional<StereoPcm> Decode(std::span<const std::uint8_t> bytes, std::int64_t maxMs,
                                    std::string& problem) const;

  private:
    SdlMixer();
    bool forcedDriver_ = false;
    bool subsystem_ = false;
    bool opened_ = false;
};

}  // namespace talu::host
