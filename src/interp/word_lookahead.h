#pragma once

#include "interp/font_stack.h"
#include "interp/latin_words.h"
#include "interp/text_layout.h"
#include "script/book.h"
#include "script/string_table.h"
#include "stage/pixel_format.h"

// A Latin word may go on after the text run that begins it: a colour, a style or a size changes
// inside it, or a variable's value follows. To move such a word whole to the next line, the
// typing measures the rest of it in the book's next items before drawing the run.
namespace talu::interp {

/// What the measuring reads; the referenced objects are the interpreter's.
struct LookaheadSources {
    /// The book, positioned after the run being typed; read only.
    script::Book& book;
    /// The script's variables, for braces and WRITE.
    const script::StringTable& variables;
    /// The visible layout as it is at the run's end (its font measures the word).
    TextLayout& layout;
    /// The FONT tags' saved fonts, and whether the base font is taken, as they are now.
    const FontStack& fonts;
    bool baseFontTaken = false;
    /// The text layer's format (FONT's colour needs one).
    stage::PixelFormat format;
};

/// The part of a word that goes on in the items after the current position: text runs and
/// WRITE values up to the first character that is not a word character, across style and FONT
/// tags (whose fonts it is measured in), comments, W, WAIT and SOUND. Any other tag ends the
/// word, and so does a FONT that moves the pen. Nothing in the book or the layout changes.
WordExtent MeasureContinuation(const LookaheadSources& sources);

}  // namespace talu::interp
