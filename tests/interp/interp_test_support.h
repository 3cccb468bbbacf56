#pragma once

// Helpers shared by the message window, text and script-state tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "interp/text_layout.h"
#include "script/tag_record.h"
#include "stage/surface.h"

namespace talu::interp {

/// Pens read as (x, y) in failure messages.
inline void PrintTo(const PenPoint& pen, std::ostream* out) {
    *out << "(" << pen.x << ", " << pen.y << ")";
}

}  // namespace talu::interp

namespace talu::test {

/// あ, the full-width character the layout tests type.
inline const std::string kA = "\x82\xA0";

/// A tag record: command (0 for none), attributes in order, and whether it is a closing tag.
inline script::TagRecord Tag(int command,
                             std::initializer_list<std::pair<int, std::string_view>> attributes,
                             bool closing = false) {
    script::TagRecord tag;
    if (command != 0) {
        tag.SetCommand(command);
    }
    for (const auto& [id, value] : attributes) {
        tag.AddAttribute(id, value);
    }
    if (closing) {
        tag.MarkClosing();
    }
    return tag;
}

/// The pen of layout as a point.
inline interp::PenPoint Pen(const interp::TextLayout& layout) {
    return {layout.penX, layout.penY};
}

/// Pixels of surface inside rect (clipped to the surface) that hold colour.
inline int CountColour(const stage::Surface& surface, const stage::Rect& rect, uint32_t colour) {
    const uint32_t value = surface.NativeColour(colour);
    int n = 0;
    for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, surface.Height()); ++y) {
        for (int x = std::max(rect.left, 0); x < std::min(rect.right, surface.Width()); ++x) {
            n += surface.Row(y)[x] == value;
        }
    }
    return n;
}

/// Both 16-bit pixel formats, for suites that run in each.
inline auto BothFormats() {
    return ::testing::Values(stage::PixelFormat::Rgb565(), stage::PixelFormat::Rgb555());
}

}  // namespace talu::test
