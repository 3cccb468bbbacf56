#include "script/tokenizer.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/repeat.h"

namespace talu::script {
namespace {

std::vector<std::string> Texts(std::string bytes, BookFile::Kind kind = BookFile::Kind::PlainFile) {
    BookFile file("Z:\\book.talu", std::move(bytes), kind);
    Tokenizer tokenizer(file);
    std::vector<std::string> texts;
    RawItem item;
    while (tokenizer.NextItem(item)) {
        texts.push_back(item.text);
    }
    return texts;
}

using Strings = std::vector<std::string>;

TEST(Tokenizer, ItemsOfAPlainFile) {
    const std::pair<std::string, Strings> cases[] = {
        // A text run joins its lines with nothing until a tag; empty lines add nothing.
        {"ab\n  cd \t\nef<BR>\n", {"abcdef", " <BR>"}},
        {"ab\n\n\ncd<P>", {"abcd", " <P>"}},
        {"Hello <B>bold</B> end\n", {"Hello ", " <B>", "bold", " </B>", "end"}},
        // A tag over several lines is joined with one blank.
        {"<FONT\n\t  COLOR=\"#ff0000\">x", {" <FONT COLOR=\"#ff0000\">", "x"}},
        // ">" inside quotes does not end the tag; a line break after it adds the join's blank.
        {"<A ALT=\"a>   b\" HREF=\"#x\">t", {"<A ALT=\"a> b\" HREF=\"#x\">", "t"}},
        {"<A ALT=\"a>\nb\">", {"<A ALT=\"a>  b\">"}},
        {"x\n<!-- note --> <BR>\n<#a\nb\n c#> lost\ny",
         {"x", "<!-- note --> <BR>", "<#abc#>", "y"}},
        {"a <\nb<BR>", {"a ", "<b", " <BR>"}},  // a lone opening bracket is text
        // Unterminated items run to the end.
        {"x<FONT SIZE=\"1\"\nabc", {"x", " <FONT SIZE=\"1\" abc"}},
        {"<# never closed\nmore", {"<# never closedmore"}},
        {"<A ALT=\"open>", {"<A ALT=\"open> "}},
        // Lines end at LF (a lone CR is none), the file at Ctrl-Z, and a NUL cuts its line.
        {"a\r\nb\r\n<BR>\x1A"
         "junk<P>",
         {"ab", " <BR>"}},
        {"a\rb<BR>", {"a\rb", " <BR>"}},
        {std::string("ab\0cd<BR>\nef", 12), {"abef"}}};
    for (const auto& [bytes, texts] : cases) {
        EXPECT_EQ(Texts(bytes), texts) << bytes;
    }
}

TEST(Tokenizer, MemoryBlocksEndLinesAtCarriageReturnOrLineFeed) {
    auto block = BookFile::Kind::MemoryBlock;
    EXPECT_EQ(Texts("<FONT\r\nSIZE=\"2\">x\ry", block), (Strings{" <FONT SIZE=\"2\">", "xy"}));
    // A book written with LF line ends reads the same zipped: its comment ends at the LF.
    const std::string lfBook = "a\n<!-- note <BR>\nb<BR>\n";
    EXPECT_EQ(Texts(lfBook, block), Texts(lfBook));
    EXPECT_EQ(Texts(lfBook, block).size(), 4u);
    EXPECT_EQ(Texts("\x1A<BR>", block), (Strings{"\x1A", " <BR>"}));
}

TEST(Tokenizer, HugeLinesAndBrokenShiftJisLoad) {
    std::string line(10 << 20, 'x');
    line += "<BR>";
    std::vector<std::string> texts = Texts(line);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].size(), 10u << 20);
    EXPECT_EQ(Texts("<A ALT=\"" + talu::test::Repeat("> ", 200000)).size(), 1u);
    EXPECT_EQ(Texts("\x81<\x82\x81\xFF\xFE<BR>\x9F").size(), 3u);
}

}  // namespace
}  // namespace talu::script
