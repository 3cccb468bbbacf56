// A book file's items, and each item's record.
#include "script/tokenizer.h"

#include <gtest/gtest.h>

#include <vector>

#include "script/keywords.h"
#include "script/tag_parser.h"
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
        {std::string("ab\0cd<BR>\nef", 12), {"abef"}},
        {std::string("\x81\0<A ALT=\"x>\n<FONT SIZE=\"1", 26), {"\x81", " <FONT SIZE=\"1"}}};
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

TEST(ClassifyItem, KindsNamesRestAndClosing) {
    const std::pair<std::string_view, int> kinds[] = {
        {"", kw::kLineComment},     {"  ", kw::kLineComment},
        {"text", kw::kText},        {"<", kw::kText},
        {"<!x", kw::kLineComment},  {"< !x", kw::kLineComment},
        {"<#x", kw::kBlockComment}, {"<<a>>", kw::kWrite},
        {"<<a", kw::kText},         {" <nosuch>", 0}};
    std::string scratch;
    for (const auto& [item, id] : kinds) {
        EXPECT_EQ(ClassifyItem(item, scratch).id, id) << item;
    }
    ItemClass cls = ClassifyItem(" </Font\tSIZE=\"3\">", scratch);
    EXPECT_EQ(cls.id, kw::kFont);
    EXPECT_TRUE(cls.closing);
    EXPECT_EQ(cls.name, "/Font");
    EXPECT_EQ(cls.rest, " SIZE=\"3\">");
    cls = ClassifyItem("<BR>", scratch);
    EXPECT_EQ(cls.name, "BR");
    EXPECT_EQ(cls.rest, ">");
}

TEST(ParseItem, Records) {
    const std::pair<std::string_view, Strings> cases[] = {
        // Text and comments carry their whole text.
        {"Hello ", {"___COMMAND___\t2", "62\tHello "}},
        {"<!-- c -->", {"___COMMAND___\t3", "62\t<!-- c -->"}},
        // Attributes in order, names in any case and spacing, values as written.
        {" <background src = \"Img\\Bg.BMP\"  Effect=\"ef_FadeIn\" SRC=\"two\">",
         {"___COMMAND___\t5", "62\tImg\\Bg.BMP", "83\tef_FadeIn", "62\ttwo"}},
        {" </FONT>", {"___COMMAND___\t22", "115\ttrue"}},
        // A malformed attribute ends the list; a value without quotes takes the next quoted text
        // and the attribute after it is lost; text before the first quote is ignored.
        {" <FONT SIZE=12 COLOR=\"#ff0000\">", {"___COMMAND___\t22", "94\t#ff0000"}},
        {" <FONT COLOR=\"#ff0000\" SIZE=12>", {"___COMMAND___\t22", "74\t#ff0000"}},
        {" <FONT COLOUR=\"#ff0000\" SIZE=\"12\">", {"___COMMAND___\t22"}},
        {" <FONT SIZE=\"12\" FACE=\"x>", {"___COMMAND___\t22", "94\t12"}},
        {" <FONT SIZE=px\"12\">", {"___COMMAND___\t22", "94\t12"}},
        // The clock form of TIMER and the two forms of WRITE.
        {" <12:30>", {"___COMMAND___\t39", "75\t12:30"}},
        {" <TIMER TIME=\"5\">", {"___COMMAND___\t39", "75\t5"}},
        {"<<score>>", {"___COMMAND___\t47", "62\tscore"}},
        {" <WRITE SRC=\"score\">", {"___COMMAND___\t47", "62\tscore"}}};
    for (const auto& [item, entries] : cases) {
        TagRecord record;
        ParseItem(item, record);
        EXPECT_EQ(record.Entries(), entries) << item;
    }
    TagRecord record;
    ParseItem("<A HREF=\"#x\">", record, true);  // the reader knew it was text
    EXPECT_EQ(record.Entries()[0], "___COMMAND___\t2");
    EXPECT_FALSE(ParseItem(" <WRITE x<<y>", record));
    EXPECT_EQ(record.Entries(), (Strings{"___COMMAND___\t47"}));
}

TEST(ParseItem, NonTagsGiveAnEmptyRecord) {
    TagRecord record;
    record.SetCommand(5);
    EXPECT_FALSE(ParseItem(" <nosuch SRC=\"x\">", record));
    EXPECT_TRUE(record.Empty());
    EXPECT_FALSE(ParseItem("<#x#>", record));
    EXPECT_FALSE(ParseItem(" <SRC>", record));  // an attribute word is no tag
    EXPECT_TRUE(record.Empty());
}

}  // namespace
}  // namespace talu::script
