#include "host/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace talu::host {
namespace {

TEST(WriteFileAtomically, ReplacesTheWholeFileLeavesNoTemporaryAndFailsWithoutAFolder) {
    test::TempFolder dir;
    auto path = dir.Write("f.txt", "a much longer old content");
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(test::ReadText(path), "new");
    EXPECT_FALSE(WriteFileAtomically(dir.Path() / "missing" / "f.txt", "x"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(WriteFileAtomically, NeverReplacesAFolderOrAPipe) {
    test::TempFolder dir;
    const auto pipe = dir.Path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.Path() / "folder");
    for (const std::filesystem::path& taken : {pipe, dir.Path() / "folder"}) {
        EXPECT_FALSE(WriteFileAtomically(taken, "x")) << taken;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "folder"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(WriteFilesAtomically, ABatchThatCannotBeWrittenWholeChangesNoFile) {
    test::TempFolder dir;
    auto first = dir.Write("a.memo", "old a");
    auto second = dir.Write("b.bmk", "old b");
    const FileContents blocked[] = {
        {first, "new a"}, {dir.Path() / "none" / "c", "x"}, {second, "new b"}};
    EXPECT_FALSE(WriteFilesAtomically(blocked));
    EXPECT_EQ(test::ReadText(first), "old a");
    EXPECT_EQ(test::ReadText(second), "old b");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    const FileContents both[] = {{first, "new a"}, {second, "new b"}};
    EXPECT_TRUE(WriteFilesAtomically(both));
    EXPECT_EQ(test::ReadText(first), "new a");
    EXPECT_EQ(test::ReadText(second), "new b");
}

}  // namespace
}  // namespace talu::host
