#pragma once

#include <string>
#include <vector>

#include "frontend/cli/tag_descriptions.h"

// The authors' reference: the player's keyword table joined to our descriptions. The words come
// from the table only, so the reference can never name a word the player does not read.
namespace talu::cli {

/// One attribute of a tag: its spellings from the keyword table and the values it takes.
struct ReferenceAttribute {
    std::vector<std::string> spellings;
    const AttributeText* text = nullptr;
    std::vector<std::string> values;  ///< keyword words
    bool effects = false;             ///< takes a transition effect's name
};

/// One tag: every word of its keyword id (spellings, closing form) and its attributes.
struct ReferenceTag {
    int id = 0;
    std::vector<std::string> spellings;
    const TagText* text = nullptr;
    std::vector<ReferenceAttribute> attributes;
};

struct ReferenceReserved {
    std::vector<std::string> words;
    const ReservedText* text = nullptr;
};

struct TagReference {
    const TagDescriptions* descriptions = nullptr;
    std::vector<ReferenceTag> tags;  ///< in keyword-id order
    std::vector<ReferenceReserved> reserved;
    std::vector<std::string> effects;  ///< the transition effects' names, by number
};

/// Joins descriptions (which must outlive out) to the keyword table. Every tag the player reads
/// needs a description, every word named in one must be the player's, and every word of the
/// table must be placed somewhere; each failure is a problem line and makes the result false.
bool BuildTagReference(const TagDescriptions& descriptions, TagReference& out,
                       std::vector<std::string>& problems);

}  // namespace talu::cli
