// Reading and writing the book's files: regular files within a cap, whole replacements.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "host/atomic_file.h"
#include "host/regular_file.h"
#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace talu::host {
namespace {

namespace fs = std::filesystem;

TEST(RegularFile, OnlyARegularFileWithinTheCapIsRead) {
    test::TempFolder dir;
    const fs::path file = dir.Write("a.txt", "twelve bytes");
    const fs::path pipe = dir.Path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink(file, dir.Path() / "link");
    fs::create_symlink("/dev/zero", dir.Path() / "zero");
    fs::create_directory(dir.Path() / "folder");
    struct Case {
        fs::path path;
        std::size_t cap;
        LastLink link;
        ReadRefusal refusal;
    };
    const Case refused[] = {
        {dir.Path() / "missing", 100, LastLink::kRefuse, ReadRefusal::kMissing},
        {pipe, 100, LastLink::kFollow, ReadRefusal::kNotRegular},  // at once, without a writer
        {dir.Path() / "link", 100, LastLink::kRefuse, ReadRefusal::kNotRegular},
        {dir.Path() / "zero", 100, LastLink::kRefuse, ReadRefusal::kNotRegular},
        {dir.Path() / "zero", 100, LastLink::kFollow, ReadRefusal::kNotRegular},
        {dir.Path() / "folder", 100, LastLink::kRefuse, ReadRefusal::kNotRegular},
        {file, 11, LastLink::kRefuse, ReadRefusal::kTooLarge},
    };
    for (const Case& c : refused) {
        const RegularFileRead read = ReadRegularFile(c.path, c.cap, c.link);
        EXPECT_FALSE(read.bytes) << c.path;
        EXPECT_EQ(read.refusal, c.refusal) << c.path;
    }
    EXPECT_EQ(ReadRegularFile(file, 12).bytes, "twelve bytes");
    EXPECT_EQ(ReadRegularFile(dir.Path() / "link", 12, LastLink::kFollow).bytes, "twelve bytes");
}

// The whole file is replaced, never a folder or a pipe, and no temporary file is left.
TEST(WriteFileAtomically, ReplacesOnlyARegularFileWholeAndLeavesNoTemporary) {
    test::TempFolder dir;
    auto path = dir.Write("f.txt", "a much longer old content");
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(test::ReadText(path), "new");
    const auto pipe = dir.Path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directory(dir.Path() / "folder");
    for (const fs::path& taken : {pipe, dir.Path() / "folder", dir.Path() / "missing" / "f.txt"}) {
        EXPECT_FALSE(WriteFileAtomically(taken, "x")) << taken;
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_directory(dir.Path() / "folder"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 3);
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
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2);
    const FileContents both[] = {{first, "new a"}, {second, "new b"}};
    EXPECT_TRUE(WriteFilesAtomically(both));
    EXPECT_EQ(test::ReadText(first), "new a");
    EXPECT_EQ(test::ReadText(second), "new b");
}

}  // namespace
}  // namespace talu::host
