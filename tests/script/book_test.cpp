#include "script/book.h"

#include <filesystem>
#include <tuple>

#include "book_fixture.h"

namespace talu::script::test {
namespace {

using Strings = std::vector<std::string>;

TEST_F(BookTest, ReadsIncludesInPlaceAndIndexesLabelsAndTheFileAndLineOfEachItem) {
    dir.Write("sub/part.talu", "\n<A NAME=\"inner\">in<INCLUDE SRC=\"..\\common\\c.talu\">\n");
    dir.Write("common/c.talu", "<A NAME=\"deep\">");
    Open("a\n<INCLUDE SRC=\"sub\\part.talu\">b\n\n<A NAME=\"x\">");
    using Place = std::tuple<std::string, int, int>;
    std::vector<Place> places;
    for (const Book::Item& item : book.Items()) {
        places.emplace_back(item.text, item.file, item.line);
    }
    // Included items stand where the include stood, followed by the include tag itself.
    EXPECT_EQ(places, (std::vector<Place>{{"a", 0, 1},
                                          {"", 1, 1},
                                          {" <A NAME=\"inner\">", 1, 2},
                                          {"in", 1, 2},
                                          {" <A NAME=\"deep\">", 2, 1},
                                          {" <INCLUDE SRC=\"..\\common\\c.talu\">", 1, 2},
                                          {" <INCLUDE SRC=\"sub\\part.talu\">", 0, 2},
                                          {"b", 0, 2},
                                          {" <A NAME=\"x\">", 0, 4}}));
    ASSERT_EQ(book.Files().size(), 3u);
    EXPECT_EQ(book.Files()[0].path, dir.Inside("book.talu"));
    EXPECT_EQ(book.Files()[1].path, dir.InsideFolder() + "sub\\part.talu");
    EXPECT_TRUE(
        std::filesystem::equivalent(book.Files()[1].hostPath, dir.Path() / "sub/part.talu"));
    EXPECT_EQ(book.FindLabel("inner"), std::optional<std::size_t>(2));
    EXPECT_EQ(book.FindLabel("deep"), std::optional<std::size_t>(4));
    EXPECT_EQ(book.FindLabel("X"), std::nullopt);  // labels are case-sensitive
    EXPECT_TRUE(boxes.boxes.empty());
    // Back to the book's own folder.
    EXPECT_EQ(book.Folder(), dir.InsideFolder());
    EXPECT_EQ(book.Path(), dir.Inside("book.talu"));
    std::string value;
    ASSERT_TRUE(book.Substitutions().Lookup("CURRENT", value));
    EXPECT_EQ(value, dir.InsideFolder());
    ASSERT_TRUE(book.Substitutions().Lookup("PLAYER", value));
    EXPECT_EQ(value, "Z:\\player\\");
}

// Each file includes the next twice: 2^31 readings unless the reader stops it.
void WriteBranchingIncludes(const talu::test::TempFolder& dir) {
    for (int n = 0; n < 31; ++n) {
        const std::string next = "e" + std::to_string(n + 1) + ".inc";
        dir.Write(
            "e" + std::to_string(n) + ".inc",
            n == 30 ? "leaf\n" : "<INCLUDE SRC=\"" + next + "\"><INCLUDE SRC=\"" + next + "\">\n");
    }
}

TEST_F(BookTest, IncludesThatBranchOutStopAtTheReadLimitsWithOneError) {
    WriteBranchingIncludes(dir);
    struct Case {
        const char* name;
        ReadLimits limits;
    };
    const Case cases[] = {
        {"defaults", ReadLimits{}},
        {"bytes", ReadLimits{4000, SIZE_MAX, SIZE_MAX}},
        {"items", ReadLimits{SIZE_MAX, 500, SIZE_MAX}},
        {"files", ReadLimits{SIZE_MAX, SIZE_MAX, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingBoxes shown;
        Diagnostics told{shown, kLangEnglish};
        Book limited{BookServices{&told, nullptr, nullptr, "Z:\\player\\"}};
        limited.SetReadLimits(c.limits);
        dir.Write("book.talu", "<INCLUDE SRC=\"e0.inc\">after");
        ASSERT_TRUE(limited.OpenPath(dir.Inside("book.talu")));
        ASSERT_EQ(limited.ReadProblems().size(), 1u);
        EXPECT_EQ(limited.ReadProblems()[0].kind, Book::ReadProblem::Kind::kIncludeTooLarge);
        ASSERT_EQ(shown.boxes.size(), 1u);
        EXPECT_NE(shown.boxes[0].find("I can't open file"), std::string::npos);
        EXPECT_LE(limited.Files().size(), std::min<std::size_t>(c.limits.files, 1u << 14));
        EXPECT_LE(limited.Items().size(), std::min<std::size_t>(c.limits.items, 4u << 20) + 64);
        // The book's own text after the includes is still read.
        EXPECT_EQ(limited.Items().back().text, "after");
    }
    // A reading within the limits is whole; the limits start again with every reading.
    Book generous{BookServices{&diagnostics, nullptr, nullptr, ""}};
    dir.Write("small.talu", "<INCLUDE SRC=\"e25.inc\">");
    ASSERT_TRUE(generous.OpenPath(dir.Inside("small.talu")));
    EXPECT_TRUE(generous.ReadProblems().empty());
    EXPECT_EQ(generous.Files().size(), 64u);
    ASSERT_TRUE(generous.LoadOtherFile(dir.Inside("small.talu")));
    EXPECT_TRUE(generous.ReadProblems().empty());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(BookTest, AliasesServeTheIncludesThatFollowThem) {
    dir.Write("chapters/one.talu", "one");
    Open(
        "<ALIAS SRC=\"ch\" DEST=\"chapters\"><ALIAS SRC=\"first\" DEST=\"chapters\\one.talu\">\n"
        "<INCLUDE SRC=\"one.talu\" FOLDER=\"ch\"><INCLUDE SRC=\"first\">");
    EXPECT_TRUE(boxes.boxes.empty());
    ASSERT_EQ(book.Items().size(), 6u);
    EXPECT_EQ(book.Items()[2].text, "one");
    EXPECT_EQ(book.Items()[4].text, "one");
    // Aliases met while reading are forgotten once the book is open.
    EXPECT_FALSE(book.Substitutions().Contains("first"));
}

TEST(JoinPath, DotsCannotClimbAboveTheDrive) {
    EXPECT_EQ(JoinPath("Z:\\a\\b\\", "..\\..\\..\\c.txt"), "Z:\\c.txt");
    EXPECT_EQ(JoinPath("Z:\\a", "b\\"), "Z:\\a\\b\\");
    EXPECT_EQ(JoinPath("Z:\\a\\", ""), "Z:\\a\\");
    EXPECT_EQ(JoinPath("Z:\\a\\", "b\\.."), "Z:\\a\\");
    // The trail byte 0x5C of a double-byte character is no separator.
    EXPECT_EQ(JoinPath("Z:\\\x95\x5C\\", "..\\x"), "Z:\\x");
    EXPECT_EQ(JoinPath("Z:\\a\\", "\x95\x5C\\..\\y"), "Z:\\a\\y");
}

TEST_F(BookTest, BrokenFilesLoad) {
    static const char kBytes[] = "\x81\x00<A ALT=\"x>\n<FONT SIZE=\"1";
    Open(std::string(kBytes, sizeof(kBytes) - 1));
    // The NUL cut the first line; the unterminated tag runs to the end of the file.
    std::vector<std::vector<std::string>> records = FetchAll();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0][1], "62\t\x81");
    EXPECT_EQ(records[1], (Strings{"___COMMAND___\t22"}));
}

}  // namespace
}  // namespace talu::script::test
