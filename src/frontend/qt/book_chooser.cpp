#include "frontend/qt/book_chooser.h"

#include <QInputDialog>
#include <QStringList>

#include "app/archive_books.h"
#include "frontend/qt/book_problem.h"
#include "frontend/qt/ui_text.h"
#include "host/paths.h"

namespace talu::qt {
namespace {

// Member names as the reader knows them from a file manager: with "/" between folders.
QString ShownMember(const std::string& member) {
    QString shown = FromCp932(member);
    shown.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return shown;
}

std::optional<std::string> ChooseBook(QWidget* parent, const app::ArchiveBooks& found,
                                      int langMode) {
    QStringList names;
    for (const std::string& book : found.books) {
        names << ShownMember(book);
    }
    bool ok = false;
    const QString chosen = QInputDialog::getItem(
        parent, Pick(langMode, "本を選ぶ", "Choose a book"),
        Pick(langMode, "この書庫には本がいくつもあります。開く本を選んでください。",
             "This archive holds several books. Choose the one to open."),
        names, 0, false, &ok);
    const qsizetype index = names.indexOf(chosen);
    if (!ok || index < 0) {
        return std::nullopt;
    }
    return found.books[static_cast<std::size_t>(index)];
}

}  // namespace

std::optional<std::string> BookToOpen(QWidget* parent, const std::filesystem::path& file,
                                      int langMode, QString& problem) {
    problem.clear();
    if (!app::IsBookArchive(file)) {
        problem = BookProblem(file, langMode);
        return problem.isEmpty() ? std::optional(host::InsidePathFromHost(file.lexically_normal()))
                                 : std::nullopt;
    }
    const app::ArchiveBooks found = app::FindArchiveBooks(file);
    if (!found.readable) {
        problem = Pick(langMode, "書庫が読めません。", "The archive cannot be read.");
        return std::nullopt;
    }
    if (found.books.empty()) {
        problem = Pick(langMode,
                       "この書庫には本（.talu ファイル）がありません。最上位か、ただ一つの"
                       "フォルダの中に置かれた本を開きます。",
                       "This archive holds no book (.talu file). A book is opened from the "
                       "archive's top or from its one top folder.");
        return std::nullopt;
    }
    const std::optional<std::string> member = found.books.size() == 1
                                                  ? std::optional(found.books.front())
                                                  : ChooseBook(parent, found, langMode);
    if (!member) {
        return std::nullopt;
    }
    return app::ArchiveMemberInsidePath(file, *member);
}

}  // namespace talu::qt
