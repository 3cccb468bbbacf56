#include "interp/memo_store.h"

#include <gtest/gtest.h>

#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace talu::interp {
namespace {

TEST(MemoStore, ValuesOutliveTheStoreAndSavingReplacesTheFileInAnyCase) {
    test::TempFolder dir;
    {
        MemoStore memo;
        memo.Load(dir.Inside("book.memo"));  // no file yet: nothing read, path remembered
        memo.Put("score", "42");
        memo.Flush();
    }
    EXPECT_EQ(test::ReadText(dir.Path() / "book.memo"),
              "###START_LIST###\r\nscore\t42\r\n###END_LIST###\r\n");
    MemoStore later;
    later.Load(dir.Inside("BOOK.MEMO"));
    std::string value;
    ASSERT_TRUE(later.Lookup("score", value));
    EXPECT_EQ(value, "42");
    later.Put("score", "43");
    later.Save(dir.Inside("Book.Memo"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    EXPECT_EQ(test::ReadText(dir.Path() / "book.memo"),
              "###START_LIST###\r\nscore\t43\r\n###END_LIST###\r\n");

    later.Save(dir.Inside("no/such/folder/x.memo"));  // skipped, but remembered
    EXPECT_EQ(later.Path(), dir.Inside("no/such/folder/x.memo"));
}

TEST(MemoStore, EraseDeletesTheFileButKeepsTheValuesAndABrokenFileReadsWhatItHolds) {
    test::TempFolder dir;
    dir.Write("BOOK.MEMO", "###START_LIST###\nk\tv\ntruncated");
    MemoStore memo;
    memo.Load(dir.Inside("book.memo"));  // found in any case
    memo.Erase();
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "BOOK.MEMO"));
    std::string value;
    EXPECT_TRUE(memo.Lookup("k", value));
    memo.Erase();  // a missing file is no error
}

}  // namespace
}  // namespace talu::interp
