#include "frontend/qt/about_box.h"

#include <QMessageBox>

#include "frontend/qt/ui_text.h"

namespace talu::qt {

void ShowAboutBox(QWidget* parent, int langMode) {
    const QString text =
        QStringLiteral("<p><b>TALU Version 2.10.99.1011</b><br>Version 2.00.99.0920</p>") +
        QStringLiteral("<p>talu %1<br>Qt %2</p>").arg(QStringLiteral(TALU_VERSION), qVersion()) +
        Pick(langMode,
             "<p>この再生機は次のライブラリを使っています：Qt 6 (LGPL 3)、FreeType (FreeType "
             "License)、fontconfig (MIT)、SDL2_image と SDL2 (zlib)、libarchive (BSD)、"
             "libjpeg-turbo (IJG, BSD)。</p>",
             "<p>This player is built on Qt 6 (LGPL 3), FreeType (FreeType License), fontconfig "
             "(MIT), SDL2_image and SDL2 (zlib), libarchive (BSD) and libjpeg-turbo (IJG, "
             "BSD).</p>");
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Version Infomation"), text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::RichText);
    box.exec();
}

}  // namespace talu::qt
