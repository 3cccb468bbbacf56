#include "interp/memo_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/temp_folder.h"

namespace talu::interp {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(MemoStore, ValuesOutliveTheStore) {
    test::TempFolder dir;
    const std::string path = dir.Inside("book.memo");
    {
        MemoStore memo;
        memo.Load(path);  // no file yet: nothing read, path remembered
        memo.Put("score", "42");
        memo.Flush();
    }
    EXPECT_EQ(ReadFile(dir.Path() / "book.memo"), "###START_LIST###\nscore\t42\n###END_LIST###\n");
    MemoStore later;
    later.Load(path);
    std::string value;
    ASSERT_TRUE(later.Lookup("score", value));
    EXPECT_EQ(value, "42");
}

TEST(MemoStore, EraseDeletesTheFileButKeepsTheValues) {
    test::TempFolder dir;
    dir.Write("BOOK.MEMO", "###START_LIST###\nk\tv\n###END_LIST###\n");
    MemoStore memo;
    memo.Load(dir.Inside("book.memo"));  // found in any case
    memo.Erase();
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "BOOK.MEMO"));
    std::string value;
    EXPECT_TRUE(memo.Lookup("k", value));
    memo.Erase();  // a missing file is no error
}

TEST(MemoStore, SavingReplacesTheFileInAnyCaseAndSkipsMissingFolders) {
    test::TempFolder dir;
    dir.Write("Book.Memo", "old");
    MemoStore memo;
    memo.Put("a", "1");
    memo.Save(dir.Inside("book.memo"));
    EXPECT_EQ(ReadFile(dir.Path() / "Book.Memo"), "###START_LIST###\na\t1\n###END_LIST###\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    memo.Save(dir.Inside("no/such/folder/x.memo"));
    EXPECT_EQ(memo.Path(), dir.Inside("no/such/folder/x.memo"));
}

TEST(MemoStore, ABrokenFileReadsWhatItHolds) {
    test::TempFolder dir;
    dir.Write("x.memo", "###START_LIST###\nk\tv\ntruncated");
    MemoStore memo;
    memo.Load(dir.Inside("x.memo"));
    std::string value;
    EXPECT_TRUE(memo.Lookup("k", value));
}

}  // namespace
}  // namespace talu::interp
