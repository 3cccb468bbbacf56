#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talu::app {

/// Where the reader's preferences live between runs: the desktop player keeps them with the
/// desktop's own settings, the headless runner and the tests in an INI file or in memory.
/// Values are grouped in "EFFECT" and "SYSTEM" under the old key names; the reader's keys and
/// gamepad buttons in "KEYS" and "PAD".
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    /// The stored integer, or nullopt when the key is missing or not a number.
    virtual std::optional<int> ReadInt(std::string_view group, std::string_view key) const = 0;
    /// The stored text, or nullopt when the key is missing.
    virtual std::optional<std::string> ReadString(std::string_view group,
                                                  std::string_view key) const = 0;
    virtual void WriteInt(std::string_view group, std::string_view key, int value) = 0;
    virtual void WriteString(std::string_view group, std::string_view key,
                             std::string_view value) = 0;
    /// Forgets a value, so that its default applies again (a missing key is no error).
    virtual void Remove(std::string_view group, std::string_view key) = 0;
};

}  // namespace talu::app
