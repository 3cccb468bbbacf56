#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <mutex>

#include "host/audio/audio_device.h"
#include "host/audio/audio_timeline.h"
#include "host/audio/sdl_mixer.h"
#include "host/clock.h"

namespace talu::host {

/// An audio device on the run's clock: a sound lasts exactly its length in clock time (a wait
/// for it sleeps on the clock), and nothing reaches a sound card. Files are decoded through
/// SDL2_mixer on its silent driver, opened at the first file. When recording, everything played
/// is kept and Render mixes it.
class VirtualAudioDevice : public AudioDevice {
  public:
    struct Options {
        /// Keep decoded music and effects for Render (otherwise music is only checked).
        bool record = false;
        /// The General MIDI soundfont; empty lets the decoder search.
        std::string soundFont;
    };

    /// Recorded music is decoded whole: longer music than an effect may be is refused (the
    /// decode and its copy stay near 300 MB).
    static constexpr std::int64_t kMaxRecordedMusicMs = kMaxSoundMs;

    /// clock outlives the device; time 0 of the recording is now on it.
    VirtualAudioDevice(Clock& clock, Options options);
    ~VirtualAudioDevice() override;

    bool Available() override { return true; }
    bool PlayMusic(std::vector<std::uint8_t> bytes, int plays, std::string& problem) override;
    void StopMusic() override;
    void SetMusicVolume(int volume) override;
    int MusicVolume() override;
    /// The recording is what the book plays: the reader's loudness belongs to the sound card.
    void SetLoudness(const Loudness&) override {}
    void FadeMusic(const MusicFade& fade) override;

    void PlaySound(int channel, std::shared_ptr<const StereoPcm> pcm, int plays) override;
    bool SoundPlaying(int channel) override;
    void StopSound(int channel) override;
    bool WaitSound(int channel) override;
    void Interrupt() override;
    void Resume() override;

    std::optional<StereoPcm> Decode(std::span<const std::uint8_t> bytes,
                                    std::string& problem) override;

    /// Everything played from the device's start until now, mixed (silence when not recording).
    StereoPcm Render();
    /// The same written as a WAVE file while it is mixed, in bounded memory; false with problem
    /// when it cannot be written or is too long for a WAVE file.
    bool RenderToWave(const std::filesystem::path& file, std::string& problem);

  private:
    std::int64_t Now() const;
    bool OpenDecoder(std::string& problem);
    void CancelFadeAt(std::int64_t at);
    void StopMusicAt(std::int64_t at);

    Clock& clock_;
    Options options_;
    std::int64_t origin_;
    std::mutex mutex_;
    std::unique_ptr<SdlMixer> decoder_;
    std::vector<TimelineVoice> voices_;
    std::vector<VolumeChange> volumes_;
    int music_ = -1;  // index into voices_
    std::array<int, kChannels> channels_;
    int volume_ = kMaxVolume;      // the volume before and after a fade
    std::int64_t fadeEndMs_ = -1;  // a fade beside the book ends then (relative time)
    bool interrupted_ = false;
};

}  // namespace talu::host
