#include "stage/icon_image.h"

#include <algorithm>
#include <array>

#include "host/little_endian.h"

namespace talu::stage {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::array<uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// The layout of a bitmap entry, every size already checked against kMaxIconSide and the bytes.
struct DibLayout {
    int width = 0;
    int height = 0;
    int bits = 0;
    std::span<const uint8_t> palette;
    std::span<const uint8_t> pixels;
    std::size_t stride = 0;
    // Empty when the entry ends before its mask: every pixel is then shown.
    std::span<const uint8_t> mask;
    std::size_t maskStride = 0;
};

std::optional<DibLayout> DibLayoutOf(std::span<const uint8_t> b) {
    if (b.size() < kInfoHeaderSize) {
        return std::nullopt;
    }
    const uint32_t headerSize = host::ReadLe32(b, 0);
    const auto width = static_cast<int32_t>(host::ReadLe32(b, 4));
    // The stored height counts the picture and its mask.
    const auto doubled = static_cast<int32_t>(host::ReadLe32(b, 8));
    const auto bits = static_cast<int>(host::ReadLe16(b, 14));
    const uint32_t compression = host::ReadLe32(b, 16);
    const uint32_t used = host::ReadLe32(b, 32);
    if (headerSize < kInfoHeaderSize || headerSize > b.size() || compression != 0 || width < 1 ||
        width > kMaxIconSide || doubled < 2 || doubled > 2 * kMaxIconSide || doubled % 2 != 0) {
        return std::nullopt;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        return std::nullopt;
    }
    const std::size_t maxColours = bits <= 8 ? std::size_t{1} << bits : 0;
    const std::size_t colours = used == 0 || bits > 8 ? maxColours : used;
    if (colours > maxColours) {
        return std::nullopt;
    }
    DibLayout d;
    d.width = width;
    d.height = doubled / 2;
    d.bits = bits;
    d.stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    d.maskStride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    const std::size_t pixelsAt = headerSize + colours * 4;
    const std::size_t pixelBytes = d.stride * d.height;
    if (pixelsAt > b.size() || pixelBytes > b.size() - pixelsAt) {
        return std::nullopt;
    }
    d.palette = b.subspan(headerSize, colours * 4);
    d.pixels = b.subspan(pixelsAt, pixelBytes);
    const std::size_t maskAt = pixelsAt + pixelBytes;
    if (d.maskStride * d.height <= b.size() - maskAt) {
        d.mask = b.subspan(maskAt, d.maskStride * d.height);
    }
    return d;
}

// Red, green, blue and alpha of pixel x of a stored row.
std::array<uint8_t, 4> PixelAt(const DibLayout& d, std::span<const uint8_t> row, int x) {
    if (d.bits >= 24) {
        const std::size_t at = static_cast<std::size_t>(x) * (d.bits / 8);
        const uint8_t alpha = d.bits == 32 ? row[at + 3] : 255;
        return {row[at + 2], row[at + 1], row[at], alpha};
    }
    const std::size_t bit = static_cast<std::size_t>(x) * d.bits;
    const unsigned shift = 8 - d.bits - bit % 8;
    const std::size_t index = (row[bit / 8] >> shift) & ((1u << d.bits) - 1);
    if (index * 4 + 3 >= d.palette.size()) {
        return {0, 0, 0, 255};  // an index past a short palette shows black, as Windows did
    }
    return {d.palette[index * 4 + 2], d.palette[index * 4 + 1], d.palette[index * 4], 255};
}

host::RgbaImage DecodeDib(const DibLayout& d) {
    host::RgbaImage image{d.width, d.height, {}};
    image.pixels.resize(static_cast<std::size_t>(d.width) * d.height * 4);
    bool anyAlpha = false;
    for (int y = 0; y < d.height; ++y) {
        // Rows are stored bottom-up.
        const auto row = d.pixels.subspan(static_cast<std::size_t>(d.height - 1 - y) * d.stride);
        uint8_t* out = image.pixels.data() + static_cast<std::size_t>(y) * d.width * 4;
        for (int x = 0; x < d.width; ++x) {
            const auto pixel = PixelAt(d, row, x);
            anyAlpha = anyAlpha || (d.bits == 32 && pixel[3] != 0);
            std::copy(pixel.begin(), pixel.end(), out + static_cast<std::size_t>(x) * 4);
        }
    }
    // The mask decides where a picture has no alpha of its own.
    const bool useMask = !d.mask.empty() && (d.bits != 32 || !anyAlpha);
    for (int y = 0; y < d.height && useMask; ++y) {
        const auto row = d.mask.subspan(static_cast<std::size_t>(d.height - 1 - y) * d.maskStride);
        uint8_t* out = image.pixels.data() + static_cast<std::size_t>(y) * d.width * 4;
        for (int x = 0; x < d.width; ++x) {
            const bool hidden = (row[x / 8] >> (7 - x % 8)) & 1;
            out[static_cast<std::size_t>(x) * 4 + 3] = hidden ? 0 : 255;
        }
    }
    return image;
}

std::optional<host::RgbaImage> ReadPngEntry(std::span<const uint8_t> bytes) {
    host::DecodeOptions options;
    options.keepAlpha = true;
    options.maxSide = kMaxIconSide;
    const std::optional<host::DecodedImage> decoded = host::DecodeImage(bytes, options);
    if (!decoded) {
        return std::nullopt;
    }
    return RgbaFromDecoded(*decoded);
}

}  // namespace

std::optional<host::RgbaImage> RgbaFromDecoded(const host::DecodedImage& decoded) {
    const int step = decoded.bitsPerPixel / 8;
    if ((step != 3 && step != 4) || decoded.width < 1 || decoded.height < 1 ||
        static_cast<std::size_t>(decoded.stride) * decoded.height > decoded.rows.size() ||
        static_cast<std::size_t>(decoded.width) * step > static_cast<std::size_t>(decoded.stride)) {
        return std::nullopt;
    }
    host::RgbaImage image{decoded.width, decoded.height, {}};
    image.pixels.reserve(static_cast<std::size_t>(decoded.width) * decoded.height * 4);
    for (int y = 0; y < decoded.height; ++y) {
        const uint8_t* in =
            decoded.rows.data() + static_cast<std::size_t>(decoded.height - 1 - y) * decoded.stride;
        for (int x = 0; x < decoded.width; ++x, in += step) {
            image.pixels.insert(image.pixels.end(),
                                {in[2], in[1], in[0], step == 4 ? in[3] : uint8_t{255}});
        }
    }
    return image;
}

std::optional<IconPicture> ReadIconFile(std::span<const uint8_t> bytes) {
    if (bytes.size() < kDirectorySize + kEntrySize) {
        return std::nullopt;
    }
    const uint32_t type = host::ReadLe16(bytes, 2);
    if (host::ReadLe16(bytes, 0) != 0 || (type != 1 && type != 2) || host::ReadLe16(bytes, 4) == 0) {
        return std::nullopt;
    }
    const uint32_t offset = host::ReadLe32(bytes, kDirectorySize + 12);
    if (offset >= bytes.size()) {
        return std::nullopt;
    }
    // Writers often get the entry's length wrong; the bytes up to the file's end are what counts.
    const auto entry = bytes.subspan(
        offset, std::min<std::size_t>(host::ReadLe32(bytes, kDirectorySize + 8), bytes.size() - offset));
    const bool png = entry.size() >= kPngSignature.size() &&
                     std::equal(kPngSignature.begin(), kPngSignature.end(), entry.begin());
    std::optional<host::RgbaImage> image;
    if (png) {
        image = ReadPngEntry(entry);
    } else if (const auto layout = DibLayoutOf(entry)) {
        image = DecodeDib(*layout);
    }
    if (!image) {
        return std::nullopt;
    }
    IconPicture picture{std::move(*image)};
    if (type == 2) {
        // A hot spot off the picture is brought onto its edge.
        picture.hotX = std::min<int>(host::ReadLe16(bytes, kDirectorySize + 4), picture.image.width - 1);
        picture.hotY = std::min<int>(host::ReadLe16(bytes, kDirectorySize + 6), picture.image.height - 1);
    }
    return picture;
}

}  // namespace talu::stage
