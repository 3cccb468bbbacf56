#pragma once

#include <QSettings>
#include <QString>
#include <memory>

#include "app/settings_store.h"

namespace talu::qt {

/// The reader's preferences kept with the desktop's own settings (QSettings: on Linux
/// ~/.config/Velmor/talu.conf), in the groups EFFECT and SYSTEM under the old key names. Texts
/// are CP932 to the engine and UTF-8 in the file, so a reader can edit it.
class QtSettingsStore : public app::SettingsStore {
  public:
    /// The desktop's settings of company "Velmor", application "talu".
    QtSettingsStore();
    /// An INI file at path instead (tests).
    explicit QtSettingsStore(const QString& path);

    std::optional<int> ReadInt(std::string_view group, std::string_view key) const override;
    std::optional<std::string> ReadString(std::string_view group,
                                          std::string_view key) const override;
    void WriteInt(std::string_view group, std::string_view key, int value) override;
    void WriteString(std::string_view group, std::string_view key, std::string_view value) override;
    void Remove(std::string_view group, std::string_view key) override;

    /// Writes what changed to the disk; false when it could not be written (the player goes on).
    bool Flush();

  private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace talu::qt
