#include "stage/tag_values.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "script/keywords.h"
#include "script/vocabularies.h"
#include "stage/effect_steps.h"

namespace talu::stage {
namespace {

// Leading decimal digits after an optional sign, saturated; books write any size they like.
int LeadingInt(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{INT32_MAX} + 1);
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

void ReadSide(const script::TagRecord& tag, int id, uint32_t pixels, uint32_t percent,
              SizeRequest& request, int& value) {
    const auto text = tag.FindAttribute(id);
    if (!text)
        return;
    value = LeadingInt(*text);
    request.flags |= text->find('%') != std::string_view::npos ? percent : pixels;
}

}  // namespace

SizeRequest ReadSize(const script::TagRecord& tag) {
    SizeRequest request;
    ReadSide(tag, script::kw::kWidth, load::kWidthPixels, load::kWidthPercent, request,
             request.width);
    ReadSide(tag, script::kw::kHeight, load::kHeightPixels, load::kHeightPercent, request,
             request.height);
    return request;
}

int ReadEffect(const script::TagRecord& tag, int fallback) {
    const auto text = tag.FindAttribute(script::kw::kEffect);
    return text ? script::EffectNumber(*text) : fallback;
}

std::optional<int> ReadKeyword(const script::TagRecord& tag, int id) {
    const auto text = tag.FindAttribute(id);
    if (!text)
        return std::nullopt;
    return script::LookupKeyword(*text);
}

std::optional<int> ReadInt(const script::TagRecord& tag, int id) {
    const auto text = tag.FindAttribute(id);
    if (!text)
        return std::nullopt;
    return LeadingInt(*text);
}

bool ReadPassMode(const script::TagRecord& tag) {
    const auto text = tag.FindAttribute(script::kw::kMode);
    if (!text)
        return false;
    std::string upper(*text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return script::IsPassMode(upper);
}

void ApplyTransparentText(Picture& picture, const std::optional<std::string>& text) {
    picture.transparent = text.value_or(std::string());
    script::Colour colour = 0;
    if (text && script::ParseColour(*text, colour))
        picture.SetSourceKey(colour);
}

int CharacterEffect(int effect) {
    return effect == kEffectOneChar || effect == kEffectToHeartChar ? kEffectFadeIn : effect;
}

int SaturatingAdd(int a, int b) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{a} + b, INT32_MIN, INT32_MAX));
}

}  // namespace talu::stage
