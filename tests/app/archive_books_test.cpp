// Which books an archive offers the reader, and that the one offered reads its files from the
// archive whatever its folder is called and whatever names the archive tries.
#include "app/archive_books.h"

#include <gtest/gtest.h>

#include <clocale>

#include "script/book.h"
#include "stage/archive_member_source.h"
#include "support/archive_bytes.h"
#include "support/temp_folder.h"

namespace talu::app {
namespace {

using Books = std::vector<std::string>;

class ArchiveBooksTest : public ::testing::Test {
  protected:
    Books Found(const std::string& name, const test::ArchiveMembers& members) {
        return FindArchiveBooks(dir_.Write(name, test::StoredZip(members))).books;
    }
    test::TempFolder dir_;
};

TEST_F(ArchiveBooksTest, TheBooksAtTheTopOrElseInTheOneTopFolder) {
    EXPECT_EQ(Found("top.zip", {{"readme.txt", "x"}, {"Game.TALU", "a"}, {"sub/x.talu", "b"}}),
              Books{"Game.TALU"});
    EXPECT_EQ(Found("two.zip", {{"a/1.talu", ""}, {"a/2.talu", ""}, {"a/c/3.talu", ""}}),
              (Books{"a\\1.talu", "a\\2.talu"}));
    EXPECT_EQ(Found("folders.zip", {{"a/a.talu", "x"}, {"b/b.talu", "x"}}), Books{});
    EXPECT_EQ(Found("deep.zip", {{"a/b/deep.talu", "x"}}), Books{});
    // A book is never looked into, a broken archive is told apart from one without a book.
    EXPECT_FALSE(IsBookArchive(dir_.Write("book.talu", test::StoredZip({{"a.talu", "x"}}))));
    const std::filesystem::path broken = dir_.Write("broken.zip", "PK\x03\x04 cut short");
    EXPECT_TRUE(IsBookArchive(broken));
    EXPECT_FALSE(FindArchiveBooks(broken).readable);

    const ArchiveBooks two{true, {"x\\b.talu", "b.talu", "y\\c.talu", "z\\c.talu"}};
    EXPECT_EQ(PickArchiveBook(two, "X/B.talu"), "x\\b.talu");
    EXPECT_EQ(PickArchiveBook(two, "B.TALU"), "b.talu");
    EXPECT_EQ(PickArchiveBook(two, "c.talu"), std::nullopt);  // which of the two?
}

// "表" is 0x95 0x5C in CP932: its second byte is a backslash, which must not split the name.
TEST_F(ArchiveBooksTest, AShiftJisFolderHoldsTheBookAndItsIncludeUnderTheCLocale) {
    const std::string folder = "\x95\x5C\x8E\xA6";  // 表示
    const std::string before = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    const std::filesystem::path lzh = dir_.Write(
        "sjis.lzh",
        test::StoredLha({{folder + "\\tale.talu", "A<INCLUDE SRC=\"i\">"}, {folder + "\\i", "B"}}));
    const ArchiveBooks found = FindArchiveBooks(lzh);
    ASSERT_EQ(found.books, Books{folder + "\\tale.talu"});
    stage::PluginList plugins;
    plugins.Scan();
    stage::PluginArchiveSource archives(plugins);
    script::Book book(script::BookServices{nullptr, nullptr, &archives, {}});
    ASSERT_TRUE(book.OpenPath(ArchiveMemberInsidePath(lzh, found.books[0])));
    ASSERT_GE(book.Items().size(), 2u);
    EXPECT_EQ(book.Items()[0].text + book.Items()[1].text, "AB");
    std::setlocale(LC_ALL, before.c_str());
}

TEST_F(ArchiveBooksTest, MembersThatLeadOutOfTheArchiveAreNeverBooksNorItsTopFolder) {
    EXPECT_EQ(Found("names.zip", {{"../up.talu", ""},
                                  {"/root.talu", ""},
                                  {"C:/drive.talu", ""},
                                  {"./here.talu", ""},
                                  {"a//b.talu", ""},
                                  {"..\\x/y.talu", ""},
                                  {"g/g.talu", ""}}),
              Books{"g\\g.talu"});
}

}  // namespace
}  // namespace talu::app
