#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "script/tag_record.h"
#include "stage/picture.h"

// Attribute readings shared by the stage's tag handlers.
namespace talu::stage {

/// A picture's requested size: the load flags WIDTH and HEIGHT add and the values they give.
struct SizeRequest {
    uint32_t flags = 0;
    int width = 0;
    int height = 0;
};

/// Reads WIDTH and HEIGHT: a trailing "%" asks for percent, anything else for pixels.
SizeRequest ReadSize(const script::TagRecord& tag);
/// The effect id named by EFFECT, or fallback when the attribute is absent.
int ReadEffect(const script::TagRecord& tag, int fallback);
/// The keyword id of an attribute's value, or none when absent.
std::optional<int> ReadKeyword(const script::TagRecord& tag, int id);
/// An optional sign and leading digits, saturated to int; none when absent.
std::optional<int> ReadInt(const script::TagRecord& tag, int id);
/// True when the attribute is present and holds GHOST or PASS in any case.
bool ReadPassMode(const script::TagRecord& tag);
/// Makes the colour the TRANSPARENT text names the picture's key and keeps the text; a text
/// that is no colour is only kept.
void ApplyTransparentText(Picture& picture, const std::optional<std::string>& text);
/// ACT and EXIT show the one-character effects as a fade.
int CharacterEffect(int effect);

}  // namespace talu::stage
