#include "interp/font_tag.h"

#include <optional>
#include <string>

#include "script/keywords.h"
#include "script/numbers.h"
#include "script/sjis_text.h"
#include "script/vocabularies.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;

bool IsUser(std::string_view value) {
    return script::ToUpperAscii(value) == "USER";
}

}  // namespace

void ApplyFontTag(const script::TagRecord& tag, const FontTagTargets& targets) {
    TextLayout& layout = targets.layout;
    // Every change but colour and pen reaches the link page too.
    const auto both = [&targets](auto&& change) {
        change(targets.layout);
        if (targets.links != nullptr) {
            change(*targets.links);
        }
    };
    if (tag.IsClosing()) {
        if (auto entry = targets.fonts.Pop(layout, targets.format); entry && targets.links) {
            targets.links->SetFont(entry->face, entry->height, entry->skip);
        }
        return;
    }
    targets.fonts.Push(layout);

    std::string face;
    if (!tag.GetAttribute(kw::kSrc, face)) {
        tag.GetAttribute(kw::kFace, face);
    }
    if (IsUser(face)) {
        both([](TextLayout& each) { each.RestoreFromBase(kw::kSrc); });
        face.clear();
    }
    std::optional<script::Colour> colour;
    const auto colourText = tag.FindAttribute(kw::kColor);
    if (colourText && !colourText->empty()) {
        if (IsUser(*colourText)) {
            both([](TextLayout& each) { each.RestoreFromBase(kw::kColor); });
        } else if (script::Colour parsed = 0; script::ParseColour(*colourText, parsed)) {
            colour = parsed;
        }
    }
    auto readSize = [&](int id) {
        const auto value = tag.FindAttribute(id);
        if (value && IsUser(*value)) {
            both([id](TextLayout& each) { each.RestoreFromBase(id); });
            return kNotGiven;
        }
        return tag.AttributeInt(id, kNotGiven);
    };
    const int height = readSize(kw::kHeight);
    const int skip = readSize(kw::kSkip);

    both([&](TextLayout& each) { each.SetFont(face, height, skip); });
    if (!targets.baseFontTaken) {
        both([&](TextLayout& each) { each.SetBase(face, height, skip, colour); });
        targets.baseFontTaken = true;
    }
    if (colour) {
        layout.SetColour(*colour, targets.format);
    }
    const auto left = tag.FindAttribute(kw::kLeft);
    const auto top = tag.FindAttribute(kw::kTop);
    if (left || top) {
        layout.MovePen(left ? script::ParseSignedDigits(*left) : kNotGiven,
                       top ? script::ParseSignedDigits(*top) : kNotGiven);
    }
    if (const auto size = tag.FindAttribute(kw::kSize)) {
        both([&size](TextLayout& each) { each.AdjustSize(*size); });
    }
}

}  // namespace talu::interp
