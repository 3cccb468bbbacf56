#include "stage/cursor_file.h"

#include <algorithm>
#include <fstream>
#include <string_view>

#include "host/little_endian.h"
#include "stage/bmp_reader.h"
#include "stage/icon_image.h"
#include "stage/picture_signature.h"

namespace talu::stage {
namespace {

constexpr int kJiffyMs = 1000 / 60;
constexpr uint32_t kDefaultRate = 10;
// Pictures and steps together: 64 full-size frames, 16 MB of pixels.
constexpr std::size_t kMaxCursorPixels = std::size_t{1} << 22;

bool HasId(std::span<const uint8_t> b, std::size_t at, std::string_view id) {
    return b.size() >= at + id.size() && std::equal(id.begin(), id.end(), b.begin() + at);
}

// Calls visit(chunk id, chunk body) for each RIFF chunk of bytes, up to the first that overruns.
template <typename Visit>
void ForEachChunk(std::span<const uint8_t> bytes, Visit visit) {
    std::size_t at = 0;
    while (bytes.size() - at >= 8) {
        const std::size_t size = host::ReadLe32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (size > bytes.size() - body) {
            return;
        }
        visit(bytes.subspan(at, 4), bytes.subspan(body, size));
        const std::size_t next = size + (size & 1);
        if (next > bytes.size() - body) {
            return;
        }
        at = body + next;
    }
}

bool IsId(std::span<const uint8_t> id, std::string_view name) {
    return HasId(id, 0, name);
}

struct Animation {
    std::vector<CursorImage> pictures;
    std::vector<uint32_t> rates;
    std::vector<uint32_t> sequence;
    uint32_t defaultRate = kDefaultRate;
    std::size_t pixels = 0;

    void AddWords(std::span<const uint8_t> body, std::vector<uint32_t>& list) {
        for (std::size_t i = 0; i + 4 <= body.size() && list.size() < kMaxCursorFrames; i += 4) {
            list.push_back(host::ReadLe32(body, i));
        }
    }
    void AddPicture(std::span<const uint8_t> icon) {
        if (pictures.size() >= kMaxCursorFrames) {
            return;
        }
        std::optional<IconPicture> picture = ReadIconFile(icon);
        if (!picture) {
            return;
        }
        pixels += static_cast<std::size_t>(picture->image.width) * picture->image.height;
        if (pixels <= kMaxCursorPixels) {
            pictures.push_back({std::move(picture->image), picture->hotX, picture->hotY, 0});
        }
    }
    void Read(std::span<const uint8_t> id, std::span<const uint8_t> body) {
        if (IsId(id, "anih") && body.size() >= 36) {
            defaultRate = host::ReadLe32(body, 28);
        } else if (IsId(id, "rate")) {
            AddWords(body, rates);
        } else if (IsId(id, "seq ")) {
            AddWords(body, sequence);
        } else if (IsId(id, "LIST") && HasId(body, 0, "fram")) {
            ForEachChunk(body.subspan(4), [this](auto inner, auto innerBody) {
                if (IsId(inner, "icon")) {
                    AddPicture(innerBody);
                }
            });
        }
    }
};

int StepMs(uint32_t rate) {
    return static_cast<int>(std::clamp<uint32_t>(rate, 1, kMaxCursorStepMs / kJiffyMs)) * kJiffyMs;
}

/// A RIFF "ACON" animated cursor: its frames in step order with their rates.
std::optional<std::vector<CursorImage>> ReadAnimated(std::span<const uint8_t> bytes) {
    const std::size_t end = std::min<std::size_t>(bytes.size(), std::size_t{8} + host::ReadLe32(bytes, 4));
    if (end < 12) {
        return std::nullopt;
    }
    Animation animation;
    ForEachChunk(bytes.subspan(12, end - 12),
                 [&animation](auto id, auto body) { animation.Read(id, body); });
    const std::vector<CursorImage>& pictures = animation.pictures;
    const std::size_t steps =
        animation.sequence.empty() ? pictures.size() : animation.sequence.size();
    std::vector<CursorImage> frames;
    std::size_t pixels = 0;
    for (std::size_t step = 0; step < steps; ++step) {
        const std::size_t index = animation.sequence.empty() ? step : animation.sequence[step];
        if (index >= pictures.size()) {
            continue;
        }
        pixels += pictures[index].image.pixels.size() / 4;
        if (pixels > kMaxCursorPixels) {
            break;
        }
        frames.push_back(pictures[index]);
        frames.back().durationMs =
            StepMs(step < animation.rates.size() ? animation.rates[step] : animation.defaultRate);
    }
    if (frames.empty()) {
        return std::nullopt;
    }
    if (frames.size() == 1) {
        frames.front().durationMs = 0;
    }
    return frames;
}

// A decoded BMP (palette indices or blue-green-red rows, bottom-up) as opaque RGBA.
std::optional<host::RgbaImage> RgbaFromBitmap(const Bitmap& bitmap) {
    if (bitmap.bits.size() < static_cast<std::size_t>(bitmap.Stride()) * bitmap.height) {
        return std::nullopt;
    }
    host::RgbaImage image{bitmap.width, bitmap.height, {}};
    image.pixels.reserve(static_cast<std::size_t>(bitmap.width) * bitmap.height * 4);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row =
            bitmap.bits.data() + static_cast<std::size_t>(bitmap.height - 1 - y) * bitmap.Stride();
        for (int x = 0; x < bitmap.width; ++x) {
            const uint8_t* bgr = row + x * 3;
            if (bitmap.bitCount == 8) {
                const std::size_t at = std::size_t{row[x]} * 4;
                bgr = at + 3 <= bitmap.palette.size() ? bitmap.palette.data() + at : nullptr;
            }
            const uint8_t black[3] = {0, 0, 0};
            bgr = bgr != nullptr ? bgr : black;
            image.pixels.insert(image.pixels.end(), {bgr[2], bgr[1], bgr[0], 255});
        }
    }
    return image;
}

// The sides a BMP's information header declares, read before its pixels are.
bool BmpFitsACursor(std::span<const uint8_t> b) {
    const bool os2 = b[14] == 12;
    const std::size_t need = os2 ? 22 : 26;
    if (b.size() < need) {
        return false;
    }
    const int64_t width = os2 ? b[18] | b[19] << 8 : static_cast<int32_t>(host::ReadLe32(b, 18));
    const int64_t height = os2 ? b[20] | b[21] << 8 : static_cast<int32_t>(host::ReadLe32(b, 22));
    return width >= 1 && width <= kMaxIconSide && height != 0 && height >= -kMaxIconSide &&
           height <= kMaxIconSide;
}

// A plain picture as a cursor: our own header check first, BMP read by our own reader, and only
// the formats whose size the decoder reads before their pixels go to it.
std::optional<host::RgbaImage> ReadPlainPicture(std::span<const uint8_t> bytes) {
    const PictureKind kind = PictureKindOf(bytes);
    if (kind == PictureKind::kBmp) {
        if (!BmpFitsACursor(bytes)) {
            return std::nullopt;
        }
        const std::optional<Bitmap> bitmap = ReadBmp(bytes).bitmap;
        return bitmap ? RgbaFromBitmap(*bitmap) : std::nullopt;
    }
    if (kind != PictureKind::kPng && kind != PictureKind::kJpeg && kind != PictureKind::kGif) {
        return std::nullopt;
    }
    host::DecodeOptions options;
    options.keepAlpha = true;
    options.maxSide = kMaxIconSide;
    const std::optional<host::DecodedImage> decoded = host::DecodeImage(bytes, options);
    return decoded ? RgbaFromDecoded(*decoded) : std::nullopt;
}

}  // namespace

std::optional<std::vector<CursorImage>> ReadCursorData(std::span<const uint8_t> bytes) {
    if (bytes.size() > kMaxCursorFileBytes) {
        return std::nullopt;
    }
    if (HasId(bytes, 0, "RIFF") && HasId(bytes, 8, "ACON")) {
        return ReadAnimated(bytes);
    }
    // What starts as an icon or cursor directory is ours to read, never a decoder's.
    if (HasId(bytes, 0, std::string_view("\0\0", 2))) {
        std::optional<IconPicture> icon = ReadIconFile(bytes);
        if (!icon) {
            return std::nullopt;
        }
        return std::vector<CursorImage>{{std::move(icon->image), icon->hotX, icon->hotY, 0}};
    }
    std::optional<host::RgbaImage> image = ReadPlainPicture(bytes);
    if (!image) {
        return std::nullopt;
    }
    return std::vector<CursorImage>{{std::move(*image), 0, 0, 0}};
}

std::optional<std::vector<CursorImage>> LoadCursorFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxCursorFileBytes) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream in(file, std::ios::binary);
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()),
                        static_cast<std::streamsize>(bytes.size()))) {
        return std::nullopt;
    }
    return ReadCursorData(bytes);
}

}  // namespace talu::stage
