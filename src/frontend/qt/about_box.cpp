#include "frontend/qt/about_box.h"

#include <QMessageBox>

#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

/// A library the program links and the licence it comes under.
struct Library {
    const char* name;
    const char* licence;
};

// Every library the player links, directly or through SDL2_mixer (FluidSynth plays its MIDI).
constexpr Library kLibraries[] = {
    {"Qt 6", "GNU LGPL 3"},
    {"SDL2", "zlib"},
    {"SDL2_image", "zlib"},
    {"SDL2_mixer", "zlib"},
    {"FluidSynth", "GNU LGPL 2.1+"},
    {"FreeType", "FreeType License (FTL)"},
    {"fontconfig", "MIT-style (HPND)"},
    {"libarchive", "BSD 2-Clause"},
    {"libjpeg-turbo (libjpeg)", "IJG, BSD 3-Clause, zlib"},
};

QString LibraryList() {
    QString rows;
    for (const Library& library : kLibraries) {
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
                    .arg(QString::fromUtf8(library.name), QString::fromUtf8(library.licence));
    }
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">") + rows +
           QStringLiteral("</table>");
}

}  // namespace

void ShowAboutBox(QWidget* parent, int langMode) {
    const QString text =
        QStringLiteral("<p><b>TALU Version 2.10.99.1011</b><br>Version 2.00.99.0920</p>") +
        QStringLiteral("<p>talu %1<br>Qt %2</p>").arg(QStringLiteral(TALU_VERSION), qVersion()) +
        Pick(langMode, "<p>この再生機は次のライブラリを使っています：</p>",
             "<p>This player is built on these libraries:</p>") +
        LibraryList();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Version Infomation"), text,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setTextFormat(Qt::RichText);
    box.exec();
}

}  // namespace talu::qt
