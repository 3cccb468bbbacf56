#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Help and TALU Tags: the reader's guide and the authors' tag reference, found where talu is
// installed (or in the build tree when it runs from there) and opened in the desktop's browser.
namespace talu::qt {

enum class HelpDocument { kGuide, kTags };

/// Where a document was found (empty when nowhere) and every file that was looked for.
struct DocumentSearch {
    QString found;
    QStringList tried;
};

/// The folders that may hold the help, first choice first: the build tree's help when
/// programFolder lies inside the build tree, then share/talu/help beside the program's prefix
/// (a moved installation), then the installed prefix's.
QStringList HelpFolders(const QString& programFolder);

/// Looks for the document in the reader's language (0 Japanese, 1 English) in each folder, then
/// in the other language.
DocumentSearch FindHelpDocument(HelpDocument document, int langMode, const QStringList& folders);

/// Opens the document in the desktop's browser; a document found nowhere gets a box that says
/// where it was looked for. Returns true when a document was handed to the browser.
bool OpenHelpDocument(QWidget* parent, HelpDocument document, int langMode,
                      const QStringList& folders);

}  // namespace talu::qt
