#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "app/settings_store.h"

namespace talu::app {

/// Settings in memory, optionally read from and written to an INI file ("[EFFECT]",
/// "m_nTextWait=50"). Lines it cannot read are skipped.
class IniSettingsStore : public SettingsStore {
  public:
    /// An empty store that lives only in memory.
    IniSettingsStore() = default;
    /// Reads path if it exists; Save writes back there. False when the file exists but cannot
    /// be read, or is no regular file (a pipe, a device) of at most 1 MB.
    bool Load(const std::filesystem::path& path);
    /// Writes every value to the loaded path, replacing the file whole. False on failure or when
    /// no path was loaded.
    bool Save() const;

    std::optional<int> ReadInt(std::string_view group, std::string_view key) const override;
    std::optional<std::string> ReadString(std::string_view group,
                                          std::string_view key) const override;
    void WriteInt(std::string_view group, std::string_view key, int value) override;
    void WriteString(std::string_view group, std::string_view key, std::string_view value) override;
    void Remove(std::string_view group, std::string_view key) override;

  private:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, std::string> values_;
    std::filesystem::path path_;
};

}  // namespace talu::app
