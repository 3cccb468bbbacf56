#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "host/audio/audio_device.h"
#include "host/audio/mix_music.h"
#include "host/audio/sdl_mixer.h"

struct Mix_Chunk;

namespace talu::host {

/// The sound card through SDL2_mixer. The device and the soundfont open at the first music or
/// effect, on the thread that plays it (the book's worker, never the interface thread). Only
/// one may exist at a time, and not beside a VirtualAudioDevice that decodes.
class SdlAudioDevice : public AudioDevice {
  public:
    struct Options {
        /// SDL's audio driver; empty takes the system's.
        std::string driver;
        /// A soundfont the settings name; empty finds the installed one.
        std::string soundFont;
    };

    explicit SdlAudioDevice(Options options);
    /// Ends a running fade and closes the device.
    ~SdlAudioDevice() override;

    bool Available() override;
    bool PlayMusic(std::vector<std::uint8_t> bytes, int plays, std::string& problem) override;
    void StopMusic() override;
    void SetMusicVolume(int volume) override;
    int MusicVolume() override;
    void FadeMusic(const MusicFade& fade) override;

    void PlaySound(int channel, std::shared_ptr<const StereoPcm> pcm, int plays) override;
    bool SoundPlaying(int channel) override;
    void StopSound(int channel) override;
    bool WaitSound(int channel) override;
    void Interrupt() override;
    void Resume() override;

    std::optional<StereoPcm> Decode(std::span<const std::uint8_t> bytes,
                                    std::string& problem) override;

  private:
    struct ChunkFree {
        void operator()(Mix_Chunk* chunk) const;
    };
    static void ChannelFinished(int channel);

    bool Open(std::string& problem);
    void CancelFade();
    void RunFade(int stepMs, int remembered);
    void HaltChannel(int channel);

    Options options_;
    std::mutex mutex_;  // the fields below except the wait state
    std::unique_ptr<SdlMixer> mixer_;
    std::string openProblem_;
    std::unique_ptr<MixMusic> music_;
    std::array<std::shared_ptr<const StereoPcm>, kChannels> pcm_;
    std::array<std::unique_ptr<Mix_Chunk, ChunkFree>, kChannels> chunks_;
    int volume_ = kMaxVolume;
    std::thread fader_;

    // Waits: the channel-finished callback runs on SDL's audio thread with its lock held, so
    // it only touches these.
    std::mutex waitMutex_;
    std::condition_variable changed_;
    std::array<std::atomic<bool>, kChannels> playing_{};
    bool interrupted_ = false;
    bool fadeCancelled_ = false;
};

}  // namespace talu::host
