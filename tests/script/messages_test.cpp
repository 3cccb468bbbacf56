#include "script/messages.h"

#include <gtest/gtest.h>

#include "host/encoding.h"

namespace talu::script {
namespace {

using host::Cp932ToUtf8;

TEST(ScriptErrors, EnglishAndJapaneseWithTheirArgument) {
    std::string text;
    ASSERT_TRUE(FormatScriptError(kLangEnglish, err::kStageFull, text, "20"));
    EXPECT_EQ(text, "No more character can enter to stage.\nMax 20 characters.");
    ASSERT_TRUE(FormatScriptError(kLangJapanese, err::kPluginNotFound, text, "a.spi"));
    std::string utf8 = Cp932ToUtf8(text);
    EXPECT_EQ(utf8.find("a.spi"), utf8.find("\"a.spi\"") + 1);
    EXPECT_NE(utf8.find("\"a.spi\"をTALU.EXE"), std::string::npos);  // both %s get the argument
    // An unknown language or code leaves the text alone.
    text = "before";
    EXPECT_FALSE(FormatScriptError(2, err::kEnterNoName, text, ""));
    EXPECT_FALSE(FormatScriptError(kLangEnglish, 13, text, ""));
    EXPECT_EQ(text, "before");
}

TEST(ScriptErrors, ArgumentsAreNotFormatStrings) {
    std::string text;
    ASSERT_TRUE(FormatScriptError(kLangEnglish, err::kCannotOpenFile, text, "%s%n.bmp"));
    EXPECT_EQ(text, "I can't open file \"%s%n.bmp\".");
}

TEST(PlayerMessages, LanguageAndUnknownIndexes) {
    EXPECT_EQ(PlayerMessage(kLangEnglish, msg::kTheEnd), "The End.");
    EXPECT_EQ(Cp932ToUtf8(PlayerMessage(kLangJapanese, msg::kTheEnd)), "おしまい");
    EXPECT_EQ(PlayerMessage(7, msg::kExitQuestion), "Exit Application?");  // any other: English
    EXPECT_EQ(PlayerMessage(kLangEnglish, 6), "");
    EXPECT_EQ(PlayerMessage(kLangEnglish, 10), "");
}

}  // namespace
}  // namespace talu::script
