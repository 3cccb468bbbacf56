#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/fonts/fontconfig_match.h"

// Books name the fonts of the Windows of their day; these map to the IPA fonts that stand in for
// them, and any other name is looked up among the installed fonts.
namespace talu::host {

/// The family that stands for the face a book names ("ＭＳ 明朝" gives "IPAMincho"), or the name
/// itself as UTF-8 when it is not one of the old system faces. face is CP932.
std::string SubstituteFamily(std::string_view faceCp932);

/// The font file for a book's face name (CP932): its substitute family when fontconfig has that
/// family with Japanese, else IPAMincho. nullopt when not even IPAMincho is installed.
/// Answers are remembered per name and weight; safe to call from any thread.
std::optional<FontFileMatch> ResolveFace(std::string_view faceCp932, bool bold);

}  // namespace talu::host
