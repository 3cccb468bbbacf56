#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talu::script {

/// Splits an entry "KEY<tab>VALUE" at its first tab (stepping over double-byte characters).
/// nullopt for an entry without a tab, which every lookup skips.
std::optional<std::pair<std::string_view, std::string_view>> SplitEntry(std::string_view entry);

/// The decimal text of an id, as it is written for attribute keys ("62" for SRC).
std::string IdKey(int id);

/// One parsed item of a book (tag, text run, comment) as an ordered list of "KEY<tab>VALUE"
/// entries. The command sits under "___COMMAND___", attributes under their decimal id, and the
/// key 115 marks a closing tag. Lookups run from the head and stop at the first match, so the
/// first of two duplicate attributes is the one a handler sees.
class TagRecord {
  public:
    static constexpr std::string_view kCommandKey = "___COMMAND___";

    void Clear() { entries_.clear(); }
    bool Empty() const { return entries_.empty(); }

    /// Appends the command entry (an earlier one is kept and still wins).
    void SetCommand(int id);
    /// Reads the first command entry's leading digits; command 0 when absent or not a number.
    bool GetCommand(int& id) const;

    /// Appends an attribute entry at the tail; never replaces.
    void AddAttribute(int id, std::string_view value);
    /// Appends an entry with any key.
    void AddPair(std::string_view key, std::string_view value);
    /// Copies the first value with this id; out is untouched when the attribute is absent.
    bool GetAttribute(int id, std::string& out) const;
    /// The first value with this id, without copying; valid until the record changes.
    std::optional<std::string_view> FindAttribute(int id) const;
    /// An optional sign, then leading digits; out is untouched when the attribute is absent.
    bool GetAttributeInt(int id, int& out) const;
    /// The first value with this id; empty when the attribute is absent.
    std::string AttributeText(int id) const;
    /// The first value with this id read as GetAttributeInt reads it; fallback when absent.
    int AttributeInt(int id, int fallback = 0) const;
    /// Removes the first entry with this id and puts the new value at the head.
    void SetAttribute(int id, std::string_view value);

    void MarkClosing();
    bool IsClosing() const;

    /// Writes "###START_LIST###", one line per entry, "###END_LIST###".
    void WriteTo(std::ostream& out) const;
    /// Skips to "###START_LIST###" and appends every line up to "###END_LIST###" as an entry.
    /// False when the input ends first (entries read so far stay).
    bool ReadFrom(std::istream& in);

    const std::vector<std::string>& Entries() const { return entries_; }
    /// Replaces the entry at index with key, tab and value.
    void ReplaceEntry(std::size_t index, std::string_view key, std::string_view value);

  private:
    std::size_t FindEntry(std::string_view key) const;

    std::vector<std::string> entries_;
};

/// Reads one line of a list file, without its line end. False at the end of input.
bool ReadListLine(std::istream& in, std::string& line);

}  // namespace talu::script
