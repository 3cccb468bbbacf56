#include "host/audio/audio_timeline.h"

#include <algorithm>

namespace talu::host {
namespace {

constexpr int kFullVolume = 128;

std::int64_t FrameAt(std::int64_t ms) {
    return ms == kUntilStopped ? std::numeric_limits<std::int64_t>::max() / 2
                               : ms * kMixRate / 1000;
}

}  // namespace

std::int64_t TimelineVoice::EndMs() const {
    if (plays == 0 || !pcm) {
        return stopMs;
    }
    return std::min(stopMs, startMs + plays * StereoDurationMs(*pcm));
}

StereoPcm MixTimeline(const std::vector<TimelineVoice>& voices,
                      const std::vector<VolumeChange>& musicVolume, std::int64_t untilMs) {
    const std::int64_t frames = FrameAt(std::max<std::int64_t>(untilMs, 0));
    std::vector<std::int32_t> sum(static_cast<std::size_t>(frames) * kMixChannels, 0);
    for (const TimelineVoice& voice : voices) {
        if (!voice.pcm || voice.pcm->size() < kMixChannels) {
            continue;
        }
        const StereoPcm& pcm = *voice.pcm;
        const std::int64_t length = static_cast<std::int64_t>(pcm.size() / kMixChannels);
        const std::int64_t start = FrameAt(voice.startMs);
        std::int64_t end = std::min(frames, FrameAt(voice.stopMs));
        if (voice.plays > 0) {
            end = std::min(end, start + voice.plays * length);
        }
        std::size_t nextChange = 0;
        int volume = kFullVolume;
        const auto advanceVolume = [&](std::int64_t frame) {
            while (nextChange < musicVolume.size() &&
                   FrameAt(musicVolume[nextChange].atMs) <= frame) {
                volume = musicVolume[nextChange].volume;
                ++nextChange;
            }
        };
        std::int64_t offset = 0;
        for (std::int64_t f = start; f < end; ++f) {
            if (voice.music) {
                advanceVolume(f);
            }
            const std::size_t from = static_cast<std::size_t>(offset) * kMixChannels;
            const std::size_t to = static_cast<std::size_t>(f) * kMixChannels;
            for (int c = 0; c < kMixChannels; ++c) {
                sum[to + c] += voice.music ? pcm[from + c] * volume / kFullVolume : pcm[from + c];
            }
            if (++offset == length) {
                offset = 0;
            }
        }
    }
    StereoPcm out(sum.size());
    std::transform(sum.begin(), sum.end(), out.begin(), [](std::int32_t v) {
        return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, INT16_MIN, INT16_MAX));
    });
    return out;
}

}  // namespace talu::host
