// Which books an archive offers the reader, and that the one offered opens and reads its files
// from the archive, wherever its folder's name came from and whatever the archive tries.
#include "app/archive_books.h"

#include <gtest/gtest.h>

#include <clocale>

#include "script/book.h"
#include "stage/archive_member_source.h"
#include "stage/plugin_list.h"
#include "support/archive_bytes.h"
#include "support/temp_folder.h"

namespace talu::app {
namespace {

using Books = std::vector<std::string>;

class ArchiveBooksTest : public ::testing::Test {
  protected:
    /// The books of an archive written with the bytes given.
    Books Found(const std::string& name, const std::string& bytes) {
        const std::filesystem::path file = dir_.Write(name, bytes);
        EXPECT_TRUE(IsBookArchive(file)) << name;
        const ArchiveBooks found = FindArchiveBooks(file);
        EXPECT_TRUE(found.readable) << name;
        return found.books;
    }

    /// Every text item of the book at an inside path as the player reads it (archives too).
    std::string ReadBook(const std::string& inside) {
        stage::PluginList plugins;
        plugins.Scan();
        stage::PluginArchiveSource archives(plugins);
        script::Book book(script::BookServices{nullptr, nullptr, &archives, {}});
        if (!book.OpenPath(inside)) {
            return "(cannot open)";
        }
        std::string text;
        for (const script::Book::Item& item : book.Items()) {
            text += item.text + '|';
        }
        return text;
    }

    test::TempFolder dir_;
};

TEST_F(ArchiveBooksTest, TheBookAtTheTopOrInTheOneTopFolderIsOfferedAndReadsItsIncludes) {
    EXPECT_EQ(Found("top.zip", test::StoredZip({{"readme.txt", "x"}, {"Game.TALU", "a"}})),
              Books{"Game.TALU"});
    // Books deeper in a folder are the book's other files, not books to offer.
    const std::filesystem::path zip =
        dir_.Write("folder.zip", test::StoredZip({{"readme.txt", "x"},
                                                  {"game/tale.talu", "one<INCLUDE SRC=\"inc\">"},
                                                  {"game/inc", "two"},
                                                  {"game/chap/next.talu", "three"}}));
    const ArchiveBooks found = FindArchiveBooks(zip);
    ASSERT_EQ(found.books, Books{"game\\tale.talu"});
    EXPECT_EQ(ReadBook(ArchiveMemberInsidePath(zip, found.books[0])),
              "one|two| <INCLUDE SRC=\"inc\">|");
}

TEST_F(ArchiveBooksTest, SeveralBooksAreAllOfferedAndPickedByPathOrUniqueName) {
    const Books both = {"a\\first.talu", "a\\second.talu"};
    const std::string zip = test::StoredZip({{"a/first.talu", "1"}, {"a/second.talu", "2"}});
    EXPECT_EQ(Found("two.zip", zip), both);
    const ArchiveBooks found{true, both};
    EXPECT_EQ(PickArchiveBook(found, "A/SECOND.talu"), "a\\second.talu");
    EXPECT_EQ(PickArchiveBook(found, "first.TALU"), "a\\first.talu");
    EXPECT_EQ(PickArchiveBook(found, "third.talu"), std::nullopt);
    EXPECT_EQ(PickArchiveBook(ArchiveBooks{true, {"x\\b.talu", "b.talu"}}, "B.talu"), "b.talu");
    EXPECT_EQ(PickArchiveBook(ArchiveBooks{true, {"x\\b.talu", "y\\b.talu"}}, "b.talu"),
              std::nullopt);
}

TEST_F(ArchiveBooksTest, AnArchiveWithoutABookWhereOneIsLookedForOffersNone) {
    EXPECT_EQ(Found("none.zip", test::StoredZip({{"readme.txt", "x"}})), Books{});
    // Two top folders: neither is the book's.
    EXPECT_EQ(Found("two.zip", test::StoredZip({{"a/a.talu", "x"}, {"b/b.talu", "x"}})), Books{});
    EXPECT_EQ(Found("deep.zip", test::StoredZip({{"a/b/deep.talu", "x"}})), Books{});
    // A book file, or a file that only starts like an archive, is no archive to look into.
    EXPECT_FALSE(IsBookArchive(dir_.Write("book.talu", test::StoredZip({{"a.talu", "x"}}))));
    const std::filesystem::path broken = dir_.Write("broken.zip", "PK\x03\x04 and nothing more");
    EXPECT_TRUE(IsBookArchive(broken));
    EXPECT_FALSE(FindArchiveBooks(broken).readable);
    EXPECT_FALSE(IsBookArchive(dir_.Path()));
    EXPECT_FALSE(IsBookArchive(dir_.Path() / "missing.zip"));
}

// "表" is 0x95 0x5C in CP932: its second byte is a backslash, which must not split the name.
TEST_F(ArchiveBooksTest, AShiftJisFolderNameHoldsTheBookUnderTheCLocale) {
    const std::string folder = "\x95\x5C\x8E\xA6";  // 表示
    const std::string before = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    const std::filesystem::path lzh = dir_.Write(
        "sjis.lzh", test::StoredLha({{folder + "\\tale.talu", "hello<INCLUDE SRC=\"inc\">"},
                                     {folder + "\\inc", "world"}}));
    const ArchiveBooks found = FindArchiveBooks(lzh);
    ASSERT_EQ(found.books, Books{folder + "\\tale.talu"});
    EXPECT_EQ(ReadBook(ArchiveMemberInsidePath(lzh, found.books[0])),
              "hello|world| <INCLUDE SRC=\"inc\">|");
    std::setlocale(LC_ALL, before.c_str());
}

TEST_F(ArchiveBooksTest, MembersThatLeadOutOfTheArchiveOrAreLinksAreNeverOffered) {
    EXPECT_EQ(Found("names.zip", test::StoredZip({{"../up.talu", "x"},
                                                  {"/root.talu", "x"},
                                                  {"C:/drive.talu", "x"},
                                                  {"./here.talu", "x"},
                                                  {"a/../b.talu", "x"},
                                                  {"a//c.talu", "x"}})),
              Books{});
    // The traversal members do not count as the top folder either.
    EXPECT_EQ(Found("folder.lzh", test::StoredLha({{"..\\x\\y.talu", "x"}, {"g\\g.talu", "x"}})),
              Books{"g\\g.talu"});
    EXPECT_EQ(Found("links.tar", test::Ustar({{"link.talu", "", '2', "/etc/passwd"},
                                              {"hard.talu", "", '1', "link.talu"},
                                              {"real.txt", "x"}})),
              Books{});
}

}  // namespace
}  // namespace talu::app
