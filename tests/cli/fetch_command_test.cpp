#include "frontend/cli/fetch_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "host/paths.h"
#include "support/file_contents.h"

namespace talu::cli {
namespace {

const std::string kBooks = std::string(TALU_SOURCE_DIR) + "/tests/books/fetch/";

// Output names the book's folder, which depends on where the clone is.
std::string WithFolderMarked(std::string text, const std::string& folder) {
    for (std::size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at)) {
        text.replace(at, folder.size(), "{FOLDER}");
    }
    return text;
}

TEST(FetchCommand, PrintsEveryRecordAndEveryBox) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunFetch({kBooks + "book.talu", 1}, out, err), 0);
    EXPECT_EQ(err.str(), "");
    std::string folder = host::InsidePathFromHost(kBooks.substr(0, kBooks.size() - 1)) + "\\";
    EXPECT_EQ(WithFolderMarked(out.str(), folder), test::ReadText(kBooks + "book.expected"));
}

TEST(FetchCommand, JapaneseBoxes) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunFetch({kBooks + "book.talu", 0}, out, err), 0);
    EXPECT_NE(out.str().find("box TALUの文法に間違いがあります\\n\\nファイル\""),
              std::string::npos);
}

}  // namespace
}  // namespace talu::cli
