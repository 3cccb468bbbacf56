#include "frontend/cli/archive_argument.h"

#include <algorithm>

#include "app/archive_books.h"
#include "host/encoding.h"

namespace talu::cli {

std::optional<std::string> ArchiveBookArgument(const std::filesystem::path& file,
                                               std::string_view wanted, std::ostream& err) {
    if (!app::IsBookArchive(file)) {
        if (!wanted.empty()) {
            err << "talu-cli: --book chooses a book inside an archive; '" << file.string()
                << "' is not one\n";
            return std::nullopt;
        }
        return std::string();
    }
    const app::ArchiveBooks found = app::FindArchiveBooks(file);
    if (!found.readable) {
        err << "talu-cli: the archive '" << file.string() << "' cannot be read\n";
        return std::nullopt;
    }
    if (found.books.empty()) {
        err << "talu-cli: the archive '" << file.string()
            << "' holds no book (no .talu file at its top or in its one top folder)\n";
        return std::nullopt;
    }
    if (!wanted.empty()) {
        if (std::optional<std::string> picked =
                app::PickArchiveBook(found, host::Utf8ToCp932(wanted))) {
            return picked;
        }
        err << "talu-cli: the archive '" << file.string() << "' holds no book '" << wanted
            << "'; its books are:\n";
    } else if (found.books.size() == 1) {
        return found.books.front();
    } else {
        err << "talu-cli: the archive '" << file.string()
            << "' holds several books; choose one with --book NAME:\n";
    }
    for (const std::string& book : found.books) {
        std::string name = host::Cp932ToUtf8(book);
        std::replace(name.begin(), name.end(), '\\', '/');
        err << "  " << name << '\n';
    }
    return std::nullopt;
}

}  // namespace talu::cli
