#include "host/audio/sdl_mixer.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <atomic>
#include <cassert>
#include <chrono>
#include <cstring>

#include "host/audio/audio_file_check.h"
#include "host/audio/decode_limit.h"

namespace talu::host {
namespace {

std::atomic<int> openMixers{0};

// However short the file, decoding it may take no longer than this.
constexpr std::chrono::seconds kDecodeTime{10};

// Bytes of one decode held by SDL_mixer; SDL2_mixer frees them with the chunk.
struct ChunkFree {
    void operator()(Mix_Chunk* chunk) const { Mix_FreeChunk(chunk); }
};

}  // namespace

SdlMixer::SdlMixer() {
    [[maybe_unused]] const int before = openMixers.fetch_add(1);
    assert(before == 0 && "SDL2_mixer is one per process");
}

std::unique_ptr<SdlMixer> SdlMixer::Open(const Options& options, std::string& problem) {
    std::unique_ptr<SdlMixer> mixer(new SdlMixer);
    if (!options.driver.empty()) {
        // Decoding headless must not depend on SDL_AUDIODRIVER in the reader's environment.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, options.driver.c_str(), SDL_HINT_OVERRIDE);
        mixer->forcedDriver_ = true;
    }
    // Audio brings SDL's events, whose SIGINT and SIGTERM handlers would swallow the signals
    // that end the player.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    DecodeLimit::Install();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        problem = SDL_GetError();
        return nullptr;
    }
    mixer->subsystem_ = true;
    Mix_Init(MIX_INIT_OGG | MIX_INIT_FLAC | MIX_INIT_MP3 | MIX_INIT_MID | MIX_INIT_MOD);
    if (!options.soundFont.empty()) {
        Mix_SetSoundFonts(options.soundFont.c_str());
    }
    if (Mix_OpenAudio(kMixRate, AUDIO_S16SYS, kMixChannels, 1024) != 0) {
        problem = Mix_GetError();
        return nullptr;
    }
    mixer->opened_ = true;
    Mix_AllocateChannels(options.channels);
    return mixer;
}

SdlMixer::~SdlMixer() {
    if (opened_) {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        Mix_CloseAudio();
    }
    if (subsystem_) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (forcedDriver_) {
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    }
    openMixers.fetch_sub(1);
}

std::optional<StereoPcm> SdlMixer::Decode(std::span<const std::uint8_t> bytes, std::int64_t maxMs,
                                          std::string& problem) const {
    const AudioFileCheck check = CheckAudioFile(bytes);
    if (!check.Accepted()) {
        problem = check.problem;
        return std::nullopt;
    }
    if (check.durationMs > maxMs) {
        problem = "the sound is too long";
        return std::nullopt;
    }
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (source == nullptr) {
        problem = SDL_GetError();
        return std::nullopt;
    }
    // On the way the samples may be held twice (in the file's layout, then in ours).
    const std::size_t maxBytes =
        static_cast<std::size_t>(maxMs) * kMixRate / 1000 * kMixChannels * sizeof(std::int16_t);
    std::unique_ptr<Mix_Chunk, ChunkFree> chunk;
    {
        const DecodeLimit limit(2 * maxBytes + (1 << 20), kDecodeTime);
        chunk.reset(Mix_LoadWAV_RW(source, 1));
        if (limit.Reached() || (chunk && chunk->alen > maxBytes)) {
            problem = "the sound is too long";
            return std::nullopt;
        }
    }
    if (!chunk) {
        problem = Mix_GetError();
        return std::nullopt;
    }
    StereoPcm pcm(chunk->alen / sizeof(std::int16_t) / kMixChannels * kMixChannels);
    if (!pcm.empty()) {  // a file of no samples has no buffer to copy from or to
        std::memcpy(pcm.data(), chunk->abuf, pcm.size() * sizeof(std::int16_t));
    }
    return pcm;
}

}  // namespace talu::host
