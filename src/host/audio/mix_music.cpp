#include "host/audio/mix_music.h"

#include <SDL2/SDL_mixer.h>

#include "host/audio/audio_file_check.h"

namespace talu::host {

std::unique_ptr<MixMusic> MixMusic::Load(std::vector<std::uint8_t> bytes, std::string& problem) {
    const AudioFileCheck check = CheckAudioFile(bytes);
    if (!check.Accepted()) {
        problem = check.problem;
        return nullptr;
    }
    std::unique_ptr<MixMusic> music(new MixMusic);
    music->bytes_ = std::move(bytes);
    SDL_RWops* source =
        SDL_RWFromConstMem(music->bytes_.data(), static_cast<int>(music->bytes_.size()));
    if (source == nullptr) {
        problem = SDL_GetError();
        return nullptr;
    }
    music->music_ = Mix_LoadMUS_RW(source, 1);
    if (music->music_ == nullptr) {
        problem = Mix_GetError();
        return nullptr;
    }
    return music;
}

MixMusic::~MixMusic() {
    if (music_ != nullptr) {
        Mix_FreeMusic(music_);
    }
}

}  // namespace talu::host
