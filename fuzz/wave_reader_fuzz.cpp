// Any bytes as a WAVE or P16 file: the reader must refuse or decode without reading outside its
// input, and what it decodes must be whole frames of the format it reports.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "host/audio/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace talu::host;
    const std::span<const std::uint8_t> bytes(data, size);
    const WaveResult wave = ReadWave(bytes);
    if (wave.status == WaveStatus::kPcm) {
        const PcmSound& sound = wave.sound;
        if (sound.channels < 1 || sound.channels > 2 ||
            (sound.bitsPerSample != 8 && sound.bitsPerSample != 16) || sound.rate <= 0 ||
            sound.samples.size() % sound.FrameBytes() != 0 || sound.samples.size() > size) {
            std::abort();
        }
    } else if (!wave.sound.samples.empty()) {
        std::abort();
    }
    if (ReadP16(bytes).samples.size() != (size & ~std::size_t{1})) {
        std::abort();
    }
    return 0;
}
