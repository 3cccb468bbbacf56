#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include "app/settings_store.h"

namespace talu::app {

/// The books and archives the reader opened last, newest first, kept in the settings (group
/// SYSTEM, RecentBook1 to RecentBook8) for the popup menu's Recent Books.
class RecentBooks {
  public:
    static constexpr std::size_t kLimit = 8;

    /// Puts a host path first, removing it further down and the oldest beyond kLimit.
    void Opened(const std::filesystem::path& file);
    /// Drops the entries whose file no longer exists, then returns what is left, newest first.
    const std::vector<std::filesystem::path>& Existing();
    /// Every entry as it stands, newest first.
    const std::vector<std::filesystem::path>& Entries() const { return books_; }

    /// Replaces the entries by the stored ones (absolute paths only, each once, kLimit at most).
    void Read(const SettingsStore& store);
    void Write(SettingsStore& store) const;

  private:
    void Add(const std::filesystem::path& file);

    std::vector<std::filesystem::path> books_;
};

}  // namespace talu::app
