#include "host/fonts/font.h"

#include <algorithm>

#include "host/encoding.h"
#include "host/fonts/face_names.h"

namespace talu::host {
namespace {

// Weight from which the old API drew a font bold.
constexpr int kBoldWeight = 600;
// Bytes of character images one font may keep; past it the cache starts afresh, so even a huge
// font size cannot grow memory without end.
constexpr std::size_t kCacheBudget = 16u << 20;

char32_t FirstCodePoint(std::string_view utf8) {
    if (utf8.empty()) {
        return 0xFFFD;
    }
    auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<uint8_t>(utf8[i])); };
    char32_t lead = byte(0);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (length > utf8.size()) {
        return 0xFFFD;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        code = (code << 6) | (byte(i) & 0x3F);
    }
    return code;
}

// One CP932 character as a cache key: single bytes keep their value, double-byte characters
// become lead * 256 + trail (always above 0xFF).
uint16_t CharacterKey(std::string_view character) {
    auto lead = static_cast<uint8_t>(character[0]);
    if (CharLength(character, 0) == 2) {
        return static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(character[1]));
    }
    return lead;
}

}  // namespace

std::unique_ptr<Font> Font::Create(const FontOptions& options) {
    const bool bold = options.weight >= kBoldWeight;
    std::optional<FontFileMatch> file = ResolveFace(options.face, bold);
    if (!file) {
        return nullptr;
    }
    std::unique_ptr<FreeTypeFace> face = FreeTypeFace::Open(file->path, file->index);
    if (!face || !face->SetHeight(options.height)) {
        return nullptr;
    }
    const bool embolden = bold && !face->IsBold();
    return std::unique_ptr<Font>(new Font(std::move(face), options, embolden));
}

Font::Font(std::unique_ptr<FreeTypeFace> face, const FontOptions& options, bool embolden)
    : face_(std::move(face)),
      embolden_(embolden),
      oblique_(options.italic),
      underline_(options.underline),
      strikeOut_(options.strikeOut) {}

TextExtent Font::Measure(std::string_view character) {
    if (character.empty()) {
        return TextExtent{0, Metrics().cellHeight};
    }
    return TextExtent{GlyphFor(character).advance, Metrics().cellHeight};
}

void Font::Draw(const PixelBuffer16& target, std::string_view character, int x, int y,
                uint16_t colour) {
    if (character.empty() || target.pixels == nullptr) {
        return;
    }
    const GlyphImage& glyph = GlyphFor(character);
    // Clip in 64 bits: pen positions near the int limits must not overflow.
    const std::int64_t left = std::int64_t{x} + glyph.left;
    const std::int64_t top = std::int64_t{y} + glyph.top;
    const std::int64_t x0 = std::max<std::int64_t>(left, 0);
    const std::int64_t y0 = std::max<std::int64_t>(top, 0);
    const std::int64_t x1 = std::min<std::int64_t>(left + glyph.width, target.width);
    const std::int64_t y1 = std::min<std::int64_t>(top + glyph.height, target.height);
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    const int columns = static_cast<int>(x1 - x0);
    for (std::int64_t row = y0; row < y1; ++row) {
        const uint8_t* src = glyph.bits.data() + static_cast<std::size_t>(row - top) * glyph.width +
                             static_cast<std::size_t>(x0 - left);
        uint16_t* dst = target.pixels + static_cast<std::size_t>(row) * target.pitch + x0;
        for (int i = 0; i < columns; ++i) {
            if (src[i] != 0) {
                dst[i] = colour;
            }
        }
    }
}

const GlyphImage& Font::GlyphFor(std::string_view character) {
    const uint16_t key = CharacterKey(character);
    if (auto it = cache_.find(key); it != cache_.end()) {
        return it->second;
    }
    std::string_view bytes = character.substr(0, CharLength(character, 0));
    std::optional<GlyphImage> image = face_->Render(FirstCodePoint(Cp932ToUtf8(bytes)), oblique_);
    GlyphImage glyph = Compose(image ? *image : GlyphImage{});
    if (cacheBytes_ + glyph.bits.size() > kCacheBudget) {
        cache_.clear();
        cacheBytes_ = 0;
    }
    cacheBytes_ += glyph.bits.size();
    return cache_.emplace(key, std::move(glyph)).first->second;
}

// Places the rendered image in its cell and adds what the old API drew around it: a second copy
// one pixel to the right for a bold weight the face lacks (one pixel more advance), and the
// underline and strike-out bands across the advance.
GlyphImage Font::Compose(const GlyphImage& image) const {
    const CellMetrics& m = Metrics();
    const int smear = embolden_ ? 1 : 0;
    const int imageTop = m.ascent + image.top;
    GlyphImage glyph;
    glyph.advance = image.advance + smear;

    int left = image.left;
    int right = image.width > 0 ? image.left + image.width + smear : image.left;
    int top = imageTop;
    int bottom = imageTop + image.height;
    if (image.width == 0 || image.height == 0) {
        left = right = 0;
        top = bottom = 0;
    }
    auto addBand = [&](int bandTop, int thickness) {
        if (glyph.advance <= 0) {
            return;
        }
        if (right <= left || bottom <= top) {
            left = 0, right = glyph.advance, top = bandTop, bottom = bandTop + thickness;
            return;
        }
        left = std::min(left, 0);
        right = std::max(right, glyph.advance);
        top = std::min(top, bandTop);
        bottom = std::max(bottom, bandTop + thickness);
    };
    if (underline_) {
        addBand(m.underlineTop, m.underlineThickness);
    }
    if (strikeOut_) {
        addBand(m.strikeOutTop, m.strikeOutThickness);
    }
    if (right <= left || bottom <= top) {
        return glyph;
    }
    glyph.left = left;
    glyph.top = top;
    glyph.width = right - left;
    glyph.height = bottom - top;
    glyph.bits.assign(static_cast<std::size_t>(glyph.width) * glyph.height, 0);
    auto set = [&](int x, int y) {
        glyph.bits[static_cast<std::size_t>(y - top) * glyph.width + (x - left)] = 1;
    };
    for (int row = 0; row < image.height; ++row) {
        for (int column = 0; column < image.width; ++column) {
            if (image.bits[static_cast<std::size_t>(row) * image.width + column] != 0) {
                set(image.left + column, imageTop + row);
                if (smear != 0) {
                    set(image.left + column + 1, imageTop + row);
                }
            }
        }
    }
    auto fillBand = [&](int bandTop, int thickness) {
        for (int y = bandTop; y < bandTop + thickness; ++y) {
            for (int x = 0; x < glyph.advance; ++x) {
                set(x, y);
            }
        }
    };
    if (underline_ && glyph.advance > 0) {
        fillBand(m.underlineTop, m.underlineThickness);
    }
    if (strikeOut_ && glyph.advance > 0) {
        fillBand(m.strikeOutTop, m.strikeOutThickness);
    }
    return glyph;
}

}  // namespace talu::host
