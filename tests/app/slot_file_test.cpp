#include "app/slot_file.h"

#include <gtest/gtest.h>

namespace talu::app {
namespace {

// "あ" in CP932, and a character whose trail byte is the backslash.
constexpr std::string_view kA = "\x82\xA0";
constexpr std::string_view kSo = "\x83\x5C";

std::string Repeat(const std::string& line, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) {
        out += line;
    }
    return out;
}

SlotFile Sample() {
    SlotFile slot;
    slot.headerPosition = "tale.talu\t12";
    slot.date = "03/04 05:06";
    slot.comment = "chapter " + std::string(kA);
    slot.substitutions = {{"CURRENT", "Z:\\books\\"}};
    slot.variables = {{"name", std::string(kA) + "\tx"}, {"score", "42"}};
    slot.bookmarks = {{"met", "1"}};
    slot.bookFile = "tale.talu";
    slot.positionFile = "tale.talu";
    slot.positionIndex = 12;
    slot.state = {"<STAGE WIDTH=\"640\" HEIGHT=\"480\">",
                  "<BGM SRC=\"Z:\\books\\a.mid\" LOOP=\"3\">"};
    return slot;
}

TEST(SlotFile, WritesSixBlocksWithCrLfByteForByte) {
    EXPECT_EQ(FormatSlotFile(Sample()),
              "###START_LIST###\r\ntale.talu\t12\r\n03/04 05:06\tchapter \x82\xA0\r\n"
              "###END_LIST###\r\n"
              "###START_LIST###\r\nCURRENT\tZ:\\books\\\r\n###END_LIST###\r\n"
              "###START_LIST###\r\nname\t\x82\xA0\tx\r\nscore\t42\r\n###END_LIST###\r\n"
              "###START_LIST###\r\nmet\t1\r\n###END_LIST###\r\n"
              "###START_LIST###\r\ntale.talu\r\ntale.talu\t12\r\n###END_LIST###\r\n"
              "###START_LIST###\r\n<STAGE WIDTH=\"640\" HEIGHT=\"480\">\r\n"
              "<BGM SRC=\"Z:\\books\\a.mid\" LOOP=\"3\">\r\n###END_LIST###\r\n");
}

TEST(SlotFile, ReadsBackWhatItWroteWithCrLfOrLf) {
    const std::string crlf = FormatSlotFile(Sample());
    std::string lf = crlf;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) {
        lf.erase(at, 1);
    }
    for (const std::string& bytes : {crlf, lf, "junk before\r\n" + crlf + "\r\n"}) {
        std::string problem;
        auto slot = ParseSlotFile(bytes, problem);
        ASSERT_TRUE(slot) << problem;
        EXPECT_EQ(FormatSlotFile(*slot), crlf);
    }
}

TEST(SlotFile, PositionLines) {
    struct Case {
        std::string line;
        bool ok;
        std::string file;
        int index;
    };
    const Case cases[] = {
        {"tale.talu\t-1", true, "tale.talu", 0},  // a fresh slot starts at the first item
        {"parts\\two.talu\t7", true, "parts\\two.talu", 7},
        {"my tale.talu\t3", true, "my tale.talu", 3},  // blanks in a name are part of it
        {std::string(kSo) + ".talu\t5", true, std::string(kSo) + ".talu", 5},
        {"tale.talu 5", false, "", 0},
        {"\t5", false, "", 0},
        {"tale.talu\t99999999999", false, "", 0},
    };
    for (const Case& c : cases) {
        SlotFile slot = Sample();
        std::string bytes = FormatSlotFile(slot);
        bytes.replace(bytes.find("tale.talu\r\ntale.talu\t12") + 11, 12, c.line);
        std::string problem;
        auto read = ParseSlotFile(bytes, problem);
        ASSERT_EQ(read.has_value(), c.ok) << c.line;
        if (read) {
            EXPECT_EQ(read->positionFile, c.file);
            EXPECT_EQ(read->positionIndex, c.index);
        }
    }
}

TEST(SlotFile, RefusesDamagedAndHostileFiles) {
    const std::string good = FormatSlotFile(Sample());
    const std::size_t stateStart = good.rfind("###START_LIST###\r\n") + 18;
    const std::size_t positionLine = good.find("tale.talu\r\ntale.talu");
    const std::string cases[] = {
        good.substr(0, good.size() / 2),                                      // truncated
        good.substr(0, good.rfind("###START_LIST###")),                       // five blocks
        good.substr(0, good.size() - 16),                                     // sixth block open
        std::string(good).insert(stateStart, "<COMMAND SRC=\"rm\">\r\n"),     // runs a program
        std::string(good).insert(stateStart, "<SNAP SRC=\"x.bmp\">\r\n"),     // writes a file
        std::string(good).insert(stateStart, "<A HREF=\"#end\">\r\n"),        // jumps
        std::string(good).insert(stateStart, "<B><COMMAND SRC=\"rm\">\r\n"),  // two tags
        std::string(good).insert(stateStart, "plain text\r\n"),
        std::string(good).insert(10, "\x82\r\n"),                          // a lead byte alone
        std::string(good).insert(stateStart, "<TITLE ALT=\"\xFF\">\r\n"),  // not CP932
        std::string(good).insert(stateStart, "<TITLE ALT=\"\x01\">\r\n"),  // control byte
        std::string(good).insert(stateStart, std::string(10 << 20, 'x') + "\r\n"),
        std::string(good).insert(good.find("score\t"),
                                 "long\t" + std::string(kMaxSlotLineBytes, 'x') + "\r\n"),
        std::string(good).replace(positionLine, 9, "..\\evil.talu"),  // book file elsewhere
        std::string(good).replace(positionLine, 9, "C:x.talu"),
        std::string(good).replace(positionLine, 11, ""),  // one position line
        good + "<COMMAND SRC=\"calc\">\r\n",              // runs once the file is a book
        good + "###START_LIST###\r\n###END_LIST###\r\n",  // a seventh block
        // A state block longer than any stage writes, in lines, in bytes, or of one kind.
        std::string(good).insert(stateStart, Repeat("\r\n", kMaxStateLines + 1)),
        std::string(good).insert(stateStart,
                                 "<TITLE ALT=\"" + std::string(kMaxStateBytes, 'x') + "\">\r\n"),
        std::string(good).insert(stateStart, Repeat("<BACKGROUND SRC=\"a.bmp\">\r\n", 2)),
        std::string(good).insert(stateStart, Repeat("<ACT NAME=\"a\" SRC=\"a.bmp\">\r\n", 21)),
    };
    for (const std::string& bytes : cases) {
        std::string problem;
        EXPECT_FALSE(ParseSlotFile(bytes, problem)) << bytes.substr(0, 200);
        EXPECT_FALSE(problem.empty());
    }
}

TEST(SlotFile, StateLinesOfEveryWriterAreRestorable) {
    for (std::string_view line :
         {"<PLUGIN SRC=\"PNG\" NAME=\"IFPNG.SPI\">",
          "<ICON SRC=\"Z:\\i.bmp\" TIME=\"100\" MODE=\"P\" >", "<CURSOR SRC=\"Z:\\c.cur\">",
          "<TITLE ALT=\"tale\">", "<SPACE TOP=\"0\" LEFT=\"0\" WIDTH=\"1\" HEIGHT=\"1\" >",
          "<BACKGROUND COLOR=\"#000000\">",
          "<ENTER NAME=\"a\" ALIGN=\"LEFT\" VALIGN=\"TOP\"  ALPHA=\"100\">",
          "<ACT NAME=\"a\" SRC=\"Z:\\a.bmp\" >", "<SUNGLASS COLOR=\"MONO\">", "</SUNGLASS>",
          "<SCREEN LEFT=\"0\" >", "<FONT SRC=\"x\">", "<WINDOW SRC=\"Z:\\w.bmp\" >", "<B>",
          "</SHADOW>"}) {
        EXPECT_TRUE(IsRestorableStateLine(line)) << line;
    }
    for (std::string_view line : {"<MEMO SRC=\"a\" DEST=\"BOOK\">", "<INCLUDE SRC=\"x\">", "<P>",
                                  "<BOOKMARK>", "<WHATEVER>", "<B", "<B>>"}) {
        EXPECT_FALSE(IsRestorableStateLine(line)) << line;
    }
}

}  // namespace
}  // namespace talu::app
