#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/fonts/font.h"
#include "interp/latin_words.h"
#include "interp/text_layout.h"
#include "script/vocabularies.h"
#include "stage/rect.h"
#include "stage/surface.h"

// Lays a run of text out on a TextLayout character by character (line breaks, the right margin,
// characters that may not begin a line, indents) and draws each with its shadow on a surface.
namespace talu::interp {

/// A surface's pixels ready for drawing text, with the native values of the text colour and of
/// black (the shadow). An unloaded surface gives a context that draws nothing, so the layout
/// still advances exactly as it would on a real surface.
class DrawingContext {
  public:
    /// Draws on target (which must outlive the context and keep its buffer) in colour.
    DrawingContext(stage::Surface& target, script::Colour colour);
    DrawingContext(const DrawingContext&) = delete;
    DrawingContext& operator=(const DrawingContext&) = delete;

    /// The surface's pixels (null pixels when the surface is unloaded).
    const host::PixelBuffer16& Buffer() const { return buffer_; }
    /// Native value of the text colour.
    uint16_t TextColour() const { return textColour_; }
    /// Native value of black.
    uint16_t ShadowColour() const { return shadowColour_; }

  private:
    host::PixelBuffer16 buffer_;
    uint16_t textColour_ = 0;
    uint16_t shadowColour_ = 0;
};

/// Lays out and draws text on target in the layout's colour. True when all of it fitted; false
/// when the page filled, remainder then holding the rest from the first character not drawn.
/// When rectangles is given, one rectangle per drawn character is appended to it. With wrap on,
/// Latin words move whole to the next line and the spaces where lines break are not drawn.
bool PlaceText(TextLayout& layout, stage::Surface& target, std::string_view text,
               std::string& remainder, std::vector<stage::Rect>* rectangles,
               const WordWrap* wrap = nullptr);

/// Places one CP932 character at the pen, breaking the line first when less than a square cell
/// is left, or after it when it may not begin a line (it then hangs past the margin). Draws the
/// shadow and the character, sets rectangle to the box they cover and advances the pen. False
/// when the page is full: either nothing was drawn, or (with the layout's wrapped flag set) a
/// hanging character was drawn on the last line.
bool PlaceCharacter(TextLayout& layout, DrawingContext& context, std::string_view character,
                    stage::Rect& rectangle);

/// One POSITION coordinate from its attribute value: absent or empty keeps pen; "+n" and "-n"
/// move from pen; "n%" is origin plus n percent (n clamped to 0..100) of extent - origin; any
/// other text is origin + n. n is the value's leading decimal digits; results saturate.
int PositionValue(std::optional<std::string_view> value, int origin, int extent, int pen);

}  // namespace talu::interp
