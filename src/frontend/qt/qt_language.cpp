#include "frontend/qt/qt_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace talu::qt {

void QtLanguage::Apply(int langMode) {
    const bool wanted = langMode == 0;
    if (wanted == installed_) {
        return;
    }
    if (!wanted) {
        QCoreApplication::removeTranslator(&japanese_);
        installed_ = false;
        return;
    }
    if (japanese_.isEmpty() &&
        !japanese_.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return;  // not installed: Qt's texts stay English
    }
    installed_ = QCoreApplication::installTranslator(&japanese_);
}

}  // namespace talu::qt
