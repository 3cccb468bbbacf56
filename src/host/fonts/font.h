#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/fonts/freetype_face.h"

// A font as the old system created one: face name, cell height, weight, italic, underline and
// strike-out. Text is measured and drawn one CP932 character at a time, 1-bit, into any 16-bit
// pixel buffer, and every character's finished image is kept for the next time it is drawn.
namespace talu::host {

/// What a font is created from.
struct FontOptions {
    /// Face name as a book gives it (CP932), e.g. "ＭＳ 明朝".
    std::string face;
    /// Cell height in pixels (ascent plus descent); negative for an em height, 0 for a default.
    int height = 27;
    /// 0 normal; 600 and above bold.
    int weight = 0;
    /// Slanted to an oblique (the IPA fonts have no italic design).
    bool italic = false;
    /// A line under the baseline across every character's advance.
    bool underline = false;
    /// A line through the middle across every character's advance.
    bool strikeOut = false;
};

/// The size one character takes: its advance and the cell height.
struct TextExtent {
    /// Pen advance in pixels.
    int width = 0;
    /// Cell height in pixels.
    int height = 0;
};

/// A 16-bit pixel buffer the caller owns: rows of pitch pixels, width x height visible.
struct PixelBuffer16 {
    /// Pixel (0, 0); null for a buffer that takes no drawing.
    uint16_t* pixels = nullptr;
    /// Pixels from one row to the next.
    int pitch = 0;
    /// Visible size; drawing is clipped to it.
    int width = 0;
    int height = 0;
};

/// An open, sized font with its cache of rendered characters. Not thread-safe: one thread at a
/// time measures and draws with it.
class Font {
  public:
    /// Opens the installed font for options.face (see ResolveFace) at the requested size;
    /// nullptr when no usable font is installed.
    static std::unique_ptr<Font> Create(const FontOptions& options);

    /// Advance and cell height of the first character of text (one or two CP932 bytes); an
    /// empty text has width 0.
    TextExtent Measure(std::string_view character);
    /// Draws the first character of text with its top-left cell corner at (x, y) in the native
    /// colour, touching only covered pixels inside the buffer.
    void Draw(const PixelBuffer16& target, std::string_view character, int x, int y,
              uint16_t colour);

    /// The cell metrics of this font.
    const CellMetrics& Metrics() const { return face_->Metrics(); }

  private:
    Font(std::unique_ptr<FreeTypeFace> face, const FontOptions& options, bool embolden);
    // The character's image placed relative to its cell's top-left corner, from the cache.
    const GlyphImage& GlyphFor(std::string_view character);
    GlyphImage Compose(const GlyphImage& image) const;

    std::unique_ptr<FreeTypeFace> face_;
    bool embolden_;
    bool oblique_;
    bool underline_;
    bool strikeOut_;
    std::unordered_map<uint16_t, GlyphImage> cache_;
    std::size_t cacheBytes_ = 0;
};

}  // namespace talu::host
