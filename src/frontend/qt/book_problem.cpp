#include "frontend/qt/book_problem.h"

#include <fstream>
#include <string>

#include "frontend/qt/ui_text.h"

namespace talu::qt {

QString BookProblem(const std::filesystem::path& book, int lang) {
    std::error_code error;
    if (!std::filesystem::exists(book, error)) {
        return Pick(lang, "ファイルが見つかりません。", "The file does not exist.");
    }
    if (std::filesystem::is_directory(book, error)) {
        return Pick(lang, "フォルダは本ではありません。", "A folder is not a book.");
    }
    // A pipe or a device would block the window or never end.
    std::ifstream in;
    if (std::filesystem::is_regular_file(book, error)) {
        in.open(book, std::ios::binary);
    }
    if (!in) {
        return Pick(lang, "ファイルが読めません。", "The file cannot be read.");
    }
    std::string head(64 * 1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (head.find_first_not_of(" \t\r\n") == std::string::npos) {
        return Pick(lang, "本に文章がありません。", "The book has no text.");
    }
    if (head.find('\0') != std::string::npos) {
        return Pick(lang, "このファイルは本ではありません（文章ではありません）。",
                    "The file is not a book (it is not text).");
    }
    return {};
}

}  // namespace talu::qt
