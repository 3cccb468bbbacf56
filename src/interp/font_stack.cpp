#include "interp/font_stack.h"

#include <utility>

namespace talu::interp {

void FontStack::Push(const TextLayout& layout) {
    if (entries_.size() >= kFontStackDepth) {
        entries_.erase(entries_.begin());
    }
    entries_.push_back(FontEntry{layout.face, layout.height, layout.skip, layout.colour});
}

std::optional<FontEntry> FontStack::Pop(TextLayout& layout, const stage::PixelFormat& layerFormat) {
    if (entries_.empty()) {
        return std::nullopt;
    }
    FontEntry top = std::move(entries_.back());
    entries_.pop_back();
    layout.SetFont(top.face, top.height, top.skip);
    layout.SetColour(top.colour, layerFormat);
    return top;
}

}  // namespace talu::interp
