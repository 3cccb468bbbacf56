#include "interp/link_set.h"

#include <cstdint>

#include "host/encoding.h"
#include "interp/latin_words.h"
#include "interp/text_placement.h"
#include "script/keywords.h"
#include "script/numbers.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;

constexpr int LinkId(int base, int k) {
    return base + kw::kLinkStride * k;
}

bool Holds(const stage::Rect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

}  // namespace

void LinkSet::Build(const script::TagRecord& record, ScriptVariables& variables) {
    texts_.clear();
    links_.Clear();
    enabled_.fill(1);
    highlighted_ = -1;
    for (int k = 0; k < kMaxLinks; ++k) {
        const auto href = record.FindAttribute(LinkId(kw::kHref, k));
        if (!href) {
            break;
        }
        if (const auto view = record.FindAttribute(LinkId(kw::kView, k));
            view && !variables.Condition(*view)) {
            continue;
        }
        const int n = Count();
        if (const auto enable = record.FindAttribute(LinkId(kw::kEnable, k));
            enable && !variables.Condition(*enable)) {
            enabled_[static_cast<std::size_t>(n)] = 0;
        }
        links_.AddAttribute(LinkId(kw::kHref, n), *href);
        std::string alt;
        record.GetAttribute(LinkId(kw::kAlt, k), alt);
        links_.AddAttribute(LinkId(kw::kAlt, n), alt);
        if (const auto answer = record.FindAttribute(LinkId(kw::kAnswer, k))) {
            links_.AddAttribute(LinkId(kw::kAnswer, n), *answer);
        }
        texts_.push_back(std::move(alt));
    }
    rects_.fill(stage::Rect{});
    start_ = PenPoint{record.AttributeInt(kw::kLeft), record.AttributeInt(kw::kTop)};
    layout_.penX = start_.x;
    layout_.penY = start_.y;
}

bool LinkSet::ResolveAtOnce(script::TagRecord& chosen) {
    const auto alt = links_.FindAttribute(kw::kAlt);
    if (alt && !alt->empty()) {
        return false;
    }
    highlighted_ = 0;
    Take(chosen);
    return true;
}

void LinkSet::DrawLinks(stage::Surface& target) {
    layout_.penX = start_.x;
    layout_.penY = start_.y;
    layout_.wrapped = 0;
    for (int i = 0; i < Count(); ++i) {
        const script::Colour colour = i == highlighted_ ? kHighlightedLinkColour : kLinkColour;
        stage::Rect& rect = rects_[static_cast<std::size_t>(i)];
        rect = PlaceLink(texts_[static_cast<std::size_t>(i)], colour, target);
        // The next link needs at least one line above the window's bottom.
        if (std::int64_t{layout_.skip} + rect.bottom > layout_.window.bottom) {
            break;
        }
        layout_.LineBreak();
    }
}

bool LinkSet::WrapLinkAt(std::string_view text, std::size_t pos, int width, bool wordGoesOn) {
    const std::string_view character(text.substr(pos, host::CharLength(text, pos)));
    if (IsWordSpace(character)) {
        const int cell = layout_.font ? layout_.font->Measure(character).height : layout_.height;
        return std::int64_t{layout_.penX} + cell > width;
    }
    return !wordGoesOn && IsWordCharacter(character) &&
           MovesToNextLine(layout_, width, MeasureWord(layout_, text.substr(pos)));
}

stage::Rect LinkSet::PlaceLink(const std::string& text, script::Colour colour,
                               stage::Surface& target) {
    DrawingContext context(target, colour);
    const int x0 = layout_.penX;
    const int y0 = layout_.penY;
    int lines = 1;
    // Links wrap at the window's width, not at its right edge, as books were laid out with.
    const std::int64_t width = std::int64_t{layout_.window.right} - layout_.window.left;
    const int offset = layout_.height / 10;
    bool wordGoesOn = false;
    bool afterWrap = false;  // spaces right after a break at a space start no line
    for (std::size_t pos = 0; pos < text.size();) {
        const std::string_view character(text.data() + pos, host::CharLength(text, pos));
        if (wrapAtSpaces_) {
            const bool space = IsWordSpace(character);
            const bool wraps = WrapLinkAt(text, pos, script::ClampToInt(width), wordGoesOn);
            wordGoesOn = IsWordCharacter(character);
            if (wraps && !afterWrap) {
                layout_.LineBreak();
                ++lines;
            }
            afterWrap = space && (wraps || afterWrap);
            if (afterWrap) {
                pos += character.size();
                continue;
            }
        }
        pos += character.size();
        const host::TextExtent extent =
            layout_.font ? layout_.font->Measure(character) : host::TextExtent{0, layout_.height};
        if (std::int64_t{layout_.penX} + extent.height > width) {
            layout_.LineBreak();
            ++lines;
        }
        if (layout_.font) {
            if (layout_.shadow != 0) {
                layout_.font->Draw(
                    context.Buffer(), character, script::SaturatingAdd(layout_.penX, offset),
                    script::SaturatingAdd(layout_.penY, offset), context.ShadowColour());
            }
            layout_.font->Draw(context.Buffer(), character, layout_.penX, layout_.penY,
                               context.TextColour());
        }
        layout_.penX = script::SaturatingAdd(layout_.penX, extent.width);
    }
    return stage::Rect{x0, y0, layout_.window.right,
                       script::ClampToInt(y0 + std::int64_t{layout_.skip} * lines)};
}

bool LinkSet::Hover(int x, int y, stage::Surface& target) {
    int found = -1;
    for (int i = 0; i < kMaxLinks; ++i) {
        if (enabled_[static_cast<std::size_t>(i)] != 0 &&
            Holds(rects_[static_cast<std::size_t>(i)], x, y)) {
            found = i;
            break;
        }
    }
    if (found == highlighted_) {
        return false;
    }
    highlighted_ = found;
    DrawLinks(target);
    return true;
}

bool LinkSet::Choosable(int i) const {
    return i >= 0 && i < Count() && enabled_[static_cast<std::size_t>(i)] != 0 &&
           !rects_[static_cast<std::size_t>(i)].IsEmpty();
}

bool LinkSet::MoveHighlight(int step, stage::Surface& target) {
    const int count = Count();
    if (count == 0 || step == 0) {
        return false;
    }
    const int direction = step > 0 ? 1 : -1;
    // From none, the first step lands on the first (down) or the last (up) link.
    int index = highlighted_ >= 0 ? highlighted_ : (direction > 0 ? -1 : count);
    for (int tried = 0; tried < count; ++tried) {
        index = ((index + direction) % count + count) % count;
        if (Choosable(index)) {
            break;
        }
    }
    if (!Choosable(index) || index == highlighted_) {
        return false;
    }
    highlighted_ = index;
    DrawLinks(target);
    return true;
}

bool LinkSet::Take(script::TagRecord& chosen) {
    if (highlighted_ < 0) {
        return false;
    }
    for (int id : {kw::kHref, kw::kAlt, kw::kAnswer}) {
        if (const auto value = links_.FindAttribute(LinkId(id, highlighted_))) {
            chosen.AddAttribute(id, *value);
        }
    }
    texts_.clear();
    rects_.fill(stage::Rect{});
    highlighted_ = -1;
    return true;
}

}  // namespace talu::interp
