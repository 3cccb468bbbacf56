#include "host/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/temp_folder.h"

namespace talu::host {
namespace {

namespace fs = std::filesystem;

TEST(InsidePaths, HostPathsLiveOnDriveZ) {
    EXPECT_EQ(InsidePathFromHost("/home/u/books/a.talu"), "Z:\\home\\u\\books\\a.talu");
    EXPECT_EQ(InsidePathFromHost("/"), "Z:\\");
    // A Japanese folder name becomes CP932 bytes inside.
    EXPECT_EQ(InsidePathFromHost("/\xE8\xA1\xA8/a"), "Z:\\\x95\x5C\\a");
    // And back, whether or not the path exists; other drives have no host form.
    EXPECT_EQ(HostPathFromInside("Z:\\\x95\x5C\\a\\"), fs::path("/\xE8\xA1\xA8/a/"));
    EXPECT_EQ(HostPathFromInside("z:\\"), fs::path("/"));
    for (const char* other : {"C:\\x", "img\\x.bmp", "Z:x", ""}) {
        EXPECT_EQ(HostPathFromInside(other), std::nullopt) << other;
    }
    std::string folder = ProgramFolder();
    EXPECT_EQ(folder.substr(0, 3), "Z:\\");
    EXPECT_EQ(folder.back(), '\\');
}

class FindHostPathTest : public ::testing::Test {
  protected:
    test::TempFolder dir;
    std::string bookFolder = dir.InsideFolder();

    std::optional<fs::path> Find(std::string_view inside) {
        return FindHostPath(inside, HostPathOptions{bookFolder});
    }
};

TEST_F(FindHostPathTest, MatchesEveryComponentIgnoringCaseButPrefersTheExactSpelling) {
    fs::path file = dir.Write("Img/Bg01.bmp", "x");
    EXPECT_EQ(Find(dir.Inside() + "\\IMG\\bg01.BMP"), file);
    EXPECT_EQ(Find(dir.Inside() + "/img/BG01.bmp"), file);  // slashes as Windows took them
    dir.Write("a.txt", "lower");
    fs::path upper = dir.Write("A.txt", "upper");
    EXPECT_EQ(Find(dir.Inside() + "\\A.txt"), upper);
}

TEST_F(FindHostPathTest, JapaneseNamesMatchAsUtf8AndAsRawBytes) {
    fs::path utf8 = dir.Write("\xE8\xA1\xA8/a.bmp", "x");       // "表" in UTF-8 on disk
    EXPECT_EQ(Find(dir.Inside() + "\\\x95\x5C\\A.BMP"), utf8);  // 0x5C trail byte is no separator
    fs::path raw = dir.Write("\x82\xA0.bmp", "x");              // CP932 bytes on disk
    EXPECT_EQ(Find(dir.Inside() + "\\\x82\xA0.bmp"), raw);
}

TEST_F(FindHostPathTest, RelativePathsAndOtherDrivesResolveAgainstTheBookFolder) {
    fs::path file = dir.Write("common/x.bmp", "x");
    dir.Write("book/img/face.bmp", "x");
    bookFolder = dir.Inside("book") + "\\";
    EXPECT_EQ(Find("..\\COMMON\\.\\x.bmp"), file);
    // Other drives resolve by their last components.
    EXPECT_EQ(Find("C:\\game\\img\\face.bmp"), dir.Path() / "book/img/face.bmp");
    EXPECT_EQ(Find("D:\\face.bmp"), std::nullopt);
    fs::path top = dir.Write("book/face.bmp", "x");
    EXPECT_EQ(Find("D:\\face.bmp"), top);
}

TEST_F(FindHostPathTest, FailsCleanly) {
    EXPECT_EQ(Find(dir.Inside() + "\\missing\\file.bmp"), std::nullopt);
    EXPECT_EQ(Find(""), std::nullopt);
    EXPECT_EQ(FindHostPath("relative.bmp", HostPathOptions{}), std::nullopt);
    EXPECT_EQ(FindHostPath("C:\\x.bmp", HostPathOptions{}), std::nullopt);
}

TEST(HostPathForWriting, NewFilesGoIntoExistingFolders) {
    test::TempFolder dir;
    dir.Write("Saves/old.bmk", "x");
    const std::string folder = dir.InsideFolder();
    EXPECT_EQ(HostPathForWriting(folder + "SAVES\\new.bmk", HostPathOptions{}),
              dir.Path() / "Saves" / "new.bmk");
    EXPECT_EQ(HostPathForWriting(folder + "saves\\OLD.BMK", HostPathOptions{}),
              dir.Path() / "Saves" / "old.bmk");
    EXPECT_EQ(HostPathForWriting(folder + "\x95\x5C.bmk", HostPathOptions{}),
              dir.Path() / "\xE8\xA1\xA8.bmk");
    EXPECT_EQ(HostPathForWriting("new.bmk", HostPathOptions{folder}), dir.Path() / "new.bmk");
    EXPECT_EQ(HostPathForWriting(folder + "missing\\new.bmk", HostPathOptions{}), std::nullopt);
    EXPECT_EQ(HostPathForWriting(folder + "saves\\", HostPathOptions{}), std::nullopt);
}

TEST(ReaderDataFolder, FollowsXdgDataHomeThenHome) {
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedData = oldData ? oldData : "";
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", "/home/reader", 1);
    ::setenv("XDG_DATA_HOME", "/data/x", 1);
    EXPECT_EQ(ReaderDataFolder(), "Z:\\data\\x\\Velmor\\talu\\");
    ::setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: not to be used
    EXPECT_EQ(ReaderDataFolder(), "Z:\\home\\reader\\.local\\share\\Velmor\\talu\\");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(ReaderDataFolder(), "Z:\\home\\reader\\.local\\share\\Velmor\\talu\\");
    oldData ? ::setenv("XDG_DATA_HOME", savedData.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    oldHome ? ::setenv("HOME", savedHome.c_str(), 1) : ::unsetenv("HOME");
}

}  // namespace
}  // namespace talu::host
