#pragma once

#include <string>
#include <string_view>

#include "script/tag_record.h"

// Classifying and parsing one item of a book (a tag, a text run, a comment, a double-angle
// write form) into a TagRecord.
namespace talu::script {

/// What ClassifyItem finds besides the id.
struct ItemClass {
    int id = 0;
    /// The tag's name as written ("FONT", "/font", "12:30").
    std::string_view name;
    /// What follows the name: the attributes and the final ">".
    std::string_view rest;
    /// True when the name starts with "/".
    bool closing = false;
};

/// Classifies an item: 3 comment (also empty), 4 multi-line comment, 2 text run, 47 double-angle
/// write form, otherwise the keyword id of the tag's name (0 for unknown words). The views point
/// into item, or into scratch when the item had to be normalized (it held tabs). A "<<" item
/// without ">>" is a text run, so its text is never lost.
ItemClass ClassifyItem(std::string_view item, std::string& scratch);

/// Why the attribute parser took an attribute or stopped taking them.
enum class AttributeStop {
    /// An attribute was taken.
    kNone,
    /// Nothing but the tag's closing ">" is left.
    kEnd,
    /// Text without "=" is left; it is dropped.
    kNoEquals,
    /// The name before "=" is not an attribute word; it and the rest are dropped.
    kUnknownName,
    /// The value lacks its two double quotes; it and the rest are dropped.
    kUnquoted,
};

/// One step of the attribute parser, for tools that tell authors what the parser dropped.
struct TakenAttribute {
    AttributeStop stop = AttributeStop::kEnd;
    int id = 0;
    /// The name as written (also for kUnknownName and kUnquoted).
    std::string_view name;
    std::string_view value;
    /// Text between "=" and the opening quote, which the parser passes over: a value written
    /// without quotes, whose place the next quoted text takes.
    std::string_view skipped;
};

/// Takes one NAME="value" attribute off the front of rest; rest is unchanged when it stops.
TakenAttribute TakeAttribute(std::string_view& rest);

/// Takes one NAME="value" attribute off the front of rest. False when rest holds no "=", the
/// name is not an attribute word, or the value lacks its quotes: that ends the tag's attributes.
bool ParseAttribute(std::string_view& rest, int& id, std::string_view& value);

/// Fills record from item. Text runs and comments carry their text as SRC; tags carry their
/// command, closing mark and attributes. False, with an empty record, for words that are not
/// tags; knownText skips classification for items the reader already knows to be text.
bool ParseItem(std::string_view item, TagRecord& record, bool knownText = false);

}  // namespace talu::script
