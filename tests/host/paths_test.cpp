#include "host/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "host/encoding.h"
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

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(ShiftJisBytes, LeadAndTrailRangesAndCharacterLengths) {
    for (unsigned char byte : {0x81, 0x9F, 0xE0, 0xFC}) {
        EXPECT_TRUE(IsLeadByte(byte)) << int{byte};
    }
    for (unsigned char byte : {0x80, 0xA0, 0xDF, 0xFD}) {  // half-width katakana are single bytes
        EXPECT_FALSE(IsLeadByte(byte)) << int{byte};
    }
    EXPECT_TRUE(IsTrailByte(0x5C));  // the backslash can be a trail byte
    EXPECT_FALSE(IsTrailByte(0x7F));
    const std::string text =
        "a\x95\x5C"
        "b\x82";
    EXPECT_EQ(CharLength(text, 0), 1u);
    EXPECT_EQ(CharLength(text, 1), 2u);
    EXPECT_EQ(CharLength(text, 3), 1u);
    EXPECT_EQ(CharLength(text, 4), 1u);  // a lead byte at the end stands alone
}

TEST(Cp932Conversion, ConvertsJapaneseBothWays) {
    std::string cp932 = "\x82\xA0\x95\x5C\xB1";  // あ 表 ｱ
    std::string utf8 = Cp932ToUtf8(cp932);
    EXPECT_EQ(utf8, "\xE3\x81\x82\xE8\xA1\xA8\xEF\xBD\xB1");
    EXPECT_EQ(Utf8ToCp932(utf8), cp932);
    EXPECT_EQ(Cp932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));  // NUL bytes survive
}

TEST(Cp932Conversion, BrokenInputBecomesReplacementsOrQuestionMarks) {
    // Each invalid byte becomes one replacement; a bad trail is kept as text.
    EXPECT_EQ(Cp932ToUtf8("a\x81\x20"
                          "b"),
              "a" + kReplacement + " b");
    EXPECT_EQ(Cp932ToUtf8("x\x82"), "x" + kReplacement);  // cut pair at the end
    EXPECT_EQ(Cp932ToUtf8("\xFF"
                          "z"),
              kReplacement + "z");
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b");  // an emoji has no CP932 form
    EXPECT_EQ(Utf8ToCp932("a\xC3"
                          "b"),
              "a?b");  // truncated sequence
    // The exact forms refuse anything lossy.
    EXPECT_EQ(Cp932ToUtf8Exact("\x82\xA0"), std::optional<std::string>("\xE3\x81\x82"));
    EXPECT_EQ(Cp932ToUtf8Exact("\x82"), std::nullopt);
    EXPECT_EQ(Utf8ToCp932Exact("\xF0\x9F\x98\x80"), std::nullopt);
    EXPECT_EQ(Utf8ToCp932Exact("abc"), std::optional<std::string>("abc"));
}

}  // namespace
}  // namespace talu::host
