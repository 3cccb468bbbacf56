#include "host/audio/pcm_convert.h"

#include <SDL2/SDL_audio.h>

#include <cstring>

namespace talu::host {

std::optional<StereoPcm> ToStereo(const PcmSound& sound) {
    if (sound.channels < 1 || sound.channels > 2 ||
        (sound.bitsPerSample != 8 && sound.bitsPerSample != 16) || sound.rate <= 0) {
        return std::nullopt;
    }
    SDL_AudioCVT cvt;
    const SDL_AudioFormat format = sound.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    if (SDL_BuildAudioCVT(&cvt, format, static_cast<Uint8>(sound.channels), sound.rate,
                          AUDIO_S16SYS, kMixChannels, kMixRate) < 0) {
        return std::nullopt;
    }
    const std::size_t bytes = sound.samples.size();
    if (bytes > static_cast<std::size_t>(INT32_MAX / (cvt.len_mult > 0 ? cvt.len_mult : 1))) {
        return std::nullopt;
    }
    std::vector<Uint8> buffer(bytes *
                              static_cast<std::size_t>(cvt.len_mult > 0 ? cvt.len_mult : 1));
    if (bytes > 0) {
        std::memcpy(buffer.data(), sound.samples.data(), bytes);
    }
    cvt.buf = buffer.data();
    cvt.len = static_cast<int>(bytes);
    if (cvt.needed && SDL_ConvertAudio(&cvt) < 0) {
        return std::nullopt;
    }
    const int produced = cvt.needed ? cvt.len_cvt : cvt.len;
    StereoPcm out(static_cast<std::size_t>(produced) / sizeof(std::int16_t) / kMixChannels *
                  kMixChannels);
    std::memcpy(out.data(), buffer.data(), out.size() * sizeof(std::int16_t));
    return out;
}

}  // namespace talu::host
