#include "host/audio/wave_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace talu::host {
namespace {

constexpr std::int64_t kWindowFrames = 1 << 16;
constexpr std::uint64_t kHeaderBytes = 44;
constexpr int kBytesPerFrame = kMixChannels * 2;

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

std::vector<std::uint8_t> Header(std::uint32_t dataBytes) {
    std::vector<std::uint8_t> out;
    for (const char c : std::string_view("RIFF")) {
        out.push_back(static_cast<std::uint8_t>(c));
    }
    PutLe(out, 36 + dataBytes, 4);
    for (const char c : std::string_view("WAVEfmt ")) {
        out.push_back(static_cast<std::uint8_t>(c));
    }
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, kMixChannels, 2);
    PutLe(out, kMixRate, 4);
    PutLe(out, kMixRate * kBytesPerFrame, 4);
    PutLe(out, kBytesPerFrame, 2);
    PutLe(out, 16, 2);
    for (const char c : std::string_view("data")) {
        out.push_back(static_cast<std::uint8_t>(c));
    }
    PutLe(out, dataBytes, 4);
    return out;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteWindows(int fd, std::int64_t frames, const MixWindow& mix) {
    std::vector<std::int16_t> window;
    std::vector<std::uint8_t> bytes;
    for (std::int64_t from = 0; from < frames; from += kWindowFrames) {
        const std::int64_t count = std::min(kWindowFrames, frames - from);
        window.assign(static_cast<std::size_t>(count) * kMixChannels, 0);
        mix(from, window);
        bytes.clear();
        for (const std::int16_t sample : window) {
            PutLe(bytes, static_cast<std::uint16_t>(sample), 2);
        }
        if (!WriteAll(fd, bytes.data(), bytes.size())) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool WriteStereoWave(const std::filesystem::path& file, std::int64_t frames, const MixWindow& mix,
                     std::string& problem) {
    const std::uint64_t dataBytes =
        static_cast<std::uint64_t>(std::max<std::int64_t>(frames, 0)) * kBytesPerFrame;
    if (dataBytes > 0xFFFFFFFFu - (kHeaderBytes - 8)) {
        problem = "the recording lasts " + std::to_string(frames / kMixRate) +
                  " s, too long for a WAVE file (at most " +
                  std::to_string((0xFFFFFFFFu - kHeaderBytes) / kBytesPerFrame / kMixRate) + " s)";
        return false;
    }
    std::error_code ec;
    const auto type = std::filesystem::status(file, ec).type();
    if (type != std::filesystem::file_type::not_found &&
        type != std::filesystem::file_type::regular) {
        problem = "not a file";
        return false;
    }
    const std::string temporary = file.string() + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        problem = "cannot create it";
        return false;
    }
    const std::vector<std::uint8_t> header = Header(static_cast<std::uint32_t>(dataBytes));
    bool ok = WriteAll(fd, header.data(), header.size()) && WriteWindows(fd, frames, mix) &&
              ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) {
        std::filesystem::rename(temporary, file, ec);
        ok = !ec;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        problem = "cannot write it";
    }
    return ok;
}

}  // namespace talu::host
