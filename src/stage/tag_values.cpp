#include "stage/tag_values.h"

#include "script/keywords.h"
#include "script/numbers.h"
#include "script/vocabularies.h"
#include "stage/effect_steps.h"

namespace talu::stage {
namespace {

void ReadSide(const script::TagRecord& tag, int id, uint32_t pixels, uint32_t percent,
              SizeRequest& request, int& value) {
    const auto text = tag.FindAttribute(id);
    if (!text)
        return;
    value = script::ParseSignedDigits(*text);
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
    return script::ParseSignedDigits(*text);
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

}  // namespace talu::stage
