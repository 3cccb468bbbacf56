#include "host/audio/sdl_audio_device.h"

#include <SDL2/SDL_mixer.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "host/audio/soundfont.h"
#include "host/thread_state.h"

namespace talu::host {
namespace {

// SDL2_mixer's channel callback carries no context; one device exists at a time.
std::atomic<SdlAudioDevice*> finishedTarget{nullptr};

}  // namespace

void SdlAudioDevice::ChunkFree::operator()(Mix_Chunk* chunk) const {
    Mix_FreeChunk(chunk);  // the samples stay ours (a quick-loaded chunk does not own them)
}

SdlAudioDevice::SdlAudioDevice(Options options) : options_(std::move(options)) {
    finishedTarget = this;
}

SdlAudioDevice::~SdlAudioDevice() {
    {
        std::lock_guard lock(loadMutex_);
        quitLoading_ = true;
        pendingMusic_.reset();
    }
    loadWanted_.notify_all();
    if (loader_.joinable()) {
        loader_.join();
    }
    CancelFade();
    std::lock_guard lock(mutex_);
    if (mixer_) {
        Mix_ChannelFinished(nullptr);
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
    }
    finishedTarget = nullptr;
    chunks_ = {};
    music_.reset();
    mixer_.reset();
}

void SdlAudioDevice::ChannelFinished(int channel) {
    SdlAudioDevice* device = finishedTarget.load();
    if (device == nullptr || channel < 0 || channel >= kChannels) {
        return;
    }
    {
        std::lock_guard lock(device->waitMutex_);
        device->playing_[static_cast<std::size_t>(channel)] = false;
    }
    device->changed_.notify_all();
}

bool SdlAudioDevice::Open(std::string& problem) {
    if (mixer_) {
        return true;
    }
    if (!openProblem_.empty()) {
        problem = openProblem_;  // a device that failed once is not tried at every sound
        return false;
    }
    mixer_ = SdlMixer::Open({options_.driver, FindSoundFont(options_.soundFont), kChannels},
                            openProblem_);
    if (!mixer_) {
        if (openProblem_.empty()) {
            openProblem_ = "the audio device did not open";
        }
        problem = openProblem_;
        if (options_.onOpenFailed) {
            options_.onOpenFailed(openProblem_);
        }
        return false;
    }
    Mix_ChannelFinished(&SdlAudioDevice::ChannelFinished);
    ApplyMusicVolume(volume_);
    Mix_Volume(-1, loudness_.Scaled(kMaxVolume, loudness_.sound));
    return true;
}

bool SdlAudioDevice::Available() {
    std::lock_guard lock(mutex_);
    std::string problem;
    return Open(problem);
}

bool SdlAudioDevice::PlayMusic(std::vector<std::uint8_t> bytes, int plays, std::string&) {
    CancelFade();
    std::lock_guard lock(mutex_);
    if (mixer_) {
        Mix_HaltMusic();  // the old music ends now, not when the new one is loaded
        ApplyMusicVolume(volume_);
    }
    music_.reset();
    const std::uint64_t generation = ++musicGeneration_;
    if (!loader_.joinable()) {
        loader_ = std::thread([this] { LoadMusic(); });
    }
    {
        std::lock_guard queue(loadMutex_);
        pendingMusic_ = MusicRequest{std::move(bytes), std::max(plays, 1)};
        pendingGeneration_ = generation;
    }
    loadWanted_.notify_one();
    return true;
}

void SdlAudioDevice::LoadMusic() {
#ifdef __linux__
    // A soundfont takes a fifth of a second of a core to load: on a busy machine the book's
    // first pages are drawn first. (Linux gives each thread its own nice value.)
    const auto thread = static_cast<id_t>(gettid());
    setpriority(PRIO_PROCESS, thread, std::min(getpriority(PRIO_PROCESS, thread) + 10, 19));
#endif
    for (;;) {
        MusicRequest request;
        std::uint64_t generation = 0;
        {
            std::unique_lock queue(loadMutex_);
            loadWanted_.wait(queue, [this] { return quitLoading_ || pendingMusic_.has_value(); });
            if (quitLoading_) {
                ReleaseThreadState();  // SDL's error text of this thread
                return;
            }
            request = std::move(*pendingMusic_);
            pendingMusic_.reset();
            generation = pendingGeneration_;
            loading_ = true;
        }
        StartMusic(std::move(request), generation);
        std::lock_guard queue(loadMutex_);
        loading_ = false;
    }
}

void SdlAudioDevice::StartMusic(MusicRequest request, std::uint64_t generation) {
    {
        std::lock_guard lock(mutex_);
        std::string problem;
        if (generation != musicGeneration_ || !Open(problem)) {
            return;  // stopped meanwhile, or the device's failure was told once already
        }
    }
    // Outside the lock: effects go on while the soundfont loads.
    std::string problem;
    std::unique_ptr<MixMusic> music = MixMusic::Load(std::move(request.bytes), problem);
    std::lock_guard lock(mutex_);
    if (generation != musicGeneration_) {
        return;
    }
    if (music) {
        ApplyMusicVolume(volume_);
        if (Mix_PlayMusic(music->Get(), request.plays) == 0) {
            music_ = std::move(music);
            return;
        }
        problem = Mix_GetError();
    }
    if (options_.onMusicFailed) {
        options_.onMusicFailed(problem);
    }
}

void SdlAudioDevice::StopMusic() {
    CancelFade();
    std::lock_guard lock(mutex_);
    ++musicGeneration_;
    {
        std::lock_guard queue(loadMutex_);
        pendingMusic_.reset();
    }
    if (mixer_) {
        Mix_HaltMusic();
        ApplyMusicVolume(volume_);
    }
    music_.reset();
}

bool SdlAudioDevice::MusicPlaying() {
    {
        std::lock_guard queue(loadMutex_);
        if (pendingMusic_ || loading_) {
            return true;
        }
    }
    std::lock_guard lock(mutex_);
    return mixer_ && music_ && Mix_PlayingMusic() != 0;
}

void SdlAudioDevice::SetMusicVolume(int volume) {
    std::lock_guard lock(mutex_);
    volume_ = std::clamp(volume, 0, kMaxVolume);
    if (mixer_) {
        ApplyMusicVolume(volume_);
    }
}

int SdlAudioDevice::MusicVolume() {
    std::lock_guard lock(mutex_);
    return mixer_ ? heard_ : volume_;
}

void SdlAudioDevice::SetLoudness(const Loudness& loudness) {
    std::lock_guard lock(mutex_);
    loudness_ = loudness;
    if (mixer_) {
        ApplyMusicVolume(heard_);
        Mix_Volume(-1, loudness_.Scaled(kMaxVolume, loudness_.sound));
    }
}

void SdlAudioDevice::ApplyMusicVolume(int volume) {
    heard_ = volume;
    Mix_VolumeMusic(loudness_.Scaled(volume, loudness_.music));
}

void SdlAudioDevice::CancelFade() {
    {
        std::lock_guard lock(waitMutex_);
        fadeCancelled_ = true;
    }
    changed_.notify_all();
    if (fader_.joinable()) {
        fader_.join();
    }
    std::lock_guard lock(mutex_);
    if (mixer_) {
        ApplyMusicVolume(volume_);
    }
}

void SdlAudioDevice::FadeMusic(const MusicFade& fade) {
    CancelFade();
    {
        std::lock_guard lock(waitMutex_);
        fadeCancelled_ = false;
    }
    std::lock_guard lock(mutex_);
    volume_ = fade.remembered;
    fader_ = std::thread([this, fade] { RunFade(fade.stepMs, fade.remembered); });
}

void SdlAudioDevice::RunFade(int stepMs, int remembered) {
    const auto start = std::chrono::steady_clock::now();
    for (int done = 1; done <= MusicFade::kSteps; ++done) {
        {
            std::unique_lock lock(waitMutex_);
            if (changed_.wait_until(lock, start + std::chrono::milliseconds(stepMs) * done,
                                    [this] { return fadeCancelled_; })) {
                return;
            }
        }
        std::lock_guard lock(mutex_);
        if (!mixer_) {
            return;
        }
        if (done == MusicFade::kSteps) {
            ++musicGeneration_;  // a song still loading does not start after its fade
            Mix_HaltMusic();
            ApplyMusicVolume(remembered);
        } else {
            ApplyMusicVolume(MusicFade::StepVolume(remembered, MusicFade::kSteps - done));
        }
    }
}

void SdlAudioDevice::HaltChannel(int channel) {
    Mix_HaltChannel(channel);  // the finished callback clears the playing flag
    chunks_[static_cast<std::size_t>(channel)].reset();
    pcm_[static_cast<std::size_t>(channel)].reset();
}

void SdlAudioDevice::PlaySound(int channel, std::shared_ptr<const StereoPcm> pcm, int plays) {
    std::lock_guard lock(mutex_);
    std::string problem;
    if (!Open(problem) || !pcm || pcm->empty()) {
        return;
    }
    HaltChannel(channel);
    auto* samples = reinterpret_cast<Uint8*>(const_cast<std::int16_t*>(pcm->data()));
    std::unique_ptr<Mix_Chunk, ChunkFree> chunk(
        Mix_QuickLoad_RAW(samples, static_cast<Uint32>(pcm->size() * sizeof(std::int16_t))));
    if (!chunk) {
        return;
    }
    playing_[static_cast<std::size_t>(channel)] = true;
    if (Mix_PlayChannel(channel, chunk.get(), plays <= 0 ? -1 : plays - 1) < 0) {
        playing_[static_cast<std::size_t>(channel)] = false;
        return;
    }
    chunks_[static_cast<std::size_t>(channel)] = std::move(chunk);
    pcm_[static_cast<std::size_t>(channel)] = std::move(pcm);
}

bool SdlAudioDevice::SoundPlaying(int channel) {
    return playing_[static_cast<std::size_t>(channel)].load();
}

void SdlAudioDevice::StopSound(int channel) {
    std::lock_guard lock(mutex_);
    if (mixer_) {
        HaltChannel(channel);
    }
}

bool SdlAudioDevice::WaitSound(int channel) {
    std::unique_lock lock(waitMutex_);
    changed_.wait(
        lock, [&] { return interrupted_ || !playing_[static_cast<std::size_t>(channel)].load(); });
    return !interrupted_;
}

void SdlAudioDevice::Interrupt() {
    {
        std::lock_guard lock(waitMutex_);
        interrupted_ = true;
    }
    changed_.notify_all();
}

void SdlAudioDevice::Resume() {
    std::lock_guard lock(waitMutex_);
    interrupted_ = false;
}

std::optional<StereoPcm> SdlAudioDevice::Decode(std::span<const std::uint8_t> bytes,
                                                std::string& problem) {
    std::lock_guard lock(mutex_);
    if (!Open(problem)) {
        return std::nullopt;
    }
    return mixer_->Decode(bytes, kMaxSoundMs, problem);
}

}  // namespace talu::host
