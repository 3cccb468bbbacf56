#include "book_fixture.h"

namespace talu::script::test {
namespace {

using Strings = std::vector<std::string>;

TEST_F(BookTest, JumpsToLabelsAndReportsMissingOnes) {
    Open("a<A NAME=\"x\">b<A NAME=\"x\">c");
    ASSERT_TRUE(book.Jump("#x"));
    EXPECT_EQ(book.CurrentIndex(), 3);  // the later anchor of the same name
    EXPECT_EQ(Command(Fetch()), kw::kA);
    EXPECT_EQ(Attribute(Fetch(), kw::kSrc), "c");
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
    EXPECT_EQ(Command(Fetch()), kw::kA);
    EXPECT_EQ(Attribute(Fetch(), kw::kSrc), "s2");
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
    EXPECT_EQ(Attribute(Fetch(), kw::kSrc), "a");
    ASSERT_TRUE(book.RestorePosition(book.Path(), 4));
    EXPECT_EQ(Attribute(Fetch(), kw::kSrc), "c");
    EXPECT_FALSE(book.SeekIndex(6));
    EXPECT_FALSE(book.SeekIndex(-1));
    EXPECT_EQ(book.CurrentIndex(), 5);
    EXPECT_TRUE(book.SeekIndex(5));
    EXPECT_TRUE(book.AtEnd());
    EXPECT_FALSE(book.RestorePosition(dir.Inside("nope.talu"), 0));
}

TEST_F(BookTest, NestedEventBlocksAreSkippedWhole) {
    Open("<EVENT ANSWER=\"a\">x<EVENT>y<ALIAS SRC=\"p\" DEST=\"q\"></EVENT>z</EVENT>after<P>");
    EXPECT_EQ(Command(Fetch()), kw::kEvent);
    book.SkipEventBlock();
    EXPECT_EQ(Attribute(Fetch(), kw::kSrc), "after");
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
