#include "app/ini_settings_store.h"

#include <sstream>

#include "host/atomic_file.h"
#include "host/regular_file.h"
#include "script/numbers.h"
#include "script/sjis_text.h"

namespace talu::app {
namespace {

// Far above any settings file this player writes; a larger one is not a settings file.
constexpr std::size_t kMaxSettingsBytes = std::size_t{1} << 20;

}  // namespace

bool IniSettingsStore::Load(const std::filesystem::path& path) {
    path_ = path;
    const host::RegularFileRead file =
        host::ReadRegularFile(path, kMaxSettingsBytes, host::LastLink::kFollow);
    if (!file.bytes) {
        return file.refusal == host::ReadRefusal::kMissing;
    }
    std::istringstream in(*file.bytes);
    std::string group;
    std::string line;
    while (std::getline(in, line)) {
        std::string_view text = script::Trim(line);
        if (text.empty() || text[0] == ';' || text[0] == '#') {
            continue;
        }
        if (text.front() == '[' && text.back() == ']') {
            group = std::string(script::Trim(text.substr(1, text.size() - 2)));
            continue;
        }
        std::size_t equals = text.find('=');
        if (equals == std::string_view::npos || group.empty()) {
            continue;
        }
        values_[{group, std::string(script::Trim(text.substr(0, equals)))}] =
            std::string(script::Trim(text.substr(equals + 1)));
    }
    return true;
}

bool IniSettingsStore::Save() const {
    if (path_.empty()) {
        return false;
    }
    std::ostringstream out;
    std::string group;
    for (const auto& [key, value] : values_) {
        if (key.first != group) {
            group = key.first;
            out << '[' << group << "]\n";
        }
        out << key.second << '=' << value << '\n';
    }
    return host::WriteFileAtomically(path_, out.str());
}

std::optional<int> IniSettingsStore::ReadInt(std::string_view group, std::string_view key) const {
    auto text = ReadString(group, key);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    std::string_view digits = *text;
    if (digits[0] == '-' || digits[0] == '+') {
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    return script::ParseSignedDigits(*text);
}

std::optional<std::string> IniSettingsStore::ReadString(std::string_view group,
                                                        std::string_view key) const {
    auto it = values_.find({std::string(group), std::string(key)});
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void IniSettingsStore::WriteInt(std::string_view group, std::string_view key, int value) {
    WriteString(group, key, std::to_string(value));
}

void IniSettingsStore::WriteString(std::string_view group, std::string_view key,
                                   std::string_view value) {
    values_[{std::string(group), std::string(key)}] = std::string(value);
}

void IniSettingsStore::Remove(std::string_view group, std::string_view key) {
    values_.erase({std::string(group), std::string(key)});
}

}  // namespace talu::app
