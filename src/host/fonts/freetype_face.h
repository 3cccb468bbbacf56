#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The only file that speaks FreeType. A face is sized the way the old Windows font API sized a
// font from a positive height (ascent plus descent of the cell) and renders 1-bit glyphs, so that
// text on the colour-keyed text layer never gets a fringe of in-between colours.
namespace talu::host {

/// Vertical metrics of a sized face in whole pixels, measured from the top of the cell.
struct CellMetrics {
    /// Ascent plus descent: the height every character of this size measures.
    int cellHeight = 0;
    /// Distance from the cell top to the baseline.
    int ascent = 0;
    /// Top row of the underline.
    int underlineTop = 0;
    /// Rows the underline covers (at least 1).
    int underlineThickness = 1;
    /// Top row of the strike-out line.
    int strikeOutTop = 0;
    /// Rows the strike-out line covers (at least 1).
    int strikeOutThickness = 1;
};

/// A 1-bit glyph image: one byte (0 or 1) per pixel, rows top to bottom. A face renders it
/// relative to the pen on the baseline; a font places it relative to its cell's top-left corner.
struct GlyphImage {
    /// Column of the image's left edge relative to the pen.
    int left = 0;
    /// Row of the image's top edge relative to the baseline (negative above it) or the cell top.
    int top = 0;
    /// Size of the image in pixels.
    int width = 0;
    int height = 0;
    /// Horizontal pen advance in whole pixels.
    int advance = 0;
    /// width x height bytes, 1 where the glyph covers the pixel.
    std::vector<uint8_t> bits;
};

/// One open font face with its own FreeType library handle, so faces on different threads never
/// share FreeType state. Not thread-safe itself: one thread uses a face at a time.
class FreeTypeFace {
  public:
    ~FreeTypeFace();
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    /// Opens face number index of a font file; nullptr when the file is missing or unreadable.
    static std::unique_ptr<FreeTypeFace> Open(const std::string& path, int index);

    /// Sizes the face from the old API's height: positive is the cell height (ascent plus
    /// descent), negative the character height (em size), 0 a default size. Heights beyond
    /// kMaxPixelSize are clamped. False when the face cannot take the size.
    bool SetHeight(int height);
    /// Metrics of the current size (zeros before SetHeight succeeded).
    const CellMetrics& Metrics() const { return metrics_; }
    /// True when the face itself is a bold design (no emboldening needed).
    bool IsBold() const;

    /// Renders the character with this Unicode code point in 1-bit, sheared to an oblique when
    /// oblique is set; a missing character renders the face's replacement glyph. nullopt when
    /// FreeType fails.
    std::optional<GlyphImage> Render(char32_t codePoint, bool oblique);

    /// Largest cell or em height accepted; larger requests are clamped to it.
    static constexpr int kMaxPixelSize = 1024;

  private:
    struct Handles;
    explicit FreeTypeFace(std::unique_ptr<Handles> handles);

    std::unique_ptr<Handles> handles_;
    CellMetrics metrics_;
};

}  // namespace talu::host
