#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "host/audio/audio_device.h"
#include "host/audio/mix_music.h"
#include "host/audio/sdl_mixer.h"

struct Mix_Chunk;

namespace talu::host {

/// The sound card through SDL2_mixer. The device opens at the first music or effect, never
/// before. Music starts on a thread of its own: loading a MIDI file loads the soundfont, a fifth
/// of a second that neither the book nor the window should wait for, so PlayMusic returns at
/// once and tells later problems through Options::onMusicFailed. Only one may exist at a time,
/// and not beside a VirtualAudioDevice that decodes.
class SdlAudioDevice : public AudioDevice {
  public:
    struct Options {
        /// SDL's audio driver; empty takes the system's.
        std::string driver;
        /// A soundfont the settings name; empty finds the installed one.
        std::string soundFont;
        /// The device could not be opened (told once; no music nor effect is heard after).
        /// Any thread, holding the device's lock: must not block nor call the device.
        std::function<void(const std::string& problem)> onOpenFailed;
        /// Music handed to PlayMusic could not be decoded. The music thread; must not block.
        std::function<void(const std::string& problem)> onMusicFailed;
    };

    explicit SdlAudioDevice(Options options);
    /// Ends a running fade and the music thread, and closes the device.
    ~SdlAudioDevice() override;

    bool Available() override;
    /// Hands the music to the music thread and returns true at once.
    bool PlayMusic(std::vector<std::uint8_t> bytes, int plays, std::string& problem) override;
    void StopMusic() override;
    /// True from PlayMusic while the music loads and plays, until it ends or stops.
    bool MusicPlaying();
    void SetMusicVolume(int volume) override;
    int MusicVolume() override;
    void SetLoudness(const Loudness& loudness) override;
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

    struct MusicRequest {
        std::vector<std::uint8_t> bytes;
        int plays = 1;
    };

    bool Open(std::string& problem);
    void LoadMusic();
    void StartMusic(MusicRequest request, std::uint64_t generation);
    void CancelFade();
    void RunFade(int stepMs, int remembered);
    void HaltChannel(int channel);
    /// Holding mutex_ with the mixer open: the book's music volume, as the reader's loudness
    /// lets it be heard.
    void ApplyMusicVolume(int volume);

    Options options_;
    std::mutex mutex_;  // the fields below except the wait state
    std::unique_ptr<SdlMixer> mixer_;
    std::string openProblem_;
    std::unique_ptr<MixMusic> music_;
    std::array<std::shared_ptr<const StereoPcm>, kChannels> pcm_;
    std::array<std::unique_ptr<Mix_Chunk, ChunkFree>, kChannels> chunks_;
    int volume_ = kMaxVolume;
    /// The book's music volume now, a fade step included, before the reader's loudness.
    int heard_ = kMaxVolume;
    Loudness loudness_;
    std::thread fader_;
    /// Counts every start and stop of the music, so a song that finishes loading after a
    /// later request is dropped.
    std::uint64_t musicGeneration_ = 0;

    // The music thread's queue: the latest request only (an older one would be replaced at once).
    std::mutex loadMutex_;
    std::condition_variable loadWanted_;
    std::optional<MusicRequest> pendingMusic_;
    std::uint64_t pendingGeneration_ = 0;
    bool loading_ = false;
    bool quitLoading_ = false;
    std::thread loader_;

    // Waits: the channel-finished callback runs on SDL's audio thread with its lock held, so
    // it only touches these.
    std::mutex waitMutex_;
    std::condition_variable changed_;
    std::array<std::atomic<bool>, kChannels> playing_{};
    bool interrupted_ = false;
    bool fadeCancelled_ = false;
};

}  // namespace talu::host
