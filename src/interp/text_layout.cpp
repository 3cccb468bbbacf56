#include "interp/text_layout.h"

#include <algorithm>
#include <cstdint>

#include "script/keywords.h"
#include "script/numbers.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;

constexpr int kBoldWeight = 700;

std::string FontLine(std::string_view face, int height, int skip, script::Colour colour) {
    return "<FONT SRC=\"" + std::string(face) + "\" HEIGHT=\"" + std::to_string(height) +
           "\" SKIP=\"" + std::to_string(skip) + "\" COLOR=\"" + script::ColourText(colour) + "\">";
}

}  // namespace

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
    penY = script::SaturatingAdd(penY, skip);
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

void TextLayout::SetWindow(int left, int top, int width, int height) {
    const int w = width == kNotGiven ? kDefaultWindowWidth : width;
    const int h = height == kNotGiven ? kDefaultWindowHeight : height;
    window = stage::Rect{left, top, script::SaturatingAdd(left, w), script::SaturatingAdd(top, h)};
    penX = left;
    penY = top;
}

void TextLayout::SetFont(std::string_view newFace, int newHeight, int newSkip) {
    if (!newFace.empty()) {
        face.assign(newFace);
    }
    if (newHeight != kNotGiven) {
        height = newHeight;
    }
    if (newSkip != kNotGiven) {
        skip = newSkip;
    }
    RecreateFont();
}

void TextLayout::SetColour(script::Colour newColour, const stage::PixelFormat& layerFormat) {
    // Compare pixel values, not colours: many colours land on the key's pixel once the low bits
    // are dropped, and any of them would punch a hole into the text.
    const bool isKey = layerFormat.FromColour(newColour) == layerFormat.FromColour(kTextKey);
    colour = isKey ? kKeyStandIn : newColour;
}

void TextLayout::SetBase(std::string_view newFace, int newHeight, int newSkip,
                         std::optional<script::Colour> newColour) {
    if (!newFace.empty()) {
        baseFace.assign(newFace);
    }
    if (newHeight != kNotGiven) {
        baseHeight = newHeight;
    }
    if (newSkip != kNotGiven) {
        baseSkip = newSkip;
    }
    if (newColour) {
        baseColour = *newColour;
    }
}

void TextLayout::RestoreFromBase(int attributeId) {
    switch (attributeId) {
        case kw::kHeight:
            height = baseHeight;
            break;
        case kw::kSkip:
            skip = baseSkip;
            break;
        case kw::kSrc:
            face = baseFace;
            break;
        case kw::kColor:
            colour = baseColour;
            break;
        default:
            break;
    }
}

void TextLayout::AdjustSize(std::string_view text) {
    if (text.empty()) {
        return;
    }
    if (text.front() == '+' || text.front() == '-') {
        const int n = script::ParseSignedDigits(text);
        height = script::SaturatingAdd(height, n);
        skip = script::SaturatingAdd(skip, n);
    }
    RecreateFont();
}

void TextLayout::SetStyle(int tagId, bool on) {
    switch (tagId) {
        case kw::kB:
            weight = on ? kBoldWeight : 0;
            break;
        case kw::kI:
            italic = on ? 1 : 0;
            break;
        case kw::kU:
            underline = on ? 1 : 0;
            break;
        case kw::kS:
            strikeout = on ? 1 : 0;
            break;
        case kw::kShadow:
            shadow = on ? 1 : 0;
            break;
        default:
            break;
    }
}

void TextLayout::WriteState(std::vector<std::string>& lines) const {
    std::string screen = "<SCREEN LEFT=\"" + std::to_string(window.left) + "\" TOP=\"" +
                         std::to_string(window.top) + "\" WIDTH=\"" +
                         std::to_string(std::int64_t{window.right} - window.left) + "\" HEIGHT=\"" +
                         std::to_string(std::int64_t{window.bottom} - window.top) + "\" ";
    if (shutMode == kw::kNone) {
        screen += " SHUT=\"NONE\" ";
    }
    screen += " >";
    lines.push_back(std::move(screen));
    lines.push_back(FontLine(baseFace, baseHeight, baseSkip, baseColour));
    lines.push_back(FontLine(face, height, skip, colour));
    if (weight != 0) {
        lines.emplace_back("<B>");
    }
    if (strikeout != 0) {
        lines.emplace_back("<S>");
    }
    if (italic != 0) {
        lines.emplace_back("<I>");
    }
    if (underline != 0) {
        lines.emplace_back("<U>");
    }
    if (shadow == 0) {
        lines.emplace_back("</SHADOW>");
    }
}

}  // namespace talu::interp
