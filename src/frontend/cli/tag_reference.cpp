#include "frontend/cli/tag_reference.h"

#include <algorithm>
#include <set>

#include "script/keywords.h"
#include "script/sjis_text.h"
#include "script/vocabularies.h"

namespace talu::cli {
namespace {

using script::KeywordTable;
using script::LookupKeyword;

// The multi-line comment is no tag id (the tokenizer knows it by its first character), but
// authors write it as one.
bool IsWrittenAsTag(int id) {
    return script::IsTagId(id) || id == script::kw::kBlockComment;
}

std::vector<std::string> SpellingsOf(int id) {
    std::vector<std::string> words;
    for (const script::KeywordEntry& entry : KeywordTable()) {
        if (entry.id == id) {
            words.emplace_back(entry.word);
        }
    }
    return words;
}

/// Builds the reference and remembers which of the table's words it has placed.
class ReferenceBuilder {
  public:
    ReferenceBuilder(TagReference& out, std::vector<std::string>& problems)
        : out_(out), problems_(problems) {}

    void Tag(const TagText& text) {
        const int id = LookupKeyword(text.word);
        if (!IsWrittenAsTag(id)) {
            Problem(text.line, text.word + " is not a tag the player reads");
            return;
        }
        if (!describedTags_.insert(id).second) {
            Problem(text.line, text.word + " is described twice");
            return;
        }
        ReferenceTag tag{id, Place(SpellingsOf(id)), &text, {}};
        for (const AttributeText& attribute : text.attributes) {
            Attribute(attribute, tag);
        }
        out_.tags.push_back(std::move(tag));
    }

    void Reserved(const ReservedText& text) {
        ReferenceReserved reserved{{}, &text};
        for (const std::string& word : text.words) {
            if (LookupKeyword(word) == 0) {
                Problem(text.line, word + " is no word the player reads");
                continue;
            }
            reserved.words.push_back(Place(script::ToLowerAscii(word)));
        }
        out_.reserved.push_back(std::move(reserved));
    }

    void CheckEverythingPlaced() {
        for (const script::KeywordEntry& entry : KeywordTable()) {
            if (IsWrittenAsTag(entry.id) && !describedTags_.contains(entry.id)) {
                Problem(0, "no description for the tag " + std::string(entry.word));
                describedTags_.insert(entry.id);  // one line a tag
            } else if (!placed_.contains(std::string(entry.word)) && !IsWrittenAsTag(entry.id)) {
                Problem(0, "the player reads " + std::string(entry.word) +
                               " but no tag, value or reserved word places it");
            }
        }
    }

  private:
    void Attribute(const AttributeText& text, ReferenceTag& tag) {
        const int id = LookupKeyword(text.word);
        if (!script::IsAttributeId(id)) {
            Problem(text.line, text.word + " is not an attribute the player reads");
            return;
        }
        // WAIT is a tag as well as an attribute: its closing form is the tag's, not a spelling
        // of the attribute.
        std::vector<std::string> spellings = SpellingsOf(id);
        std::erase_if(spellings, [](const std::string& word) { return word.starts_with('/'); });
        ReferenceAttribute attribute{Place(std::move(spellings)), &text, {}, false};
        for (const std::string& value : text.values) {
            if (value == "@effects") {
                attribute.effects = true;
            } else if (LookupKeyword(value) == 0) {
                Problem(text.line, value + " is no word the player reads");
            } else {
                attribute.values.push_back(Place(script::ToLowerAscii(value)));
            }
        }
        tag.attributes.push_back(std::move(attribute));
    }

    std::string Place(std::string word) {
        placed_.insert(word);
        return word;
    }
    std::vector<std::string> Place(std::vector<std::string> words) {
        placed_.insert(words.begin(), words.end());
        return words;
    }

    void Problem(int line, const std::string& message) {
        problems_.push_back(line > 0 ? std::to_string(line) + ": " + message : message);
    }

    TagReference& out_;
    std::vector<std::string>& problems_;
    std::set<int> describedTags_;
    std::set<std::string> placed_;
};

}  // namespace

bool BuildTagReference(const TagDescriptions& descriptions, TagReference& out,
                       std::vector<std::string>& problems) {
    const std::size_t before = problems.size();
    out = TagReference{};
    out.descriptions = &descriptions;
    ReferenceBuilder builder(out, problems);
    for (const TagText& tag : descriptions.tags) {
        builder.Tag(tag);
    }
    for (const ReservedText& reserved : descriptions.reserved) {
        builder.Reserved(reserved);
    }
    builder.CheckEverythingPlaced();
    std::stable_sort(out.tags.begin(), out.tags.end(),
                     [](const ReferenceTag& a, const ReferenceTag& b) { return a.id < b.id; });
    for (const script::NamedValue& effect : script::EffectTable()) {
        out.effects.emplace_back(effect.name);
    }
    return problems.size() == before;
}

}  // namespace talu::cli
