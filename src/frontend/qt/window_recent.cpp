// The popup menu's Recent Books: the books and archives opened last, kept in the settings.
#include "frontend/qt/main_window.h"
#include "frontend/qt/qt_settings_store.h"

namespace talu::qt {

void MainWindow::RememberBook(const std::filesystem::path& book) {
    if (launch_.singleBook) {
        return;
    }
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(book, ec);
    if (ec) {
        return;
    }
    recent_.Opened(absolute);
    // Kept at once: a player that never closes cleanly still remembers what was read.
    recent_.Write(store_);
    store_.Flush();
}

std::vector<QString> MainWindow::RecentMenuBooks() {
    std::vector<QString> books;
    if (!launch_.singleBook) {
        for (const std::filesystem::path& book : recent_.Existing()) {
            books.push_back(QString::fromStdString(book.string()));
        }
    }
    return books;
}

void MainWindow::OpenRecentBook(std::size_t i) {
    if (launch_.singleBook || i >= recent_.Entries().size()) {
        return;
    }
    const std::filesystem::path book = recent_.Entries()[i];  // opening reorders the list
    OpenBook(book);
}

}  // namespace talu::qt
