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

void MixTimelineWindow(const std::vector<TimelineVoice>& voices,
                       const std::vector<VolumeChange>& musicVolume, std::int64_t fromFrame,
                       std::span<std::int16_t> out) {
    const std::int64_t frames = static_cast<std::int64_t>(out.size() / kMixChannels);
    const std::int64_t untilFrame = fromFrame + frames;
    std::vector<std::int32_t> sum(out.size(), 0);
    for (const TimelineVoice& voice : voices) {
        if (!voice.pcm || voice.pcm->size() < kMixChannels) {
            continue;
        }
        const StereoPcm& pcm = *voice.pcm;
        const std::int64_t length = static_cast<std::int64_t>(pcm.size() / kMixChannels);
        const std::int64_t start = FrameAt(voice.startMs);
        std::int64_t end = std::min(untilFrame, FrameAt(voice.stopMs));
        if (voice.plays > 0) {
            end = std::min(end, start + voice.plays * length);
        }
        const std::int64_t first = std::max(start, fromFrame);
        std::size_t nextChange = 0;
        int volume = kFullVolume;
        const auto advanceVolume = [&](std::int64_t frame) {
            while (nextChange < musicVolume.size() &&
                   FrameAt(musicVolume[nextChange].atMs) <= frame) {
                volume = musicVolume[nextChange].volume;
                ++nextChange;
            }
        };
        std::int64_t offset = first >= end ? 0 : (first - start) % length;
        for (std::int64_t f = first; f < end; ++f) {
            if (voice.music) {
                advanceVolume(f);
            }
            const std::size_t from = static_cast<std::size_t>(offset) * kMixChannels;
            const std::size_t to = static_cast<std::size_t>(f - fromFrame) * kMixChannels;
            for (int c = 0; c < kMixChannels; ++c) {
                sum[to + c] += voice.music ? pcm[from + c] * volume / kFullVolume : pcm[from + c];
            }
            if (++offset == length) {
                offset = 0;
            }
        }
    }
    std::transform(sum.begin(), sum.end(), out.begin(), [](std::int32_t v) {
        return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, INT16_MIN, INT16_MAX));
    });
}

std::int64_t TimelineFrames(std::int64_t untilMs) {
    return FrameAt(std::max<std::int64_t>(untilMs, 0));
}

StereoPcm MixTimeline(const std::vector<TimelineVoice>& voices,
                      const std::vector<VolumeChange>& musicVolume, std::int64_t untilMs) {
    StereoPcm out(static_cast<std::size_t>(TimelineFrames(untilMs)) * kMixChannels);
    MixTimelineWindow(voices, musicVolume, 0, out);
    return out;
}

}  // namespace talu::host
