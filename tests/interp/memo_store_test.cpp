#include "interp/memo_store.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/file_contents.h"
#include "support/finishes_in_time.h"
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

TEST(MemoStore, APipeADeviceOrAGiantOfTheMemosNameIsNotRead) {
    test::TempFolder dir;
    const auto memo = dir.Path() / "book.memo";
    // A valid memo first, then nothing but zeros up to past the cap.
    const std::string valid = "###START_LIST###\r\nk\tv\r\n###END_LIST###\r\n";
    auto readsNothing = [&] {
        MemoStore store;
        store.Load(dir.Inside("book.memo"));
        std::string value;
        return !store.Lookup("k", value) && store.Path() == dir.Inside("book.memo");
    };
    ASSERT_EQ(::mkfifo(memo.c_str(), 0600), 0);
    EXPECT_TRUE(test::FinishesInTime(readsNothing));
    std::filesystem::remove(memo);
    std::filesystem::create_symlink("/dev/zero", memo);
    EXPECT_TRUE(test::FinishesInTime(readsNothing));
    std::filesystem::remove(memo);
    dir.Write("book.memo", valid);
    std::filesystem::resize_file(memo, kMaxMemoFileBytes + 1);
    EXPECT_TRUE(test::FinishesInTime(readsNothing));
    // The same memo within the cap is read.
    std::filesystem::resize_file(memo, valid.size());
    EXPECT_FALSE(test::FinishesInTime(readsNothing));
}

}  // namespace
}  // namespace talu::interp
