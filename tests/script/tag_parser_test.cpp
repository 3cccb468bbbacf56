#include "script/tag_parser.h"

#include <gtest/gtest.h>

#include "script/keywords.h"

namespace talu::script {
namespace {

using Strings = std::vector<std::string>;

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
