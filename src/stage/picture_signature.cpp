#include "stage/picture_signature.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>
#include <vector>

namespace talu::stage {
namespace {

bool StartsWith(std::span<const uint8_t> head, std::size_t at, std::string_view bytes) {
    return head.size() >= at + bytes.size() &&
           std::equal(bytes.begin(), bytes.end(), head.begin() + at,
                      [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

// The information header sizes of the Windows and OS/2 forms.
bool IsBmp(std::span<const uint8_t> head) {
    if (!StartsWith(head, 0, "BM") || head.size() < 18) {
        return false;
    }
    const uint32_t info = uint32_t{head[14]} | uint32_t{head[15]} << 8 | uint32_t{head[16]} << 16 |
                          uint32_t{head[17]} << 24;
    return info == 12 || info == 108 || info == 124 || (info >= 16 && info <= 64);
}

}  // namespace

PictureKind PictureKindOf(std::span<const uint8_t> head) {
    using namespace std::string_view_literals;
    if (IsBmp(head)) {
        return PictureKind::kBmp;
    }
    if (StartsWith(head, 0, "\xFF\xD8\xFF"sv)) {
        return PictureKind::kJpeg;
    }
    if (StartsWith(head, 0, "\x89PNG\r\n\x1A\n"sv)) {
        return PictureKind::kPng;
    }
    if (StartsWith(head, 0, "GIF87a"sv) || StartsWith(head, 0, "GIF89a"sv)) {
        return PictureKind::kGif;
    }
    if (StartsWith(head, 0, "II*\0"sv) || StartsWith(head, 0, "MM\0*"sv)) {
        return PictureKind::kTiff;
    }
    if (StartsWith(head, 0, "RIFF"sv) && StartsWith(head, 8, "WEBP"sv)) {
        return PictureKind::kWebp;
    }
    return PictureKind::kNone;
}

bool FileLooksLikePicture(const std::filesystem::path& file) {
    std::array<char, kPictureHeadBytes> head{};
    std::ifstream in(file, std::ios::binary);
    in.read(head.data(), head.size());
    const auto got = static_cast<std::size_t>(in.gcount());
    return LooksLikePicture(std::span(reinterpret_cast<const uint8_t*>(head.data()), got));
}

}  // namespace talu::stage
