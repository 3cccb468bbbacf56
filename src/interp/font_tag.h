#pragma once

#include "interp/font_stack.h"
#include "interp/text_layout.h"
#include "script/tag_record.h"
#include "stage/pixel_format.h"

// FONT and /FONT on a layout: the message window applies them to the visible layout and the
// link page; wrapping at spaces applies them to a copy to measure a word that goes on after one.
namespace talu::interp {

/// What a FONT tag changes; the referenced objects are the caller's.
struct FontTagTargets {
    /// The layout the text is typed with.
    TextLayout& layout;
    /// The link page's layout, which follows it; may be null.
    TextLayout* links = nullptr;
    /// Fonts saved by FONT for /FONT.
    FontStack& fonts;
    /// True once a FONT tag of the book has set the base font; the first one sets it.
    bool& baseFontTaken;
    /// The format of the layer the text is drawn on (see TextLayout::SetColour).
    const stage::PixelFormat& format;
};

/// FONT: saves the font, then takes face, colour, height and skip (USER restoring base values),
/// the base font on the first FONT, LEFT/TOP as a pen move and SIZE as a change of size.
/// /FONT: restores the saved font.
void ApplyFontTag(const script::TagRecord& tag, const FontTagTargets& targets);

}  // namespace talu::interp
