#include "frontend/cli/scratch_book.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace talu::cli {
namespace {

namespace fs = std::filesystem;

/// Every file below folder with its bytes, and every folder with "<folder>".
std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        contents[entry.path().lexically_relative(folder).string()] =
            entry.is_regular_file() ? test::ReadText(entry.path()) : "<folder>";
    }
    return contents;
}

TEST(ScratchBook, RestoreUndoesEveryKindOfWrite) {
    test::TempFolder author;
    author.Write("book.talu", "text<P>");
    author.Write("book.memo", "score\t1\n");
    author.Write("img/bg.bmp", "BM-old");
    const auto before = Contents(author.Path());

    std::string problem;
    auto scratch = ScratchBook::Create(author.Path() / "book.talu", problem);
    ASSERT_NE(scratch, nullptr) << problem;
    const fs::path copy = scratch->Book().parent_path();
    EXPECT_EQ(Contents(copy), before);
    EXPECT_EQ(scratch->InsideSourceFolder(), author.InsideFolder());

    // What runs do: rewrite a picture in place with the same size at once, replace a memo,
    // delete one, add files and a folder.
    for (int run = 0; run < 2; ++run) {
        std::ofstream(copy / "img/bg.bmp", std::ios::binary | std::ios::trunc) << "BM-new";
        std::ofstream(copy / "book.00.memo") << "x\t1\n";
        fs::remove(copy / "book.memo");
        fs::create_directory(copy / "shots");
        std::ofstream(copy / "shots/a.bmp") << "BM";
        ASSERT_TRUE(scratch->Restore(problem)) << problem;
        EXPECT_EQ(Contents(copy), before) << "run " << run;
    }
    EXPECT_EQ(Contents(author.Path()), before);

    scratch.reset();
    EXPECT_FALSE(fs::exists(copy));
}

// A large file beside the book is read where it is, not copied; a run that replaces it (as
// atomic writes and SNAP do) leaves the author's file alone and the next run reads it again.
TEST(ScratchBook, LinksFilesNoRunWritesAndPutsBackWhatReplacedThem) {
    test::TempFolder author;
    author.Write("book.talu", "text<P>");
    const fs::path big = author.Write("movie.dat", "");
    fs::resize_file(big, std::uintmax_t{1} << 30);  // sparse: no blocks on disk

    std::string problem;
    auto scratch = ScratchBook::Create(author.Path() / "book.talu", problem);
    ASSERT_NE(scratch, nullptr) << problem;
    const fs::path copy = scratch->Book().parent_path();
    ASSERT_TRUE(fs::is_symlink(copy / "movie.dat"));
    EXPECT_EQ(fs::file_size(copy / "movie.dat"), fs::file_size(big));
    EXPECT_TRUE(fs::is_symlink(copy / "book.talu"));
    EXPECT_EQ(test::ReadText(scratch->Book()), "text<P>");

    test::TempFolder elsewhere;
    const fs::path written = elsewhere.Write("new", "replaced");
    fs::copy_file(written, copy / "book.talu.tmp");
    fs::rename(copy / "book.talu.tmp", copy / "book.talu");
    ASSERT_TRUE(scratch->Restore(problem)) << problem;
    EXPECT_TRUE(fs::is_symlink(copy / "book.talu"));
    EXPECT_EQ(test::ReadText(author.Path() / "book.talu"), "text<P>");
    EXPECT_EQ(test::ReadText(scratch->Book()), "text<P>");
}

}  // namespace
}  // namespace talu::cli
