#include "frontend/cli/tags_command.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <vector>

#include "frontend/cli/tag_reference.h"
#include "frontend/cli/tag_reference_html.h"

namespace talu::cli {
namespace {

constexpr std::string_view kChooser =
    "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>TALU Tags</title>\n"
    "</head>\n<body style=\"font-family:sans-serif;margin:2em\">\n<h1>TALU Tags</h1>\n<ul>\n"
    "<li><a href=\"ja/index.html\">TALU タグ一覧（日本語）</a></li>\n"
    "<li><a href=\"en/index.html\">TALU Tags (English)</a></li>\n</ul>\n</body>\n</html>\n";

bool WritePage(const std::filesystem::path& path, std::string_view text, std::ostream& err) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (error || !file) {
        err << "talu-cli: cannot write " << path.string() << '\n';
        return false;
    }
    return true;
}

}  // namespace

int WriteTagReference(const std::string& folder, std::string_view descriptions, std::ostream& out,
                      std::ostream& err) {
    TagDescriptions parsed;
    TagReference reference;
    std::vector<std::string> problems;
    if (ParseTagDescriptions(descriptions, parsed, problems)) {
        BuildTagReference(parsed, reference, problems);
    }
    for (const std::string& problem : problems) {
        err << "talu-cli: tag descriptions: " << problem << '\n';
    }
    if (!problems.empty()) {
        return 1;
    }
    const std::filesystem::path root(folder);
    const std::filesystem::path pages[] = {root / "ja" / "index.html", root / "en" / "index.html"};
    for (int langMode = 0; langMode < 2; ++langMode) {
        if (!WritePage(pages[langMode], TagReferenceHtml(reference, langMode), err)) {
            return 1;
        }
        out << pages[langMode].string() << '\n';
    }
    return WritePage(root / "index.html", kChooser, err) ? 0 : 1;
}

}  // namespace talu::cli
