#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _Mix_Music;

namespace talu::host {

/// A Mix_Music streamed from a file held in memory (which it keeps); needs an open SdlMixer.
class MixMusic {
  public:
    /// null with problem when bytes do not pass CheckAudioFile or SDL2_mixer cannot open them.
    static std::unique_ptr<MixMusic> Load(std::vector<std::uint8_t> bytes, std::string& problem);
    ~MixMusic();
    MixMusic(const MixMusic&) = delete;
    MixMusic& operator=(const MixMusic&) = delete;

    _Mix_Music* Get() const { return music_; }

  private:
    MixMusic() = default;
    std::vector<std::uint8_t> bytes_;
    _Mix_Music* music_ = nullptr;
};

}  // namespace talu::host
