#pragma once

#include <string>
#include <string_view>
#include <vector>

// The authors' descriptions of the tags, in our own words and both languages: a small line-based
// text (doc/tags/descriptions.txt) that the tag reference joins to the player's keyword table.
namespace talu::cli {

/// A text in both languages (UTF-8).
struct TwoLanguages {
    std::string ja;
    std::string en;
    const std::string& In(int langMode) const { return langMode == 0 ? ja : en; }
};

/// One attribute of a described tag.
struct AttributeText {
    std::string word;  ///< as written in the descriptions
    int line = 0;
    TwoLanguages meaning;
    TwoLanguages byDefault;           ///< empty when there is no default worth naming
    std::vector<std::string> values;  ///< keyword words, or "@effects"
};

/// One described tag.
struct TagText {
    std::string word;
    int line = 0;
    TwoLanguages meaning;
    std::vector<std::string> example;  ///< the example's lines
    std::vector<AttributeText> attributes;
};

/// Words the player reads but gives no meaning.
struct ReservedText {
    std::vector<std::string> words;
    int line = 0;
    TwoLanguages meaning;
};

struct TagDescriptions {
    std::vector<TwoLanguages> intro;  ///< paragraphs
    std::vector<TagText> tags;
    std::vector<ReservedText> reserved;
};

/// Reads the descriptions. A line that fits nowhere is a problem ("LINE: message") and the
/// result is false; out then holds what was read.
bool ParseTagDescriptions(std::string_view text, TagDescriptions& out,
                          std::vector<std::string>& problems);

/// The descriptions built into talu-cli (doc/tags/descriptions.txt at build time).
std::string_view BuiltInTagDescriptions();

}  // namespace talu::cli
