#include "script/tag_parser.h"

#include <gtest/gtest.h>

#include "script/keywords.h"

namespace talu::script {
namespace {

std::vector<std::string> Parsed(std::string_view item) {
    TagRecord record;
    ParseItem(item, record);
    return record.Entries();
}

using Strings = std::vector<std::string>;

TEST(ClassifyItem, Kinds) {
    std::string scratch;
    EXPECT_EQ(ClassifyItem("", scratch).id, kw::kComment);
    EXPECT_EQ(ClassifyItem("  ", scratch).id, kw::kComment);
    EXPECT_EQ(ClassifyItem("text", scratch).id, kw::kText);
    EXPECT_EQ(ClassifyItem("<", scratch).id, kw::kText);
    EXPECT_EQ(ClassifyItem("<!x", scratch).id, kw::kComment);
    EXPECT_EQ(ClassifyItem("< !x", scratch).id, kw::kComment);
    EXPECT_EQ(ClassifyItem("<#x", scratch).id, kw::kBlockComment);
    EXPECT_EQ(ClassifyItem("<<a>>", scratch).id, kw::kWrite);
    EXPECT_EQ(ClassifyItem("<<a", scratch).id, kw::kText);
    EXPECT_EQ(ClassifyItem(" <nosuch>", scratch).id, 0);
}

TEST(ClassifyItem, NameRestAndClosing) {
    std::string scratch;
    ItemClass cls = ClassifyItem(" </Font\tSIZE=\"3\">", scratch);
    EXPECT_EQ(cls.id, kw::kFont);
    EXPECT_TRUE(cls.closing);
    EXPECT_EQ(cls.name, "/Font");
    EXPECT_EQ(cls.rest, " SIZE=\"3\">");
    cls = ClassifyItem("<BR>", scratch);
    EXPECT_EQ(cls.name, "BR");
    EXPECT_EQ(cls.rest, ">");
}

TEST(ParseItem, TextAndCommentsCarryTheirWholeText) {
    EXPECT_EQ(Parsed("Hello "), (Strings{"___COMMAND___\t2", "62\tHello "}));
    EXPECT_EQ(Parsed("<!-- c -->"), (Strings{"___COMMAND___\t3", "62\t<!-- c -->"}));
    TagRecord record;
    ParseItem("<A HREF=\"#x\">", record, true);  // the reader knew it was text
    EXPECT_EQ(record.Entries()[0], "___COMMAND___\t2");
}

TEST(ParseItem, AttributesInOrderNamesInAnyCaseValuesAsWritten) {
    EXPECT_EQ(Parsed(" <background src=\"Img\\Bg.BMP\" Effect=\"ef_FadeIn\" SRC=\"two\">"),
              (Strings{"___COMMAND___\t5", "62\tImg\\Bg.BMP", "83\tef_FadeIn", "62\ttwo"}));
    EXPECT_EQ(Parsed(" </FONT>"), (Strings{"___COMMAND___\t22", "115\ttrue"}));
}

TEST(ParseItem, AMalformedAttributeEndsTheList) {
    // A value without quotes takes the next quoted text, and the attribute after it is lost.
    EXPECT_EQ(Parsed(" <FONT SIZE=12 COLOR=\"#ff0000\">"),
              (Strings{"___COMMAND___\t22", "94\t#ff0000"}));
    EXPECT_EQ(Parsed(" <FONT COLOR=\"#ff0000\" SIZE=12>"),
              (Strings{"___COMMAND___\t22", "74\t#ff0000"}));
    EXPECT_EQ(Parsed(" <FONT COLOUR=\"#ff0000\" SIZE=\"12\">"), (Strings{"___COMMAND___\t22"}));
    EXPECT_EQ(Parsed(" <FONT SIZE=\"12\" FACE=\"x>"), (Strings{"___COMMAND___\t22", "94\t12"}));
    // Text before the first quote is ignored.
    EXPECT_EQ(Parsed(" <FONT SIZE=px\"12\">"), (Strings{"___COMMAND___\t22", "94\t12"}));
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

TEST(ParseItem, TimerClockForm) {
    EXPECT_EQ(Parsed(" <12:30>"), (Strings{"___COMMAND___\t39", "75\t12:30"}));
    EXPECT_EQ(Parsed(" <TIMER TIME=\"5\">"), (Strings{"___COMMAND___\t39", "75\t5"}));
}

TEST(ParseItem, WriteForms) {
    EXPECT_EQ(Parsed("<<score>>"), (Strings{"___COMMAND___\t47", "62\tscore"}));
    EXPECT_EQ(Parsed(" <WRITE SRC=\"score\">"), (Strings{"___COMMAND___\t47", "62\tscore"}));
    TagRecord record;
    EXPECT_FALSE(ParseItem(" <WRITE x<<y>", record));
    EXPECT_EQ(record.Entries(), (Strings{"___COMMAND___\t47"}));
}

TEST(ParseAttribute, TakesOneAttributeOffTheFront) {
    std::string_view rest = "  name = \"Mina\"  ALT=\"x\">";
    int id = 0;
    std::string_view value;
    ASSERT_TRUE(ParseAttribute(rest, id, value));
    EXPECT_EQ(id, kw::kName);
    EXPECT_EQ(value, "Mina");
    EXPECT_EQ(rest, "  ALT=\"x\">");
    ASSERT_TRUE(ParseAttribute(rest, id, value));
    EXPECT_EQ(id, kw::kAlt);
    EXPECT_FALSE(ParseAttribute(rest, id, value));
}

TEST(TakeAttribute, TellsWhyAttributesStop) {
    struct Case {
        std::string_view rest;
        AttributeStop stop;
        std::string_view name;
    };
    for (const Case& c : {Case{" >", AttributeStop::kEnd, ""}, Case{"", AttributeStop::kEnd, ""},
                          Case{" clear>", AttributeStop::kNoEquals, ""},
                          Case{" COLOUR=\"x\">", AttributeStop::kUnknownName, "COLOUR"},
                          Case{" SIZE=12>", AttributeStop::kUnquoted, "SIZE"},
                          Case{" SIZE=\"12>", AttributeStop::kUnquoted, "SIZE"}}) {
        std::string_view rest = c.rest;
        TakenAttribute taken = TakeAttribute(rest);
        EXPECT_EQ(taken.stop, c.stop) << c.rest;
        EXPECT_EQ(taken.name, c.name) << c.rest;
        EXPECT_EQ(rest, c.rest);  // a stop takes nothing
    }
    // A value without quotes lets the next quoted text stand in for it.
    std::string_view rest = " SIZE=12 COLOR=\"#fff\">";
    TakenAttribute taken = TakeAttribute(rest);
    EXPECT_EQ(taken.stop, AttributeStop::kNone);
    EXPECT_EQ(taken.value, "#fff");
    EXPECT_EQ(taken.skipped, "12 COLOR=");
    rest = " SIZE=\"12\">";
    EXPECT_EQ(TakeAttribute(rest).skipped, "");
}

}  // namespace
}  // namespace talu::script
