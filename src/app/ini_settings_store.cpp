#include "app/ini_settings_store.h"

#include <fstream>
#include <sstream>

#include "host/atomic_file.h"
#include "script/numbers.h"
#include "script/sjis_text.h"

namespace talu::app {

bool IniSettingsStore::Load(const std::filesystem::path& path) {
    path_ = path;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
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

}  // namespace talu::app
