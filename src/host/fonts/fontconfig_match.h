#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The only file that speaks fontconfig: finds the installed font file that best serves a family
// name for Japanese text.
namespace talu::host {

/// An installed font file as fontconfig describes it.
struct FontFileMatch {
    /// Host path of the font file.
    std::string path;
    /// Face number inside the file (collections hold several).
    int index = 0;
    /// Every family name the face answers to, as UTF-8.
    std::vector<std::string> families;
    /// True when the face is a bold design.
    bool bold = false;
    /// True when the face covers Japanese.
    bool japanese = false;
};

/// Fontconfig's best scalable match for a UTF-8 family name with the Japanese language, in bold
/// or regular weight. nullopt when fontconfig cannot be loaded or knows no font at all.
/// Safe to call from any thread.
std::optional<FontFileMatch> MatchFontFile(std::string_view familyUtf8, bool bold);

/// Loads the font configuration and its caches now (a few milliseconds), so the first match
/// does not pay for it. Any thread; a match made meanwhile waits for it.
void PrepareFontMatching();

}  // namespace talu::host
