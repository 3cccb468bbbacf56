#include "frontend/qt/help_documents.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

QString Relative(HelpDocument document, int langMode) {
    const QString language = langMode == 0 ? QStringLiteral("ja") : QStringLiteral("en");
    const QString page = language + QStringLiteral("/index.html");
    return document == HelpDocument::kTags ? QStringLiteral("tags/") + page : page;
}

bool Inside(const QString& path, const QString& folder) {
    const QString cleanFolder = QDir::cleanPath(folder);
    const QString cleanPath = QDir::cleanPath(path);
    return cleanPath == cleanFolder || cleanPath.startsWith(cleanFolder + QLatin1Char('/'));
}

}  // namespace

QStringList HelpFolders(const QString& programFolder) {
    QStringList folders;
    if (Inside(programFolder, QStringLiteral(TALU_BUILD_DIR))) {
        folders << QDir::cleanPath(QStringLiteral(TALU_BUILD_HELP_DIR));
    }
    folders << QDir::cleanPath(programFolder + QStringLiteral("/../share/talu/help"));
    const QString installed = QDir::cleanPath(QStringLiteral(TALU_INSTALLED_HELP_DIR));
    if (!folders.contains(installed)) {
        folders << installed;
    }
    return folders;
}

DocumentSearch FindHelpDocument(HelpDocument document, int langMode, const QStringList& folders) {
    DocumentSearch search;
    for (const int language : {langMode == 0 ? 0 : 1, langMode == 0 ? 1 : 0}) {
        for (const QString& folder : folders) {
            const QString path = QDir(folder).filePath(Relative(document, language));
            search.tried << path;
            if (QFileInfo(path).isFile()) {
                search.found = path;
                return search;
            }
        }
    }
    return search;
}

bool OpenHelpDocument(QWidget* parent, HelpDocument document, int langMode,
                      const QStringList& folders) {
    const DocumentSearch search = FindHelpDocument(document, langMode, folders);
    if (!search.found.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(search.found));
        return true;
    }
    const QString what = document == HelpDocument::kGuide
                             ? Pick(langMode, "ヘルプ", "The reader's guide")
                             : Pick(langMode, "TALUタグ一覧", "The TALU tag reference");
    const QString text = what +
                         Pick(langMode, "が見つかりません。次の場所を探しました：\n\n",
                              " was not found. It was looked for here:\n\n") +
                         search.tried.join(QLatin1Char('\n'));
    QMessageBox box(QMessageBox::Warning, QStringLiteral("talu"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("missingDocument"));
    box.exec();
    return false;
}

}  // namespace talu::qt
