#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "interp/text_layout.h"
#include "script/vocabularies.h"
#include "stage/pixel_format.h"

// FONT saves the font it replaces and /FONT brings it back. The stack is shallow on purpose:
// books that never close their FONT tags lose the oldest saved fonts instead of growing it.
namespace talu::interp {

/// Saved fonts a stack holds at most.
inline constexpr std::size_t kFontStackDepth = 15;

/// One saved font: what /FONT restores.
struct FontEntry {
    std::string face;
    int height = 0;
    int skip = 0;
    script::Colour colour = 0;
};

/// The FONT tag's stack of saved fonts; owned by whoever owns the visible layout.
class FontStack {
  public:
    /// Saves the layout's face, height, skip and colour, dropping the oldest entry when full.
    void Push(const TextLayout& layout);
    /// Restores the newest entry into layout (SetFont, then SetColour for a layer in
    /// layerFormat) and returns it; nothing when the stack is empty.
    std::optional<FontEntry> Pop(TextLayout& layout, const stage::PixelFormat& layerFormat);
    /// Forgets every entry (a new book starts with an empty stack).
    void Clear() { entries_.clear(); }
    /// Number of saved fonts.
    std::size_t Size() const { return entries_.size(); }

  private:
    std::vector<FontEntry> entries_;  // oldest first
};

}  // namespace talu::interp
