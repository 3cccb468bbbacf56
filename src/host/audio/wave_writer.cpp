#include "host/audio/wave_writer.h"

#include <string>

#include "host/atomic_file.h"

namespace talu::host {
namespace {

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>(value >> (8 * i)));
    }
}

}  // namespace

bool WriteStereoWave(const std::filesystem::path& file, const StereoPcm& pcm) {
    const std::uint64_t dataBytes = pcm.size() * sizeof(std::int16_t);
    if (dataBytes > 0xFFFFFFFFu - 36) {
        return false;
    }
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    PutLe(out, static_cast<std::uint32_t>(36 + dataBytes), 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, kMixChannels, 2);
    PutLe(out, kMixRate, 4);
    PutLe(out, kMixRate * kMixChannels * 2, 4);
    PutLe(out, kMixChannels * 2, 2);
    PutLe(out, 16, 2);
    out += "data";
    PutLe(out, static_cast<std::uint32_t>(dataBytes), 4);
    for (const std::int16_t sample : pcm) {
        PutLe(out, static_cast<std::uint16_t>(sample), 2);
    }
    return WriteFileAtomically(file, out);
}

}  // namespace talu::host
