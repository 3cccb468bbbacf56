#include "app/music_player.h"

#include <cstdio>

#include "app/music_files.h"
#include "script/messages.h"

namespace talu::app {

int FadeTimeMs(int timeAttribute) {
    return timeAttribute < 0 ? 0 : timeAttribute & 0xFFFF;
}

MusicPlayer::MusicPlayer(MusicPlayerServices services) : services_(std::move(services)) {}

MusicPlayer::~MusicPlayer() {
    std::lock_guard lock(mutex_);
    services_.device->StopMusic();
}

void MusicPlayer::SetBookFolder(std::string folder) {
    std::lock_guard lock(mutex_);
    bookFolder_ = std::move(folder);
}

void MusicPlayer::SetEnabled(bool enabled) {
    std::lock_guard lock(mutex_);
    if (enabled_ && !enabled) {
        const std::string remembered = current_;
        StopLocked();
        current_ = remembered;  // bookmarks still record the music
    }
    enabled_ = enabled;
}

void MusicPlayer::Bgm(const BgmRequest& request) {
    if (request.source.empty()) {
        StopWithFade(request.timeMs, request.sync);
        return;
    }
    std::lock_guard lock(mutex_);
    loop_ = request.loop;
    PlayLocked(request.source);
}

void MusicPlayer::Play(const std::string& source) {
    if (source.empty()) {
        StopWithFade(0, true);
        return;
    }
    std::lock_guard lock(mutex_);
    PlayLocked(source);
}

void MusicPlayer::PlayLocked(const std::string& source) {
    current_ = source;
    if (!enabled_) {
        return;
    }
    CancelFadeLocked();
    services_.device->StopMusic();
    const MusicBackend backend = BackendOf(source);
    std::optional<stage::OpenedFile> file = OpenMusicFile(source, bookFolder_, *services_.plugins);
    if (!file) {
        if (services_.listener != nullptr) {
            services_.listener->MusicMissing(source);
        }
        return;
    }
    std::string problem;
    // LOOP 0 and 1 both play once: the count only goes down after a play while above 0.
    if (!services_.device->PlayMusic(std::move(file->bytes), loop_ > 1 ? loop_ : 1, problem)) {
        if (services_.showBox) {
            services_.showBox(
                script::UnsupportedMusicMessage(services_.langMode ? services_.langMode() : 0));
        }
        return;
    }
    if (services_.listener != nullptr) {
        services_.listener->MusicPlayed(source, loop_, BackendName(backend));
    }
}

void MusicPlayer::StopWithFade(int timeMs, bool sync) {
    std::unique_lock lock(mutex_);
    if (timeMs <= 0) {
        StopLocked();
        return;
    }
    ForgetFinishedFadeLocked();
    CancelFadeLocked();
    if (services_.listener != nullptr) {
        services_.listener->MusicFading(timeMs, sync);
    }
    host::AudioDevice& device = *services_.device;
    const int remembered = device.MusicVolume();
    const int stepMs = timeMs / host::MusicFade::kSteps;
    if (!sync) {
        const std::int64_t now = services_.clock->NowMs();
        device.FadeMusic(host::MusicFade{now, stepMs, remembered});
        fadeEndMs_ = now + std::int64_t{host::MusicFade::kSteps} * stepMs;
        return;
    }
    // The book waits through the fade, not the window: this runs on the worker.
    lock.unlock();
    for (int k = host::MusicFade::kSteps; k >= 0 && !interrupted_; --k) {
        device.SetMusicVolume(host::MusicFade::StepVolume(remembered, k));
        services_.clock->SleepMs(stepMs);
    }
    lock.lock();
    StopLocked();
    device.SetMusicVolume(remembered);
}

void MusicPlayer::Stop() {
    std::lock_guard lock(mutex_);
    StopLocked();
}

void MusicPlayer::StopLocked() {
    const bool wasPlaying = !current_.empty();
    CancelFadeLocked();
    services_.device->StopMusic();
    current_.clear();
    if (wasPlaying && services_.listener != nullptr) {
        services_.listener->MusicStopped();
    }
}

void MusicPlayer::CancelFadeLocked() {
    // The device restores the volume the fade started from when music stops or restarts.
    fadeEndMs_ = -1;
}

void MusicPlayer::ForgetFinishedFadeLocked() {
    if (fadeEndMs_ >= 0 && services_.clock->NowMs() >= fadeEndMs_) {
        fadeEndMs_ = -1;
        current_.clear();
    }
}

void MusicPlayer::Interrupt() {
    interrupted_ = true;
}

void MusicPlayer::Resume() {
    interrupted_ = false;
}

std::string MusicPlayer::CurrentSource() {
    std::lock_guard lock(mutex_);
    ForgetFinishedFadeLocked();
    return current_;
}

int MusicPlayer::LoopCount() {
    std::lock_guard lock(mutex_);
    return loop_;
}

std::optional<std::string> MusicPlayer::BgmTagText() {
    std::lock_guard lock(mutex_);
    ForgetFinishedFadeLocked();
    if (current_.empty()) {
        return std::nullopt;
    }
    return "<BGM SRC=\"" + current_ + "\" LOOP=\"" + std::to_string(loop_) + "\">";
}

}  // namespace talu::app
