#include "interp/text_placement.h"

#include <algorithm>
#include <cstdint>

#include "host/encoding.h"
#include "interp/kinsoku.h"
#include "interp/latin_words.h"
#include "script/numbers.h"

namespace talu::interp {

DrawingContext::DrawingContext(stage::Surface& target, script::Colour colour) {
    if (target.IsLoaded()) {
        buffer_ =
            host::PixelBuffer16{target.Row(0), target.Pitch(), target.Width(), target.Height()};
        textColour_ = static_cast<uint16_t>(target.NativeColour(colour));
        shadowColour_ = static_cast<uint16_t>(target.NativeColour(0));
    }
}

namespace {

/// What wrapping at spaces makes of the character at the front of a run's rest.
enum class WrapStep {
    /// Place it as usual.
    kPlace,
    /// A space where the line broke: consumed, nothing drawn.
    kDropped,
    /// The line had to break here and the page is full: the run stops.
    kPageFull,
    /// Like kPageFull, the character (a space) consumed.
    kPageFullDropped,
};

// wordGoesOn: the character before this one in the run belongs to a word.
WrapStep WrapAtSpaces(TextLayout& layout, std::string_view text, std::size_t pos,
                      const WordWrap& wrap, bool wordGoesOn) {
    const std::string_view character = text.substr(pos, host::CharLength(text, pos));
    if (IsWordSpace(character)) {
        // Spaces right after a break start no line; the one meeting the margin breaks it.
        if (layout.wrapped != 0) {
            return WrapStep::kDropped;
        }
        const int cell = layout.font ? layout.font->Measure(character).height : layout.height;
        if (std::int64_t{layout.penX} + cell <= layout.window.right) {
            return WrapStep::kPlace;
        }
        const bool broke = layout.LineBreak();
        layout.wrapped = 1;
        return broke ? WrapStep::kDropped : WrapStep::kPageFullDropped;
    }
    if (wordGoesOn || !IsWordCharacter(character)) {
        return WrapStep::kPlace;
    }
    std::size_t length = 0;
    WordExtent word = MeasureWord(layout, text.substr(pos), &length);
    if (pos + length == text.size()) {
        AppendWord(word, wrap.continuation);
    }
    if (!MovesToNextLine(layout, layout.window.right, word)) {
        return WrapStep::kPlace;
    }
    return layout.LineBreak() ? WrapStep::kPlace : WrapStep::kPageFull;
}

}  // namespace

bool PlaceText(TextLayout& layout, stage::Surface& target, std::string_view text,
               std::string& remainder, std::vector<stage::Rect>* rectangles, const WordWrap* wrap) {
    remainder.clear();
    DrawingContext context(target, layout.colour);
    std::size_t pos = 0;
    bool wordGoesOn = false;
    while (pos < text.size()) {
        const std::size_t length = host::CharLength(text, pos);
        if (wrap != nullptr && wrap->on) {
            const WrapStep step = WrapAtSpaces(layout, text, pos, *wrap, wordGoesOn);
            wordGoesOn = IsWordCharacter(text.substr(pos, length));
            if (step == WrapStep::kDropped) {
                pos += length;
                continue;
            }
            if (step != WrapStep::kPlace) {
                remainder.assign(text.substr(step == WrapStep::kPageFull ? pos : pos + length));
                return false;
            }
        }
        stage::Rect rectangle;
        const bool placed = PlaceCharacter(layout, context, text.substr(pos, length), rectangle);
        // A hanging character on the last line was drawn although the page is full: it is
        // consumed, so the next page does not show it a second time.
        const bool drawn = placed || layout.wrapped != 0;
        if (drawn && rectangles != nullptr) {
            rectangles->push_back(rectangle);
        }
        if (!placed) {
            remainder.assign(text.substr(drawn ? pos + length : pos));
            return false;
        }
        pos += length;
    }
    return true;
}

bool PlaceCharacter(TextLayout& layout, DrawingContext& context, std::string_view character,
                    stage::Rect& rectangle) {
    const host::TextExtent extent =
        layout.font ? layout.font->Measure(character) : host::TextExtent{0, layout.height};
    layout.wrapped = 0;
    int x = layout.penX;
    int y = layout.penY;
    // The cell height, not the width, decides: a half-width character also moves to the next
    // line when less than a square cell is left.
    bool hanging = false;
    if (std::int64_t{x} + extent.height > layout.window.right) {
        if (IsKinsoku(character)) {
            hanging = true;
        } else {
            if (!layout.LineBreak()) {
                return false;
            }
            x = layout.penX;
            y = layout.penY;
        }
    }

    const int offset = layout.height / 10;  // trunc(height x 0.1)
    if (layout.font) {
        if (layout.shadow != 0) {
            layout.font->Draw(context.Buffer(), character, script::SaturatingAdd(x, offset),
                              script::SaturatingAdd(y, offset), context.ShadowColour());
        }
        layout.font->Draw(context.Buffer(), character, x, y, context.TextColour());
    }
    // The rectangle covers the shadow's box whether or not a shadow is drawn.
    const int right = script::SaturatingAdd(x, extent.width);
    const int bottom = script::SaturatingAdd(y, extent.height);
    rectangle = stage::Rect{std::min(x, script::SaturatingAdd(x, offset)),
                            std::min(y, script::SaturatingAdd(y, offset)),
                            std::max(right, script::SaturatingAdd(right, offset)),
                            std::max(bottom, script::SaturatingAdd(bottom, offset))};

    if (!hanging) {
        layout.penX = right;
        return true;
    }
    const bool broke = layout.LineBreak();
    layout.wrapped = 1;
    return broke;
}

int PositionValue(std::optional<std::string_view> value, int origin, int extent, int pen) {
    if (!value || value->empty()) {
        return pen;
    }
    const std::string_view text = *value;
    if (text.front() == '+' || text.front() == '-') {
        return script::SaturatingAdd(pen, script::ParseSignedDigits(text));
    }
    const int n = script::ParseDigits(text);
    if (text.back() == '%') {
        // The share is worked out in floating point and truncated, as books were laid out with.
        const double share = std::clamp(n, 0, 100) * 0.01 * (static_cast<double>(extent) - origin);
        const std::int64_t place = origin + static_cast<std::int64_t>(share);
        return script::ClampToInt(place);
    }
    return script::SaturatingAdd(origin, n);
}

}  // namespace talu::interp
