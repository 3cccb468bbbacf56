#include "script/messages.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/encoding.h"
#include "script/diagnostics.h"

namespace talu::script {
namespace {

std::string Utf8(std::string_view cp932) {
    return host::Cp932ToUtf8(cp932);
}

class RecordingBoxes : public MessageBoxHost {
  public:
    void ShowMessageBox(std::string_view text) override { boxes.emplace_back(text); }
    std::vector<std::string> boxes;
};

TEST(ScriptErrors, EnglishAndJapaneseWithTheirArgument) {
    std::string text;
    ASSERT_TRUE(FormatScriptError(kLangEnglish, err::kStageFull, text, "20"));
    EXPECT_EQ(text, "No more character can enter to stage.\nMax 20 characters.");
    ASSERT_TRUE(FormatScriptError(kLangJapanese, err::kPluginNotFound, text, "a.spi"));
    std::string utf8 = Utf8(text);
    EXPECT_EQ(utf8.find("a.spi"), utf8.find("\"a.spi\"") + 1);
    EXPECT_NE(utf8.find("\"a.spi\"をTALU.EXE"), std::string::npos);  // both %s get the argument
}

TEST(ScriptErrors, ArgumentsAreNotFormatStrings) {
    std::string text;
    ASSERT_TRUE(FormatScriptError(kLangEnglish, err::kCannotOpenFile, text, "%s%n.bmp"));
    EXPECT_EQ(text, "I can't open file \"%s%n.bmp\".");
}

TEST(ScriptErrors, UnknownLanguageOrCodeLeavesTheText) {
    std::string text = "before";
    EXPECT_FALSE(FormatScriptError(2, err::kEnterNoName, text, ""));
    EXPECT_FALSE(FormatScriptError(kLangEnglish, 13, text, ""));
    EXPECT_EQ(text, "before");
}

TEST(PlayerMessages, LanguageAndUnknownIndexes) {
    EXPECT_EQ(PlayerMessage(kLangEnglish, msg::kTheEnd), "The End.");
    EXPECT_EQ(Utf8(PlayerMessage(kLangJapanese, msg::kTheEnd)), "おしまい");
    EXPECT_EQ(PlayerMessage(7, msg::kExitQuestion), "Exit Application?");  // any other: English
    EXPECT_EQ(PlayerMessage(kLangEnglish, 6), "");
    EXPECT_EQ(PlayerMessage(kLangEnglish, 10), "");
}

TEST(Diagnostics, SyntaxErrorBoxHasTitleItemEmptyLineAndMessage) {
    RecordingBoxes boxes;
    Diagnostics diagnostics(boxes, kLangEnglish);
    diagnostics.ReportScriptError(" <ENTER SRC=\"a.bmp\">", err::kEnterNoName, "");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0],
              "Syntax Error. <ENTER SRC=\"a.bmp\">\n\n"
              "NAME attribute is not found.Please name for character.");
}

TEST(Diagnostics, LanguageIsChosenWhenTheBoxIsShown) {
    RecordingBoxes boxes;
    Diagnostics diagnostics(boxes, kLangEnglish);
    diagnostics.SetLangMode(2);
    diagnostics.ReportScriptError(" <ENTER>", err::kEnterNoName, "");
    EXPECT_EQ(boxes.boxes.back(), "Syntax Error. <ENTER>\n\n");
    diagnostics.SetLangMode(kLangJapanese);
    diagnostics.ReportScriptError("", err::kSaveFailed, "");
    EXPECT_EQ(Utf8(boxes.boxes.back()), "TALUの文法に間違いがあります\n\nセーブに失敗しました");
}

TEST(Diagnostics, PlainBoxForAJumpToAMissingFile) {
    EXPECT_EQ(CannotOpenFileMessage("Z:\\a\\b.talu"), "Can not open file \"Z:\\a\\b.talu\".");
}

}  // namespace
}  // namespace talu::script
