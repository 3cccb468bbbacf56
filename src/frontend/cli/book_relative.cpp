#include "frontend/cli/book_relative.h"

#include "script/sjis_text.h"

namespace talu::cli {

std::string BookRelativePath(std::string_view insidePath, std::string_view bookFolder) {
    std::string folder(bookFolder);
    if (!folder.empty() && folder.back() != '\\') {
        folder += '\\';
    }
    if (!folder.empty() && insidePath.size() > folder.size() &&
        script::ToUpperAscii(insidePath.substr(0, folder.size())) == script::ToUpperAscii(folder)) {
        return std::string(insidePath.substr(folder.size()));
    }
    return std::string(insidePath);
}

}  // namespace talu::cli
