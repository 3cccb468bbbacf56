#include "app/read_pages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace talu::app {
namespace {

// Pages merge into ranges as they are read, whatever the order, and the text form reads back
// exactly what was written.
TEST(PageRanges, PagesMergeIntoRangesThatReadBackTheSame) {
    PageRanges pages;
    for (int index : {5, 3, 4, 9, 0, 7, 8, PageRanges::kMaxIndex}) {
        EXPECT_TRUE(pages.Insert("A.TALU", index)) << index;
    }
    EXPECT_FALSE(pages.Insert("A.TALU", 4));  // read before
    EXPECT_TRUE(pages.Insert("SUB\\B.TALU", 2));
    EXPECT_FALSE(pages.Insert("A.TALU", -1));
    EXPECT_FALSE(pages.Insert("A.TALU", PageRanges::kMaxIndex + 1));
    EXPECT_FALSE(pages.Insert("BAD\tNAME", 1));  // the text form could not hold it
    const std::string text = pages.Text();
    EXPECT_EQ(text, "talu read pages 1\nA.TALU\t0,3-5,7-9,999999999\nSUB\\B.TALU\t2\n");
    PageRanges again;
    ASSERT_TRUE(again.Read(text));
    EXPECT_EQ(again.Text(), text);
    for (int index = 0; index < 12; ++index) {
        EXPECT_EQ(again.Contains("A.TALU", index),
                  index == 0 || (index >= 3 && index <= 5) || (index >= 7 && index <= 9))
            << index;
    }
    EXPECT_FALSE(again.Contains("B.TALU", 2));
    EXPECT_TRUE(again.Contains("SUB\\B.TALU", 2));
}

// Damaged and foreign text is read only as far as it can be trusted, never further.
TEST(PageRanges, DamagedTextKeepsOnlyTheLinesBeforeTheDamage) {
    const std::string header = "talu read pages 1\n";
    const struct {
        const char* name;
        std::string text;
        bool ok;
        std::string kept;  // the ranges as Text writes them, after the header
    } cases[] = {
        {"empty", "", false, ""},
        {"foreign", "[SYSTEM]\nA.TALU\t1\n", false, ""},
        {"a later version", "talu read pages 2\nA.TALU\t1\n", false, ""},
        {"header only", header, true, ""},
        {"cut in a number", header + "A.TALU\t1-5\nB.TALU\t1-4", false, "A.TALU\t1-5\n"},
        {"overlapping", header + "A.TALU\t8-12,1-5,3-9,20,13\n", true, "A.TALU\t1-13,20\n"},
        {"the same file twice", header + "A\t1\nA\t2\n", true, "A\t1-2\n"},
        {"reversed range", header + "A\t1\nB\t5-2\nC\t1\n", false, "A\t1\n"},
        {"ten digits", header + "A\t1\nB\t1000000000\n", false, "A\t1\n"},
        {"huge range", header + "A\t0-999999999\n", true, "A\t0-999999999\n"},
        {"negative", header + "A\t-1\n", false, ""},
        {"no tab", header + "A 1\n", false, ""},
        {"no name", header + "\t1\n", false, ""},
        {"trailing comma", header + "A\t1,\n", false, ""},
        {"no pages", header + "A\t\n", false, ""},
        {"a name too long", header + std::string(PageRanges::kMaxFileName + 1, 'x') + "\t1\n",
         false, ""},
        {"windows line ends", header + "A\t1\r\n", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRanges pages;
        pages.Insert("OLD", 1);  // what was there before goes
        EXPECT_EQ(pages.Read(c.text), c.ok);
        EXPECT_EQ(pages.Text(), header + c.kept);
    }
}

class ReadPagesTest : public ::testing::Test {
  protected:
    test::TempFolder dir;
    std::filesystem::path file = dir.Path() / "tale.read";
    ReadPages::Place Place() const { return {dir.Inside("tale.read"), nullptr}; }
    std::string Book() const { return dir.InsideFolder() + "Tale.talu"; }
};

// The file is written every fifty new pages and when the book closes, atomically, and a later
// reading (case and a moved folder aside) finds the pages in it.
TEST_F(ReadPagesTest, WrittenEveryFiftyPagesAndAtCloseAndReadAgain) {
    ReadPages pages;
    pages.Bind(Place(), dir.InsideFolder());
    for (int i = 0; i < ReadPages::kSaveEvery - 1; ++i) {
        EXPECT_TRUE(pages.Record(Book(), i * 2));
    }
    EXPECT_FALSE(pages.Record(Book(), 0));
    EXPECT_FALSE(std::filesystem::exists(file));
    pages.Record(Book(), 1000);
    EXPECT_TRUE(std::filesystem::exists(file));
    pages.Record(dir.InsideFolder() + "other.talu", 3);
    pages.Unbind();
    EXPECT_FALSE(pages.Contains(Book(), 1000));

    ReadPages again;
    again.Bind(Place(), dir.InsideFolder());
    EXPECT_TRUE(again.Contains(Book(), 96));
    EXPECT_FALSE(again.Contains(Book(), 97));
    EXPECT_TRUE(again.Contains(dir.InsideFolder() + "TALE.TALU", 1000));
    EXPECT_TRUE(again.Contains(dir.InsideFolder() + "OTHER.talu", 3));
    EXPECT_EQ(test::ReadText(file).find(dir.Path().filename().string()), std::string::npos)
        << "names are kept relative to the book's folder";
}

// Whatever stands where the file should be is read in bounded time as no pages (or the pages
// before the damage), and a reading goes on and records pages as ever.
TEST_F(ReadPagesTest, HostileFilesAreReadAsEmptyOrPartial) {
    const std::string header = "talu read pages 1\n";
    const auto huge = [&] {
        std::filesystem::resize_file(dir.Write("tale.read", header + "TALE.TALU\t1\n"),
                                     std::uintmax_t{100} << 20);
    };
    const auto fifo = [&] { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); };
    const auto link = [&] {
        dir.Write("elsewhere", header + "TALE.TALU\t1\n");
        std::filesystem::create_symlink(dir.Path() / "elsewhere", file);
    };
    const auto folder = [&] { std::filesystem::create_directory(file); };
    const auto cut = [&] { dir.Write("tale.read", header + "TALE.TALU\t1\nTALE.TALU\t2-9"); };
    const struct {
        const char* name;
        std::function<void()> make;
        bool pageOne;
    } cases[] = {
        {"100 MB", huge, false},     {"a pipe", fifo, false},  {"a symbolic link", link, false},
        {"a folder", folder, false}, {"cut short", cut, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(file);
        c.make();
        ReadPages pages;
        pages.Bind(Place(), dir.InsideFolder());
        EXPECT_EQ(pages.Contains(Book(), 1), c.pageOne);
        EXPECT_FALSE(pages.Contains(Book(), 5));
        EXPECT_TRUE(pages.Record(Book(), 5));
        pages.Save();  // replaces what it can; a folder or a pipe stays as it was
        EXPECT_TRUE(pages.Contains(Book(), 5));
    }
}

}  // namespace
}  // namespace talu::app
