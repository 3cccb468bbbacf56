// Any bytes as a book's music and as its sound effect, through the player's real loading path:
// our own header checks, then SDL2_mixer's decoders (WAVE and its codecs, Ogg Vorbis, FLAC, MP3,
// MIDI) as music (opened to stream) and as an effect (decoded whole, bounded). Nothing may crash,
// read outside the input or run away; an effect decoded must be whole stereo frames no longer
// than an effect may be.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "app/sound_effects.h"
#include "host/audio/soundfont.h"
#include "host/audio/virtual_audio_device.h"

namespace {

talu::host::VirtualAudioDevice& Device() {
    // SDL2_mixer is one per process: one silent device serves every input.
    static talu::host::VirtualClock clock;
    static talu::host::VirtualAudioDevice device(clock, {false, talu::host::FindSoundFont({})});
    return device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace talu;
    host::VirtualAudioDevice& device = Device();
    const std::span<const std::uint8_t> bytes(data, size);
    std::string problem;
    device.PlayMusic(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), 1, problem);
    device.StopMusic();
    // The first byte picks the extension, so P16 is reached too.
    const char* name = size > 0 && data[0] % 8 == 0 ? "x.p16" : "x.wav";
    const std::optional<host::StereoPcm> pcm = app::SoundEffects::Decode(name, bytes, device);
    if (pcm) {
        const std::size_t most = static_cast<std::size_t>(host::AudioDevice::kMaxSoundMs) *
                                 host::kMixRate / 1000 * host::kMixChannels;
        if (pcm->size() % host::kMixChannels != 0 || pcm->size() > most) {
            std::abort();
        }
    }
    return 0;
}
