#include "host/audio/virtual_audio_device.h"

#include <algorithm>

#include "host/audio/mix_music.h"
#include "host/audio/wave_writer.h"

namespace talu::host {

VirtualAudioDevice::VirtualAudioDevice(Clock& clock, Options options)
    : clock_(clock), options_(std::move(options)), origin_(clock.NowMs()) {
    channels_.fill(-1);
}

VirtualAudioDevice::~VirtualAudioDevice() = default;

std::int64_t VirtualAudioDevice::Now() const {
    return clock_.NowMs() - origin_;
}

bool VirtualAudioDevice::OpenDecoder(std::string& problem) {
    if (!decoder_) {
        decoder_ = SdlMixer::Open({"dummy", options_.soundFont, kChannels}, problem);
    }
    return decoder_ != nullptr;
}

std::optional<StereoPcm> VirtualAudioDevice::Decode(std::span<const std::uint8_t> bytes,
                                                    std::string& problem) {
    std::lock_guard lock(mutex_);
    if (!OpenDecoder(problem)) {
        return std::nullopt;
    }
    return decoder_->Decode(bytes, kMaxSoundMs, problem);
}

void VirtualAudioDevice::CancelFadeAt(std::int64_t at) {
    if (fadeEndMs_ > at) {
        // The rest of the fade never happens; the volume from before it comes back.
        std::erase_if(volumes_, [at](const VolumeChange& change) { return change.atMs > at; });
        volumes_.push_back({at, volume_});
        if (music_ >= 0 && voices_[static_cast<std::size_t>(music_)].stopMs == fadeEndMs_) {
            voices_[static_cast<std::size_t>(music_)].stopMs = kUntilStopped;
        }
    }
    fadeEndMs_ = -1;
}

void VirtualAudioDevice::StopMusicAt(std::int64_t at) {
    CancelFadeAt(at);
    if (music_ >= 0) {
        TimelineVoice& voice = voices_[static_cast<std::size_t>(music_)];
        voice.stopMs = std::min(voice.stopMs, at);
        music_ = -1;
    }
}

bool VirtualAudioDevice::PlayMusic(std::vector<std::uint8_t> bytes, int plays,
                                   std::string& problem) {
    std::lock_guard lock(mutex_);
    const std::int64_t now = Now();
    StopMusicAt(now);
    if (!OpenDecoder(problem)) {
        return false;
    }
    TimelineVoice voice;
    if (options_.record) {
        auto pcm = decoder_->Decode(bytes, kMaxRecordedMusicMs, problem);
        if (!pcm) {
            return false;
        }
        voice.pcm = std::make_shared<const StereoPcm>(std::move(*pcm));
    } else if (!MixMusic::Load(std::move(bytes), problem)) {
        return false;
    }
    voice.startMs = now;
    voice.plays = std::max(plays, 1);
    voice.music = true;
    voices_.push_back(std::move(voice));
    music_ = static_cast<int>(voices_.size()) - 1;
    return true;
}

void VirtualAudioDevice::StopMusic() {
    std::lock_guard lock(mutex_);
    StopMusicAt(Now());
}

void VirtualAudioDevice::SetMusicVolume(int volume) {
    std::lock_guard lock(mutex_);
    volume_ = std::clamp(volume, 0, kMaxVolume);
    volumes_.push_back({Now(), volume_});
}

int VirtualAudioDevice::MusicVolume() {
    std::lock_guard lock(mutex_);
    const std::int64_t now = Now();
    int volume = kMaxVolume;
    for (const VolumeChange& change : volumes_) {
        if (change.atMs <= now) {
            volume = change.volume;
        }
    }
    return volume;
}

void VirtualAudioDevice::FadeMusic(const MusicFade& fade) {
    std::lock_guard lock(mutex_);
    const std::int64_t start = fade.startMs - origin_;
    CancelFadeAt(start);
    // The whole fade is known now: its steps are placed on the timeline ahead.
    for (int done = 0; done < MusicFade::kSteps; ++done) {
        volumes_.push_back({start + std::int64_t{done} * fade.stepMs,
                            MusicFade::StepVolume(fade.remembered, MusicFade::kSteps - done)});
    }
    const std::int64_t end = start + std::int64_t{MusicFade::kSteps} * fade.stepMs;
    volumes_.push_back({end, fade.remembered});
    volume_ = fade.remembered;
    fadeEndMs_ = end;
    if (music_ >= 0) {
        TimelineVoice& voice = voices_[static_cast<std::size_t>(music_)];
        voice.stopMs = std::min(voice.stopMs, end);
    }
}

void VirtualAudioDevice::PlaySound(int channel, std::shared_ptr<const StereoPcm> pcm, int plays) {
    std::lock_guard lock(mutex_);
    const std::int64_t now = Now();
    if (!options_.record) {
        // Nothing is mixed later: only what still plays is kept.
        std::vector<TimelineVoice> playing;
        for (int& index : channels_) {
            if (index >= 0 && voices_[static_cast<std::size_t>(index)].EndMs() > now) {
                playing.push_back(voices_[static_cast<std::size_t>(index)]);
                index = static_cast<int>(playing.size()) - 1;
            } else {
                index = -1;
            }
        }
        if (music_ >= 0) {
            playing.push_back(voices_[static_cast<std::size_t>(music_)]);
            music_ = static_cast<int>(playing.size()) - 1;
        }
        voices_ = std::move(playing);
    }
    int& index = channels_[static_cast<std::size_t>(channel)];
    if (index >= 0) {
        TimelineVoice& old = voices_[static_cast<std::size_t>(index)];
        old.stopMs = std::min(old.stopMs, now);
    }
    TimelineVoice voice;
    voice.pcm = std::move(pcm);
    voice.startMs = now;
    voice.plays = std::max(plays, 0);
    voices_.push_back(std::move(voice));
    index = static_cast<int>(voices_.size()) - 1;
}

bool VirtualAudioDevice::SoundPlaying(int channel) {
    std::lock_guard lock(mutex_);
    const int index = channels_[static_cast<std::size_t>(channel)];
    return index >= 0 && voices_[static_cast<std::size_t>(index)].EndMs() > Now();
}

void VirtualAudioDevice::StopSound(int channel) {
    std::lock_guard lock(mutex_);
    int& index = channels_[static_cast<std::size_t>(channel)];
    if (index >= 0) {
        TimelineVoice& voice = voices_[static_cast<std::size_t>(index)];
        voice.stopMs = std::min(voice.stopMs, Now());
        index = -1;
    }
}

bool VirtualAudioDevice::WaitSound(int channel) {
    std::int64_t wait = 0;
    {
        std::lock_guard lock(mutex_);
        const int index = channels_[static_cast<std::size_t>(channel)];
        if (interrupted_) {
            return false;
        }
        if (index < 0) {
            return true;
        }
        const std::int64_t end = voices_[static_cast<std::size_t>(index)].EndMs();
        if (end == kUntilStopped) {
            return false;  // a loop never ends by itself
        }
        wait = end - Now();
    }
    if (wait > 0) {
        clock_.SleepMs(static_cast<int>(std::min<std::int64_t>(wait, INT32_MAX)));
    }
    std::lock_guard lock(mutex_);
    return !interrupted_;
}

void VirtualAudioDevice::Interrupt() {
    std::lock_guard lock(mutex_);
    interrupted_ = true;
}

void VirtualAudioDevice::Resume() {
    std::lock_guard lock(mutex_);
    interrupted_ = false;
}

StereoPcm VirtualAudioDevice::Render() {
    std::lock_guard lock(mutex_);
    return MixTimeline(voices_, volumes_, Now());
}

bool VirtualAudioDevice::RenderToWave(const std::filesystem::path& file, std::string& problem) {
    std::lock_guard lock(mutex_);
    return WriteStereoWave(
        file, TimelineFrames(Now()),
        [this](std::int64_t from, std::span<std::int16_t> out) {
            MixTimelineWindow(voices_, volumes_, from, out);
        },
        problem);
}

}  // namespace talu::host
