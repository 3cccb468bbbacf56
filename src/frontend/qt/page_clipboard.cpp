#include "frontend/qt/page_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace talu::qt {

void CopyPageText(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

}  // namespace talu::qt
