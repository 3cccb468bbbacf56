#include "frontend/qt/ui_text.h"

#include <QMessageBox>
#include <QPushButton>

#include "host/encoding.h"

namespace talu::qt {

QString FromCp932(std::string_view cp932) {
    return QString::fromStdString(host::Cp932ToUtf8(cp932));
}

std::string ToCp932(const QString& text) {
    return host::Utf8ToCp932(text.toStdString());
}

QString Pick(int langMode, const char* japanese, const char* english) {
    return QString::fromUtf8(langMode == 0 ? japanese : english);
}

void NameButtons(QMessageBox& box, int langMode) {
    const struct {
        QMessageBox::StandardButton which;
        const char* japanese;
        const char* english;
    } names[] = {
        {QMessageBox::Yes, "はい(&Y)", "&Yes"},
        {QMessageBox::No, "いいえ(&N)", "&No"},
        {QMessageBox::Cancel, "キャンセル", "Cancel"},
    };
    for (const auto& name : names) {
        if (QAbstractButton* button = box.button(name.which)) {
            button->setText(Pick(langMode, name.japanese, name.english));
        }
    }
}

}  // namespace talu::qt
