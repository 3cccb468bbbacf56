#include "script/tag_record.h"

#include <charconv>
#include <istream>
#include <ostream>

#include "script/keywords.h"
#include "script/numbers.h"
#include "script/sjis_text.h"

namespace talu::script {
namespace {

constexpr std::string_view kStartList = "###START_LIST###";
constexpr std::string_view kEndList = "###END_LIST###";

std::string JoinEntry(std::string_view key, std::string_view value) {
    std::string entry;
    entry.reserve(key.size() + 1 + value.size());
    entry.append(key);
    entry += '\t';
    entry.append(value);
    return entry;
}

}  // namespace

std::optional<std::pair<std::string_view, std::string_view>> SplitEntry(std::string_view entry) {
    std::size_t tab = FindChar(entry, '\t');
    if (tab == npos) {
        return std::nullopt;
    }
    return std::make_pair(entry.substr(0, tab), entry.substr(tab + 1));
}

std::string IdKey(int id) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), id);
    return std::string(buffer, result.ptr);
}

bool ReadListLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

std::size_t TagRecord::FindEntry(std::string_view key) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::string& entry = entries_[i];
        // Keys here are ASCII, so the first tab after them is the entry's first tab.
        if (entry.size() > key.size() && entry[key.size()] == '\t' &&
            entry.compare(0, key.size(), key) == 0) {
            return i;
        }
    }
    return npos;
}

void TagRecord::SetCommand(int id) {
    entries_.push_back(JoinEntry(kCommandKey, IdKey(id)));
}

bool TagRecord::GetCommand(int& id) const {
    std::size_t index = FindEntry(kCommandKey);
    if (index == npos) {
        id = 0;
        return false;
    }
    id = ParseDigits(std::string_view(entries_[index]).substr(kCommandKey.size() + 1));
    return true;
}

void TagRecord::AddAttribute(int id, std::string_view value) {
    entries_.push_back(JoinEntry(IdKey(id), value));
}

void TagRecord::AddPair(std::string_view key, std::string_view value) {
    entries_.push_back(JoinEntry(key, value));
}

std::optional<std::string_view> TagRecord::FindAttribute(int id) const {
    std::string key = IdKey(id);
    std::size_t index = FindEntry(key);
    if (index == npos) {
        return std::nullopt;
    }
    return std::string_view(entries_[index]).substr(key.size() + 1);
}

bool TagRecord::GetAttribute(int id, std::string& out) const {
    std::optional<std::string_view> value = FindAttribute(id);
    if (!value) {
        return false;
    }
    out.assign(*value);
    return true;
}

bool TagRecord::GetAttributeInt(int id, int& out) const {
    std::optional<std::string_view> value = FindAttribute(id);
    if (!value) {
        return false;
    }
    out = ParseSignedDigits(*value);
    return true;
}

std::string TagRecord::AttributeText(int id) const {
    return std::string(FindAttribute(id).value_or(std::string_view()));
}

int TagRecord::AttributeInt(int id, int fallback) const {
    GetAttributeInt(id, fallback);
    return fallback;
}

void TagRecord::SetAttribute(int id, std::string_view value) {
    std::string key = IdKey(id);
    std::size_t index = FindEntry(key);
    if (index != npos) {
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    }
    entries_.insert(entries_.begin(), JoinEntry(key, value));
}

void TagRecord::MarkClosing() {
    AddAttribute(kw::kClosingMark, "true");
}

bool TagRecord::IsClosing() const {
    return FindAttribute(kw::kClosingMark).has_value();
}

void TagRecord::WriteTo(std::ostream& out) const {
    out << kStartList << '\n';
    for (const std::string& entry : entries_) {
        out << entry << '\n';
    }
    out << kEndList << '\n';
}

bool TagRecord::ReadFrom(std::istream& in) {
    std::string line;
    while (ReadListLine(in, line)) {
        if (line == kStartList) {
            while (ReadListLine(in, line)) {
                if (line == kEndList) {
                    return true;
                }
                entries_.push_back(line);
            }
            return false;
        }
    }
    return false;
}

void TagRecord::ReplaceEntry(std::size_t index, std::string_view key, std::string_view value) {
    entries_[index] = JoinEntry(key, value);
}

}  // namespace talu::script
