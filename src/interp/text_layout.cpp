#include "interp/text_layout.h"

#include <algorithm>
#include <cstdint>

#include "interp/saturating.h"

namespace talu::interp {

TextLayout::TextLayout() {
    RecreateFont();
}

void TextLayout::RecreateFont() {
    host::FontOptions options;
    options.face = face;
    options.height = height;
    options.weight = weight;
    options.italic = italic != 0;
    options.underline = underline != 0;
    options.strikeOut = strikeout != 0;
    font.reset();  // the old font goes first, as the old system deleted it before creating
    font = host::Font::Create(options);
}

int TextLayout::LineStart() const {
    if (indentDepth > 0 && indentDepth < kIndentLevels) {
        return indentX[static_cast<std::size_t>(indentDepth)];
    }
    return window.left;
}

bool TextLayout::LineBreak() {
    if (wrapped != 0) {
        return true;
    }
    penX = LineStart();
    if (std::int64_t{penY} + skip + height > window.bottom) {
        return false;
    }
    penY = SaturatingAdd(penY, skip);
    return true;
}

bool TextLayout::MovePen(int x, int y) {
    const int newX = x == kNotGiven ? penX : x;
    const int newY = y == kNotGiven ? penY : y;
    if (newX < window.left || newX >= window.right || newY < window.top || newY >= window.bottom) {
        return false;
    }
    penX = newX;
    penY = newY;
    return true;
}

PenPoint TextLayout::NextCharacterPlace() const {
    if (std::int64_t{penX} + height <= window.right) {
        return PenPoint{penX, penY};
    }
    PenPoint next{window.left, penY};
    if (std::int64_t{penY} + skip < window.bottom) {
        next.y = SaturatingAdd(penY, skip);
    }
    return next;
}

void TextLayout::OpenIndent() {
    if (indentDepth + 1 < kIndentLevels) {
        ++indentDepth;
        indentX[static_cast<std::size_t>(indentDepth)] = penX;
    }
}

void TextLayout::CloseIndent() {
    if (indentDepth > 0) {
        --indentDepth;
    }
}

void TextLayout::SavePosition() {
    std::shift_right(positions.begin(), positions.end(), 1);
    positions.front() = PenPoint{penX, penY};
}

void TextLayout::LoadPosition() {
    if (positions.front()) {
        MovePen(positions.front()->x, positions.front()->y);
    }
    std::shift_left(positions.begin(), positions.end(), 1);
    positions.back().reset();
}

}  // namespace talu::interp
