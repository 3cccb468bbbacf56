#include "interp/latin_words.h"

#include <algorithm>
#include <cstdint>

#include "host/encoding.h"
#include "interp/kinsoku.h"
#include "script/numbers.h"

namespace talu::interp {
namespace {

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

}  // namespace

bool IsWordCharacter(std::string_view character) {
    if (character.size() == 1) {
        return InRange(static_cast<unsigned char>(character[0]), 0x21, 0x7E);
    }
    if (character.size() != 2 || static_cast<unsigned char>(character[0]) != 0x82) {
        return false;
    }
    // Full-width digits, capitals and small letters.
    const auto trail = static_cast<unsigned char>(character[1]);
    return InRange(trail, 0x4F, 0x58) || InRange(trail, 0x60, 0x79) || InRange(trail, 0x81, 0x9A);
}

bool EndsInWord(std::string_view text) {
    // Lead bytes can only be told from the start.
    std::size_t last = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += host::CharLength(text, pos)) {
        last = pos;
    }
    return !text.empty() && IsWordCharacter(text.substr(last));
}

bool IsWordSpace(std::string_view character) {
    return character == " ";
}

WordExtent MeasureWord(TextLayout& layout, std::string_view text, std::size_t* length) {
    WordExtent word;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::string_view character = text.substr(pos, host::CharLength(text, pos));
        if (!IsWordCharacter(character)) {
            break;
        }
        const host::TextExtent extent =
            layout.font ? layout.font->Measure(character) : host::TextExtent{0, layout.height};
        if (!IsKinsoku(character)) {
            word.need = std::max(word.need, script::SaturatingAdd(word.width, extent.height));
        }
        word.width = script::SaturatingAdd(word.width, extent.width);
        pos += character.size();
    }
    if (length != nullptr) {
        *length = pos;
    }
    return word;
}

void AppendWord(WordExtent& word, const WordExtent& next) {
    if (next.need > 0) {
        word.need = std::max(word.need, script::SaturatingAdd(word.width, next.need));
    }
    word.width = script::SaturatingAdd(word.width, next.width);
}

bool MovesToNextLine(const TextLayout& layout, int limit, const WordExtent& word) {
    return std::int64_t{layout.penX} + word.need > limit &&
           std::int64_t{layout.LineStart()} + word.need <= limit;
}

}  // namespace talu::interp
