#include "script/tokenizer.h"

#include <gtest/gtest.h>

#include <vector>

#include "script/keywords.h"

namespace talu::script {
namespace {

std::vector<RawItem> Items(std::string bytes, BookFile::Kind kind = BookFile::Kind::PlainFile) {
    BookFile file("Z:\\book.talu", std::move(bytes), kind);
    Tokenizer tokenizer(file);
    std::vector<RawItem> items;
    RawItem item;
    while (tokenizer.NextItem(item)) {
        items.push_back(item);
    }
    return items;
}

std::vector<std::string> Texts(std::string bytes, BookFile::Kind kind = BookFile::Kind::PlainFile) {
    std::vector<std::string> texts;
    for (const RawItem& item : Items(std::move(bytes), kind)) {
        texts.push_back(item.text);
    }
    return texts;
}

using Strings = std::vector<std::string>;

TEST(Tokenizer, TextRunJoinsLinesWithNothingUntilATag) {
    EXPECT_EQ(Texts("ab\n  cd \t\nef<BR>\n"), (Strings{"abcdef", " <BR>"}));
    EXPECT_EQ(Texts("ab\n\n\ncd<P>"), (Strings{"abcd", " <P>"}));  // empty lines add nothing
}

TEST(Tokenizer, TextAndTagsShareALine) {
    std::vector<RawItem> items = Items("Hello <B>bold</B> end\n");
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].text, "Hello ");
    EXPECT_EQ(items[0].kind, kw::kText);
    EXPECT_EQ(items[1].text, " <B>");
    EXPECT_EQ(items[1].kind, 17);
    EXPECT_EQ(items[2].text, "bold");
    EXPECT_EQ(items[3].text, " </B>");
    EXPECT_EQ(items[4].text, "end");
}

TEST(Tokenizer, TagOverSeveralLinesIsJoinedWithOneBlank) {
    EXPECT_EQ(Texts("<FONT\n\t  COLOR=\"#ff0000\">x"), (Strings{" <FONT COLOR=\"#ff0000\">", "x"}));
}

TEST(Tokenizer, GreaterThanInsideQuotesDoesNotEndTheTag) {
    EXPECT_EQ(Texts("<A ALT=\"a>   b\" HREF=\"#x\">t"),
              (Strings{"<A ALT=\"a> b\" HREF=\"#x\">", "t"}));
    // A line break after the ">" adds the blank of the line join as well.
    EXPECT_EQ(Texts("<A ALT=\"a>\nb\">"), (Strings{"<A ALT=\"a>  b\">"}));
}

TEST(Tokenizer, Comments) {
    EXPECT_EQ(Texts("x\n<!-- note --> <BR>\n<#a\nb\n c#> lost\ny"),
              (Strings{"x", "<!-- note --> <BR>", "<#abc#>", "y"}));
    std::vector<RawItem> items = Items("\n  \nx");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].kind, kw::kComment);
    EXPECT_EQ(items[0].text, "");
    EXPECT_EQ(items[1].text, "");
}

TEST(Tokenizer, DoubleAngleWriteForms) {
    std::vector<RawItem> items = Items("<<name>>rest\n<<open\n<BR>");
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].text, "<<name>>");
    EXPECT_EQ(items[0].kind, kw::kWrite);
    EXPECT_EQ(items[1].text, "rest");
    // Without ">>" the line is text and the rest of the book is still read.
    EXPECT_EQ(items[2].text, "<<open");
    EXPECT_EQ(items[2].kind, kw::kText);
    EXPECT_EQ(items[3].text, " <BR>");
}

TEST(Tokenizer, ALoneOpeningBracketIsText) {
    EXPECT_EQ(Texts("a <\nb<BR>"), (Strings{"a ", "<b", " <BR>"}));
}

TEST(Tokenizer, UnterminatedItemsRunToTheEnd) {
    EXPECT_EQ(Texts("x<FONT SIZE=\"1\"\nabc"), (Strings{"x", " <FONT SIZE=\"1\" abc"}));
    EXPECT_EQ(Texts("<# never closed\nmore"), (Strings{"<# never closedmore"}));
    EXPECT_EQ(Texts("<A ALT=\"open>"), (Strings{"<A ALT=\"open> "}));
    // Only items the end of the file cut short say so; a text run may end there.
    for (const char* text : {"x<FONT SIZE=\"1\"\nabc", "<# never closed", "<A ALT=\"open>"}) {
        std::vector<RawItem> items = Items(text);
        EXPECT_TRUE(items.back().unterminated) << text;
    }
    for (const RawItem& item : Items("text\n<BR><#x#><A ALT=\"a>b\">tail")) {
        EXPECT_FALSE(item.unterminated) << item.text;
    }
}

TEST(Tokenizer, LineNumbersOfItems) {
    std::vector<RawItem> items = Items("a\nb\n<BR>c\n\n<#\n#>");
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].line, 1);
    EXPECT_EQ(items[1].line, 3);  // the BR that ended the text run
    EXPECT_EQ(items[2].line, 3);
    EXPECT_EQ(items[3].text, "<##>");
    EXPECT_EQ(items[3].line, 5);
}

TEST(BookFileLines, PlainFilesEndLinesAtLineFeedAndStopAtCtrlZ) {
    EXPECT_EQ(Texts("a\r\nb\r\n<BR>\x1A"
                    "junk<P>"),
              (Strings{"ab", " <BR>"}));
    EXPECT_EQ(Texts("a\rb<BR>"), (Strings{"a\rb", " <BR>"}));  // a lone CR is no line end
}

TEST(BookFileLines, MemoryBlocksEndLinesAtCarriageReturn) {
    auto block = BookFile::Kind::MemoryBlock;
    EXPECT_EQ(Texts("<FONT\r\nSIZE=\"2\">x\ry", block), (Strings{" <FONT SIZE=\"2\">", "xy"}));
    EXPECT_EQ(Texts("a\nb<BR>", block), (Strings{"a\nb", " <BR>"}));  // LF alone is no line end
    EXPECT_EQ(Texts("\x1A<BR>", block), (Strings{"\x1A", " <BR>"}));
}

TEST(BookFileLines, NulBytesCutTheirLine) {
    EXPECT_EQ(Texts(std::string("ab\0cd<BR>\nef", 12)), (Strings{"abef"}));
}

TEST(Tokenizer, HugeLinesAndBrokenShiftJisLoad) {
    std::string line(10 << 20, 'x');
    line += "<BR>";
    std::vector<std::string> texts = Texts(line);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].size(), 10u << 20);

    std::string quoted = "<A ALT=\"";
    for (int i = 0; i < 200000; ++i) {
        quoted += "> ";
    }
    EXPECT_EQ(Texts(quoted).size(), 1u);
    EXPECT_EQ(Texts("\x81<\x82\x81\xFF\xFE<BR>\x9F").size(), 3u);
}

}  // namespace
}  // namespace talu::script
