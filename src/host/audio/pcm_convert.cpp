#include "host/audio/pcm_convert.h"

#include <SDL2/SDL_audio.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "host/audio/audio_file_check.h"

namespace talu::host {
namespace {

struct StreamFree {
    void operator()(SDL_AudioStream* stream) const { SDL_FreeAudioStream(stream); }
};

// Converting a window at a time keeps memory at the output's size (a whole-buffer conversion
// needs room for the largest step, several times the output).
constexpr std::size_t kWindowBytes = 1 << 16;

bool Drain(SDL_AudioStream* stream, StereoPcm& out) {
    std::int16_t window[kWindowBytes / sizeof(std::int16_t)];
    for (;;) {
        const int got = SDL_AudioStreamGet(stream, window, sizeof window);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        out.insert(out.end(), window, window + got / sizeof(std::int16_t));
    }
}

}  // namespace

std::optional<StereoPcm> ToStereo(const PcmSound& sound) {
    if (sound.channels < 1 || sound.channels > 2 ||
        (sound.bitsPerSample != 8 && sound.bitsPerSample != 16) ||
        sound.rate < static_cast<int>(kMinAudioRate) ||
        sound.rate > static_cast<int>(kMaxAudioRate)) {
        return std::nullopt;
    }
    const SDL_AudioFormat format = sound.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    std::unique_ptr<SDL_AudioStream, StreamFree> stream(
        SDL_NewAudioStream(format, static_cast<Uint8>(sound.channels), sound.rate, AUDIO_S16SYS,
                           kMixChannels, kMixRate));
    if (!stream) {
        return std::nullopt;
    }
    StereoPcm out;
    out.reserve(static_cast<std::size_t>(sound.Frames() * kMixRate / sound.rate + kMixRate / 5) *
                kMixChannels);
    const std::size_t frame = static_cast<std::size_t>(sound.FrameBytes());
    const std::size_t whole = sound.samples.size() - sound.samples.size() % frame;
    const std::size_t step = kWindowBytes - kWindowBytes % frame;
    for (std::size_t at = 0; at < whole; at += step) {
        const std::size_t count = std::min(step, whole - at);
        if (SDL_AudioStreamPut(stream.get(), sound.samples.data() + at, static_cast<int>(count)) <
                0 ||
            !Drain(stream.get(), out)) {
            return std::nullopt;
        }
    }
    // The resampler keeps the last frames back even through a flush: a tenth of a second of
    // silence pushes them out, and the output is cut back to the sound's own length.
    const std::vector<std::uint8_t> silence(static_cast<std::size_t>(sound.rate / 10 + 64) * frame,
                                            sound.bitsPerSample == 8 ? 0x80 : 0);
    if (SDL_AudioStreamPut(stream.get(), silence.data(), static_cast<int>(silence.size())) < 0 ||
        SDL_AudioStreamFlush(stream.get()) < 0 || !Drain(stream.get(), out)) {
        return std::nullopt;
    }
    const std::int64_t frames = (sound.Frames() * kMixRate + sound.rate / 2) / sound.rate;
    out.resize(std::min(out.size() / kMixChannels, static_cast<std::size_t>(frames)) *
               kMixChannels);
    return out;
}

}  // namespace talu::host
