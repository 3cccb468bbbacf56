#include "stage/bmp_reader.h"

#include <array>
#include <bit>
#include <cstring>
#include <new>

#include "host/little_endian.h"
#include "stage/bmp_rle.h"

namespace talu::stage {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitFields = 3;
constexpr uint32_t kBiAlphaBitFields = 6;
constexpr std::size_t kFileHeaderSize = 14;
// Pixels per metre; 1,000,000 is 25,400 dots per inch, far past any scanner.
constexpr int64_t kMaxDensity = 1'000'000;

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits by rounding.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    static Channel FromMask(uint32_t mask) {
        Channel c;
        c.mask = mask;
        c.shift = mask == 0 ? 0 : std::countr_zero(mask);
        c.max = mask >> c.shift;
        return c;
    }
    bool Valid() const { return max != 0 && (max & (max + 1)) == 0; }
    uint8_t Scale(uint64_t field) const {
        return static_cast<uint8_t>((field * 255 + max / 2) / max);
    }
};

// A channel's 8-bit values by field value, so that pixel loops need no division; channels
// wider than 16 bits divide instead of holding a huge table.
class ChannelTable {
  public:
    explicit ChannelTable(uint32_t mask) : channel_(Channel::FromMask(mask)) {
        if (channel_.max <= 0xFFFF) {
            values_.resize(channel_.max + 1);
            for (uint32_t v = 0; v <= channel_.max; ++v) {
                values_[v] = channel_.Scale(v);
            }
        }
    }
    uint8_t operator()(uint32_t pixel) const {
        const uint32_t field = (pixel & channel_.mask) >> channel_.shift;
        return values_.empty() ? channel_.Scale(field) : values_[field];
    }

  private:
    Channel channel_;
    std::vector<uint8_t> values_;
};

// What the headers say, with every field the header is too short to hold left at zero.
struct Header {
    int64_t width = 0;
    int64_t height = 0;
    uint32_t planes = 0;
    uint32_t bitCount = 0;
    uint32_t compression = kBiRgb;
    uint32_t sizeImage = 0;
    int64_t xDensity = 0;
    int64_t yDensity = 0;
    std::array<uint32_t, 3> masks{};
    std::size_t paletteStart = 0;
    uint64_t paletteEntries = 0;
    int entrySize = 4;
    uint64_t headerEnd = 0;
};

bool KnownHeaderSize(uint32_t size) {
    // 12: OS/2 1.x; 16-64: OS/2 2.x and Windows 40, 52, 56; 108 and 124: Windows 4 and 5.
    return size == 12 || (size >= 16 && size <= 64) || size == 108 || size == 124;
}

bool WindowsHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

std::array<uint32_t, 3> DefaultMasks(uint32_t bitCount) {
    if (bitCount == 16) {
        return {0x7C00, 0x03E0, 0x001F};
    }
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

std::optional<Header> ParseHeader(std::span<const uint8_t> b) {
    if (b.size() < kFileHeaderSize + 4) {
        return std::nullopt;
    }
    const uint32_t infoSize = host::ReadLe32(b, 14);
    if (!KnownHeaderSize(infoSize) || kFileHeaderSize + infoSize > b.size()) {
        return std::nullopt;
    }
    Header h;
    const std::size_t i = kFileHeaderSize;
    if (infoSize == 12) {
        h.width = host::ReadLe16(b, i + 4);
        h.height = host::ReadLe16(b, i + 6);
        h.planes = host::ReadLe16(b, i + 8);
        h.bitCount = host::ReadLe16(b, i + 10);
        h.entrySize = 3;
    } else {
        h.width = static_cast<int32_t>(host::ReadLe32(b, i + 4));
        h.height = static_cast<int32_t>(host::ReadLe32(b, i + 8));
        h.planes = host::ReadLe16(b, i + 12);
        h.bitCount = host::ReadLe16(b, i + 14);
        auto field = [&](std::size_t offset) {
            return infoSize >= offset + 4 ? host::ReadLe32(b, i + offset) : 0;
        };
        h.compression = field(16);
        h.sizeImage = field(20);
        h.xDensity = static_cast<int32_t>(field(24));
        h.yDensity = static_cast<int32_t>(field(28));
        h.paletteEntries = field(32);
    }
    // OS/2 2.x gives 3 and 4 other meanings (Huffman, RLE24) that we do not read.
    const bool bitFields = h.compression == kBiBitFields || h.compression == kBiAlphaBitFields;
    if (bitFields && !WindowsHeaderSize(infoSize)) {
        return std::nullopt;
    }
    std::size_t maskBytes = 0;
    h.masks = DefaultMasks(h.bitCount);
    if (bitFields) {
        // Version 1 headers keep the masks behind them; later versions hold them inside.
        maskBytes = infoSize == 40 ? (h.compression == kBiBitFields ? 12 : 16) : 0;
        const std::size_t at = i + 40;
        if (at + 12 > b.size()) {
            return std::nullopt;
        }
        h.masks = {host::ReadLe32(b, at), host::ReadLe32(b, at + 4), host::ReadLe32(b, at + 8)};
    }
    if (h.bitCount <= 8 && (h.paletteEntries == 0 || infoSize == 12)) {
        h.paletteEntries = uint64_t{1} << h.bitCount;
    }
    h.paletteStart = i + infoSize + maskBytes;
    h.headerEnd = h.paletteStart + h.paletteEntries * static_cast<uint64_t>(h.entrySize);
    if (h.headerEnd > b.size()) {
        return std::nullopt;
    }
    return h;
}

bool ValidMasks(const Header& h) {
    const uint32_t fits = h.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    uint32_t seen = 0;
    for (uint32_t mask : h.masks) {
        if (!Channel::FromMask(mask).Valid() || (mask & ~fits) != 0 || (mask & seen) != 0) {
            return false;
        }
        seen |= mask;
    }
    return true;
}

bool ValidHeader(const Header& h) {
    const int64_t rows = h.height < 0 ? -h.height : h.height;
    if (h.planes != 1 || h.width <= 0 || h.width > kMaxBmpSide || rows == 0 || rows > kMaxBmpSide) {
        return false;
    }
    if (h.xDensity > kMaxDensity || h.xDensity < -kMaxDensity || h.yDensity > kMaxDensity ||
        h.yDensity < -kMaxDensity) {
        return false;
    }
    switch (h.compression) {
        case kBiRgb:
            return h.bitCount == 1 || h.bitCount == 2 || h.bitCount == 4 || h.bitCount == 8 ||
                   h.bitCount == 16 || h.bitCount == 24 || h.bitCount == 32;
        case kBiRle8:
            return h.bitCount == 8 && h.height > 0;
        case kBiRle4:
            return h.bitCount == 4 && h.height > 0;
        case kBiBitFields:
        case kBiAlphaBitFields:
            return (h.bitCount == 16 || h.bitCount == 32) && ValidMasks(h);
        default:
            return false;
    }
}

std::vector<uint8_t> ReadPalette(std::span<const uint8_t> b, const Header& h) {
    const uint64_t used = std::min<uint64_t>(h.paletteEntries, 256);
    std::vector<uint8_t> palette(used * 4, 0);
    for (uint64_t n = 0; n < used; ++n) {
        std::memcpy(&palette[n * 4], &b[h.paletteStart + n * h.entrySize], 3);
    }
    return palette;
}

// Uncompressed rows of 1, 2, 4 or 8 bits become one index byte per pixel.
void UnpackIndices(std::span<const uint8_t> data, const Header& h, Bitmap& out) {
    const auto bits = static_cast<int>(h.bitCount);
    const auto stride = static_cast<std::size_t>((h.width * bits + 31) / 32 * 4);
    const int pixelsPerByte = 8 / bits;
    const auto mask = static_cast<uint8_t>((1u << bits) - 1);
    for (int y = 0; y < out.height; ++y) {
        const int stored = h.height < 0 ? out.height - 1 - y : y;
        const uint8_t* in = data.data() + stored * stride;
        uint8_t* row = out.bits.data() + static_cast<std::size_t>(y) * out.Stride();
        if (bits == 8) {
            std::memcpy(row, in, static_cast<std::size_t>(out.width));
            continue;
        }
        for (int x = 0; x < out.width; ++x) {
            const int shift = 8 - bits - (x % pixelsPerByte) * bits;
            row[x] = static_cast<uint8_t>(in[x / pixelsPerByte] >> shift) & mask;
        }
    }
}

// Rows of 16, 24 or 32 bits become 24-bit blue, green, red.
void UnpackColours(std::span<const uint8_t> data, const Header& h, Bitmap& out) {
    const auto bytesPerPixel = static_cast<std::size_t>(h.bitCount / 8);
    const auto stride = static_cast<std::size_t>((h.width * h.bitCount + 31) / 32 * 4);
    const ChannelTable red(h.masks[0]);
    const ChannelTable green(h.masks[1]);
    const ChannelTable blue(h.masks[2]);
    for (int y = 0; y < out.height; ++y) {
        const int stored = h.height < 0 ? out.height - 1 - y : y;
        const uint8_t* in = data.data() + stored * stride;
        uint8_t* row = out.bits.data() + static_cast<std::size_t>(y) * out.Stride();
        if (h.bitCount == 24) {
            std::memcpy(row, in, static_cast<std::size_t>(out.width) * 3);
            continue;
        }
        for (int x = 0; x < out.width; ++x, in += bytesPerPixel) {
            const uint32_t pixel = bytesPerPixel == 2 ? host::ReadLe16({in, 2}, 0) : host::ReadLe32({in, 4}, 0);
            row[x * 3] = blue(pixel);
            row[x * 3 + 1] = green(pixel);
            row[x * 3 + 2] = red(pixel);
        }
    }
}

bool IndicesInPalette(const Bitmap& bitmap) {
    const int count = bitmap.PaletteCount();
    if (count >= 256) {
        return true;
    }
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = bitmap.bits.data() + static_cast<std::size_t>(y) * bitmap.Stride();
        for (int x = 0; x < bitmap.width; ++x) {
            if (row[x] >= count) {
                return false;
            }
        }
    }
    return true;
}

std::optional<Bitmap> Decode(std::span<const uint8_t> b) {
    std::optional<Header> h = ParseHeader(b);
    if (!h || !ValidHeader(*h) || host::ReadLe32(b, 2) > b.size()) {
        return std::nullopt;
    }
    // The pixel-data offset is honoured when it points into the file behind the headers.
    const uint32_t offset = host::ReadLe32(b, 10);
    const std::size_t start = offset >= h->headerEnd && offset < b.size() ? offset : h->headerEnd;
    const std::span<const uint8_t> data = b.subspan(start);
    if (h->sizeImage > data.size()) {
        return std::nullopt;
    }
    Bitmap out;
    out.width = static_cast<int>(h->width);
    out.height = static_cast<int>(h->height < 0 ? -h->height : h->height);
    out.bitCount = h->bitCount <= 8 ? 8 : 24;
    if (h->bitCount <= 8) {
        out.palette = ReadPalette(b, *h);
    }
    const uint64_t pixels = static_cast<uint64_t>(out.width) * out.height;
    if (h->compression == kBiRle8 || h->compression == kBiRle4) {
        // Two bytes of run cover at most 255 pixels; a header claiming more lies about its data.
        if (pixels > data.size() * uint64_t{255}) {
            return std::nullopt;
        }
        out.bits.assign(static_cast<std::size_t>(out.Stride()) * out.height, 0);
        if (!DecodeRle(data, h->compression == kBiRle4 ? 4 : 8, out)) {
            return std::nullopt;
        }
    } else {
        const uint64_t stride = (static_cast<uint64_t>(h->width) * h->bitCount + 31) / 32 * 4;
        if (stride * out.height > data.size()) {
            return std::nullopt;
        }
        out.bits.assign(static_cast<std::size_t>(out.Stride()) * out.height, 0);
        if (h->bitCount <= 8) {
            UnpackIndices(data, *h, out);
        } else {
            UnpackColours(data, *h, out);
        }
    }
    if (out.bitCount == 8 && !IndicesInPalette(out)) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

BmpResult ReadBmp(std::span<const uint8_t> bytes) {
    BmpResult result;
    if (bytes.size() < kFileHeaderSize) {
        result.failure = BmpFailure::kShortFile;
        return result;
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        return result;
    }
    // A picture that does not fit in memory is one the player cannot open, not the end of it.
    try {
        result.bitmap = Decode(bytes);
    } catch (const std::bad_alloc&) {
        result.bitmap.reset();
    }
    return result;
}

}  // namespace talu::stage
