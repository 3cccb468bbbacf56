#include "script/string_table.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "script/keywords.h"
#include "script/numbers.h"

namespace talu::script {

std::optional<std::string_view> StringTable::Find(std::string_view key) const {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return std::string_view(it->second);
}

bool StringTable::Lookup(std::string_view key, std::string& out) const {
    std::optional<std::string_view> value = Find(key);
    if (!value) {
        return false;
    }
    out.assign(*value);
    return true;
}

void StringTable::Set(std::string_view key, std::string_view value) {
    auto it = values_.find(key);
    if (it != values_.end()) {
        it->second.assign(value);
    } else {
        values_.emplace(std::string(key), std::string(value));
    }
}

void StringTable::Record(std::string_view key) {
    // Only the first change since the last commit is recorded, so the shadow keeps the value
    // of the save point even when a key changes several times between two bookmarks.
    if (shadow_.find(key) == shadow_.end()) {
        auto it = values_.find(key);
        shadow_.emplace(std::string(key),
                        it == values_.end() ? std::string(kNullString) : it->second);
    }
}

void StringTable::SetRecorded(std::string_view key, std::string_view value) {
    Record(key);
    Set(key, value);
}

void StringTable::RemoveRecorded(std::string_view key) {
    // Recorded, so that setting the key again before the next commit keeps the saved value.
    Record(key);
    if (auto it = values_.find(key); it != values_.end()) {
        values_.erase(it);
    }
}

bool StringTable::GetCommand(int& id) const {
    std::optional<std::string_view> value = Find(TagRecord::kCommandKey);
    if (!value) {
        id = 0;
        return false;
    }
    id = ParseDigits(*value);
    return true;
}

bool StringTable::GetAttribute(int id, std::string& out) const {
    return Lookup(IdKey(id), out);
}

bool StringTable::GetAttributeInt(int id, int& out) const {
    std::optional<std::string_view> value = Find(IdKey(id));
    if (!value) {
        return false;
    }
    out = ParseDigits(*value);
    return true;
}

void StringTable::MarkClosing() {
    SetAttribute(kw::kClosingMark, "true");
}

bool StringTable::IsClosing() const {
    return Contains(IdKey(kw::kClosingMark));
}

std::vector<std::pair<std::string, std::string>> StringTable::SavedEntries() const {
    std::vector<std::pair<std::string, std::string>> entries;
    entries.reserve(values_.size());
    for (const auto& [key, current] : values_) {
        auto shadowed = shadow_.find(key);
        const std::string& value = shadowed == shadow_.end() ? current : shadowed->second;
        if (value != kNullString) {
            entries.emplace_back(key, value);
        }
    }
    // A key removed with RemoveRecorded still stands at the save point with its old value.
    for (const auto& [key, saved] : shadow_) {
        if (saved != kNullString && values_.find(key) == values_.end()) {
            entries.emplace_back(key, saved);
        }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

void StringTable::WriteTo(std::ostream& out, std::string_view lineEnd) const {
    out << "###START_LIST###" << lineEnd;
    for (const auto& [key, value] : SavedEntries()) {
        out << key << '\t' << value << lineEnd;
    }
    out << "###END_LIST###" << lineEnd;
}

bool StringTable::ReadFrom(std::istream& in) {
    std::string line;
    while (ReadListLine(in, line)) {
        if (line != "###START_LIST###") {
            continue;
        }
        values_.clear();
        shadow_.clear();
        while (ReadListLine(in, line)) {
            if (line == "###END_LIST###") {
                return true;
            }
            if (auto split = SplitEntry(line); split && !split->first.empty()) {
                Set(split->first, split->second);
            }
        }
        return false;
    }
    return false;
}

}  // namespace talu::script
