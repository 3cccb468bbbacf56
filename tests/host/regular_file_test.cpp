#include "host/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace
}  // namespace talu::host
