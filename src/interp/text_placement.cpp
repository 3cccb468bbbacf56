#include "interp/text_placement.h"

#include <algorithm>
#include <cstdint>

#include "host/encoding.h"
#include "interp/kinsoku.h"
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

bool PlaceText(TextLayout& layout, stage::Surface& target, std::string_view text,
               std::string& remainder, std::vector<stage::Rect>* rectangles) {
    remainder.clear();
    DrawingContext context(target, layout.colour);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t length = host::CharLength(text, pos);
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
