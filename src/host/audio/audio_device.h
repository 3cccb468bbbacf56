#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/audio/music_fade.h"
#include "host/audio/stereo_pcm.h"

namespace talu::host {

/// How loud the reader wants music and effects, in percent, over the book's own volumes and
/// fades; muted silences both (the window in the background).
struct Loudness {
    int music = 100;
    int sound = 100;
    bool muted = false;

    /// volume (0 to AudioDevice::kMaxVolume) as heard at percent.
    int Scaled(int volume, int percent) const {
        return muted ? 0 : volume * std::clamp(percent, 0, 100) / 100;
    }
    friend bool operator==(const Loudness&, const Loudness&) = default;
};

/// Where music and effects are heard: the sound card through SDL2_mixer, or a device on the
/// run's virtual clock that can mix everything into a file. One music stream and kChannels
/// effect channels. Thread-safe.
class AudioDevice {
  public:
    static constexpr int kChannels = 16;
    /// The music's own full volume (SDL2_mixer's scale); the system's volume is never touched.
    static constexpr int kMaxVolume = 128;
    /// The longest effect decoded (about 106 MB in the mixing format); longer ones are refused.
    static constexpr std::int64_t kMaxSoundMs = 10 * 60 * 1000;

    virtual ~AudioDevice() = default;

    /// Opens the device if it is not open yet; false when it cannot be.
    virtual bool Available() = 0;

    /// Starts music from a whole file in memory, plays times in a row (at least 1), replacing
    /// any music and any fade. false with problem when no decoder takes the file; a device that
    /// starts music in the background returns true and tells the problem its own way.
    virtual bool PlayMusic(std::vector<std::uint8_t> bytes, int plays, std::string& problem) = 0;
    /// Stops the music and any fade running beside the book.
    virtual void StopMusic() = 0;
    virtual void SetMusicVolume(int volume) = 0;
    virtual int MusicVolume() = 0;
    /// The reader's loudness; takes effect at once, on what plays and what starts later.
    virtual void SetLoudness(const Loudness& loudness) = 0;
    /// Fades the music out beside the book (fade.startMs is now on the device's clock).
    virtual void FadeMusic(const MusicFade& fade) = 0;

    /// Starts an effect on channel (0 to kChannels - 1), replacing what played there; plays 0
    /// loops until stopped.
    virtual void PlaySound(int channel, std::shared_ptr<const StereoPcm> pcm, int plays) = 0;
    virtual bool SoundPlaying(int channel) = 0;
    virtual void StopSound(int channel) = 0;
    /// Returns once channel's sound has ended (true) or Interrupt was called (false).
    virtual bool WaitSound(int channel) = 0;
    /// Ends every WaitSound at once, now and until Resume.
    virtual void Interrupt() = 0;
    virtual void Resume() = 0;

    /// Decodes an effect file (of a format CheckAudioFile accepts) into the mixing format;
    /// nullopt with problem when it is refused, damaged or longer than kMaxSoundMs.
    virtual std::optional<StereoPcm> Decode(std::span<const std::uint8_t> bytes,
                                            std::string& problem) = 0;
};

}  // namespace talu::host
