#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "script/tag_record.h"

namespace talu::script {

/// A string-to-string table (exact, case-sensitive keys) with a previous-value shadow: for
/// every key set through SetRecorded since the last CommitShadow, the shadow keeps the value it
/// had before, or "__NULL_STRING__" when it did not exist. WriteTo writes the table as it stood
/// at the last commit, which is how bookmarks store the state of their own save point.
class StringTable {
  public:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    using Map = std::unordered_map<std::string, std::string, Hash, std::equal_to<>>;

    static constexpr std::string_view kNullString = "__NULL_STRING__";

    bool Lookup(std::string_view key, std::string& out) const;
    /// The value without copying; valid until the table changes.
    std::optional<std::string_view> Find(std::string_view key) const;
    bool Contains(std::string_view key) const { return Find(key).has_value(); }

    /// Plain assignment; the shadow is untouched.
    void Set(std::string_view key, std::string_view value);
    /// Records the key's current value (or "__NULL_STRING__") in the shadow, then assigns.
    void SetRecorded(std::string_view key, std::string_view value);
    /// Records the key's current value in the shadow like SetRecorded, then removes the key.
    void RemoveRecorded(std::string_view key);
    void CommitShadow() { shadow_.clear(); }
    /// Empties the table; the shadow keeps its entries.
    void Clear() { values_.clear(); }

    std::size_t Size() const { return values_.size(); }
    const Map& Values() const { return values_; }

    // The table as the map form of a tag: the same keys as a TagRecord.
    bool GetCommand(int& id) const;
    bool GetAttribute(int id, std::string& out) const;
    /// Leading digits only (no sign); out is untouched when absent.
    bool GetAttributeInt(int id, int& out) const;
    void SetAttribute(int id, std::string_view value) { Set(IdKey(id), value); }
    void MarkClosing();
    bool IsClosing() const;

    /// The entries as of the last CommitShadow (changes made with Set show at once), sorted by
    /// key so that a file written twice from the same table is the same file.
    std::vector<std::pair<std::string, std::string>> SavedEntries() const;
    /// Writes SavedEntries as a list block, each line ending with lineEnd (bookmark and memo
    /// files end their lines with CR LF, as they always have).
    void WriteTo(std::ostream& out, std::string_view lineEnd = "\n") const;
    /// Skips to "###START_LIST###", empties table and shadow there, then reads pairs up to
    /// "###END_LIST###". False when the input ends first.
    bool ReadFrom(std::istream& in);

  private:
    void Record(std::string_view key);

    Map values_;
    Map shadow_;
};

}  // namespace talu::script
