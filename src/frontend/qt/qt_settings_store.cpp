#include "frontend/qt/qt_settings_store.h"

#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

QString KeyOf(std::string_view group, std::string_view key) {
    return QString::fromUtf8(group.data(), static_cast<qsizetype>(group.size())) + '/' +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(std::make_unique<QSettings>("Velmor", "talu")) {}

QtSettingsStore::QtSettingsStore(const QString& path)
    : settings_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

std::optional<int> QtSettingsStore::ReadInt(std::string_view group, std::string_view key) const {
    const QVariant value = settings_->value(KeyOf(group, key));
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!value.isValid() || !ok) {
        return std::nullopt;
    }
    return number;
}

std::optional<std::string> QtSettingsStore::ReadString(std::string_view group,
                                                       std::string_view key) const {
    const QVariant value = settings_->value(KeyOf(group, key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    return ToCp932(value.toString());
}

void QtSettingsStore::WriteInt(std::string_view group, std::string_view key, int value) {
    settings_->setValue(KeyOf(group, key), value);
}

void QtSettingsStore::WriteString(std::string_view group, std::string_view key,
                                  std::string_view value) {
    settings_->setValue(KeyOf(group, key), FromCp932(value));
}

void QtSettingsStore::Remove(std::string_view group, std::string_view key) {
    settings_->remove(KeyOf(group, key));
}

bool QtSettingsStore::Flush() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

}  // namespace talu::qt
