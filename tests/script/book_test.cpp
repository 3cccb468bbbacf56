#include "script/book.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "script/debug_feed.h"
#include "script/diagnostics.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "support/temp_folder.h"

namespace talu::script::test {
namespace {

class RecordingBoxes : public MessageBoxHost {
  public:
    void ShowMessageBox(std::string_view text) override { boxes.emplace_back(text); }
    std::vector<std::string> boxes;
};

/// Each shown set of tags as "current|next|afterNext|index".
class RecordingFeed : public DebugFeed {
  public:
    void ShowTags(std::string_view current, std::string_view next, std::string_view afterNext,
                  int index) override {
        shown.push_back(std::string(current) + '|' + std::string(next) + '|' +
                        std::string(afterNext) + '|' + std::to_string(index));
    }
    std::vector<std::string> shown;
};

/// A book in a temporary folder, with its message boxes and debug feed recorded.
class BookTest : public ::testing::Test {
  protected:
    talu::test::TempFolder dir;
    RecordingBoxes boxes;
    RecordingFeed feed;
    Diagnostics diagnostics{boxes, kLangEnglish};
    Book book{BookServices{&diagnostics, &feed, nullptr, "Z:\\player\\"}};

    /// Writes the files, then opens the first one.
    void Open(std::string_view text) {
        dir.Write("book.talu", text);
        ASSERT_TRUE(book.OpenPath(dir.Inside("book.talu")));
    }

    /// The next delivered record.
    TagRecord Fetch() {
        TagRecord record;
        EXPECT_TRUE(book.FetchTag(record));
        return record;
    }

    int NextCommand() {
        int command = 0;
        Fetch().GetCommand(command);
        return command;
    }
};

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

TEST_F(BookTest, JumpsToLabelsAndReportsMissingOnes) {
    Open("a<A NAME=\"x\">b<A NAME=\"x\">c");
    ASSERT_TRUE(book.Jump("#x"));
    EXPECT_EQ(book.CurrentIndex(), 3);  // the later anchor of the same name
    EXPECT_EQ(NextCommand(), kw::kA);
    EXPECT_EQ(Fetch().AttributeText(kw::kSrc), "c");
    EXPECT_FALSE(book.Jump("#nowhere"));
    EXPECT_EQ(book.CurrentIndex(), 5);
    // A jump to a missing file stays in this one and still looks up the label.
    ASSERT_TRUE(book.Jump("missing.talu#x"));
    EXPECT_EQ(book.CurrentIndex(), 3);
    EXPECT_EQ(book.Path(), dir.Inside("book.talu"));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].substr(0, 32), "Syntax Error.c\n\nLink target \"#no");
    EXPECT_EQ(boxes.boxes[1], "Can not open file \"" + dir.InsideFolder() + "missing.talu\".");
}

TEST_F(BookTest, JumpsToOtherFiles) {
    dir.Write("two/second.talu",
              "<ALIAS SRC=\"k\" DEST=\"v\"><INCLUDE SRC=\"k\">s1<A NAME=\"here\">s2");
    dir.Write("two/v", "inc");
    Open("<ALIAS SRC=\"keep\" DEST=\"kept\">first<BGM SRC=\"keep\">");
    Fetch();
    ASSERT_TRUE(book.Jump("two\\second.talu#here"));
    EXPECT_TRUE(boxes.boxes.empty());  // the load-time alias served the include
    EXPECT_EQ(book.Path(), dir.InsideFolder() + "two\\second.talu");
    EXPECT_EQ(book.PositionText(), book.Path() + "\t4");
    EXPECT_EQ(NextCommand(), kw::kA);
    EXPECT_EQ(Fetch().AttributeText(kw::kSrc), "s2");
    // Aliases defined at run time survive the jump; CURRENT names the new folder.
    std::string value;
    ASSERT_TRUE(book.Substitutions().Lookup("keep", value));
    EXPECT_EQ(value, "kept");
    ASSERT_TRUE(book.Substitutions().Lookup("CURRENT", value));
    EXPECT_EQ(value, dir.InsideFolder() + "two\\");
    EXPECT_FALSE(book.Substitutions().Contains("k"));
}

TEST_F(BookTest, PositionsAreSavedAndRestored) {
    Open("a<BR>b<P>c");
    Fetch();
    Fetch();
    EXPECT_EQ(book.PositionText(), dir.Inside("book.talu") + "\t2");
    ASSERT_TRUE(book.RestorePosition(book.Path(), 0));
    EXPECT_EQ(Fetch().AttributeText(kw::kSrc), "a");
    ASSERT_TRUE(book.RestorePosition(book.Path(), 4));
    EXPECT_EQ(Fetch().AttributeText(kw::kSrc), "c");
    EXPECT_FALSE(book.SeekIndex(6));
    EXPECT_FALSE(book.SeekIndex(-1));
    EXPECT_EQ(book.CurrentIndex(), 5);
    EXPECT_TRUE(book.SeekIndex(5));
    EXPECT_TRUE(book.AtEnd());
    EXPECT_FALSE(book.RestorePosition(dir.Inside("nope.talu"), 0));
}

TEST_F(BookTest, NestedEventBlocksAreSkippedWhole) {
    Open("<EVENT ANSWER=\"a\">x<EVENT>y<ALIAS SRC=\"p\" DEST=\"q\"></EVENT>z</EVENT>after<P>");
    EXPECT_EQ(NextCommand(), kw::kEvent);
    book.SkipEventBlock();
    EXPECT_EQ(Fetch().AttributeText(kw::kSrc), "after");
    EXPECT_FALSE(book.Substitutions().Contains("p"));  // aliases in the block were not defined
    Open("<EVENT>never closed");
    Fetch();
    book.SkipEventBlock();
    EXPECT_TRUE(book.AtEnd());
}

TEST_F(BookTest, TheDebugFeedSeesEveryItemTakenAndTheNewFileAfterAJump) {
    dir.Write("b.talu", "one<BR>two");
    Open("a<nosuch><BR>");
    Fetch();
    Fetch();
    // Skipped items are shown too.
    EXPECT_EQ(feed.shown, (Strings{"a| <nosuch>| <BR>|1", " <nosuch>| <BR>||2", " <BR>|||3"}));
    EXPECT_EQ(book.CurrentItemText(), " <BR>");
    ASSERT_TRUE(book.Jump("b.talu"));
    EXPECT_EQ(feed.shown.back(), "one| <BR>|two|0");
}

}  // namespace
}  // namespace talu::script::test
