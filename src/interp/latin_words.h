#pragma once

#include <string_view>

#include "interp/text_layout.h"

// Wrapping text written in Latin letters at spaces, for books translated into languages that
// are: a word that would break inside at the margin starts the next line instead, and the space
// where a line broke is not drawn at the next line's start. Japanese text knows no such words.
namespace talu::interp {

/// True for one CP932 character that belongs to a Latin word: a printable ASCII character other
/// than the space, or a full-width letter or digit.
bool IsWordCharacter(std::string_view character);
/// True when the last CP932 character of text is a word character.
bool EndsInWord(std::string_view text);
/// True for the ASCII space, the only place where a Latin line is broken.
bool IsWordSpace(std::string_view character);

/// The room a word (or the part of it seen so far) takes on a line.
struct WordExtent {
    /// Pen advance over the whole word.
    int width = 0;
    /// From the word's start to the far side of the cell of its last character that is tested
    /// against the margin (x + cell height, as the line breaking tests); characters that may not
    /// begin a line hang past the margin instead and do not count. 0 for an empty word.
    int need = 0;
};

/// What a run's placement needs to wrap at spaces.
struct WordWrap {
    /// Off keeps the book's own line breaks (every character may start a line).
    bool on = false;
    /// The part of the run's last word that follows the run in the book (after a colour or
    /// size change, say), measured in its own font; empty when the run ends the word.
    WordExtent continuation;
};

/// Measures the word characters at the front of text in layout's font; *length (when given)
/// receives the bytes they take.
WordExtent MeasureWord(TextLayout& layout, std::string_view text, std::size_t* length = nullptr);
/// Appends next (measured from its own start) to word.
void AppendWord(WordExtent& word, const WordExtent& next);
/// True when the word, started at the pen, would break inside at limit (the x no cell may pass)
/// but fits whole on a line of its own: the line then breaks before it.
bool MovesToNextLine(const TextLayout& layout, int limit, const WordExtent& word);

}  // namespace talu::interp
