#include "script/vocabularies.h"

#include <gtest/gtest.h>

#include "host/encoding.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "support/repeat.h"

namespace talu::script {
namespace {

using host::Cp932ToUtf8;

// Names ignore ASCII case; closing forms and second spellings share the ids of their tags; only
// the shape of a clock counts (two characters, a colon, two more); callers trim; a double-byte
// letter is no ASCII letter.
TEST(LookupKeyword, CaseSpellingsClockFormAndOddWords) {
    const std::pair<std::string, int> cases[] = {{"BACKGROUND", 5}, {"Background", 5},
                                                 {"background", 5}, {"Ef_ToHeart_Char", 6},
                                                 {"/font", 22},     {"/p", 0},
                                                 {"aline", 72},     {"align", 72},
                                                 {"np", 27},        {"12:30", 39},
                                                 {"ab:cdef", 39},   {"1:30", 0},
                                                 {"12:3", 0},       {"", 0},
                                                 {" font", 0},      {"fontx", 0},
                                                 {"\x82\x60", 0},   {std::string(200, 'a'), 0},
                                                 {"comment", 103},  {"Comment", 103}};
    for (const auto& [word, id] : cases) {
        EXPECT_EQ(LookupKeyword(word), id) << word;
    }
}

// The tag set is left to the trace books: a tag the parser drops changes their steps.
TEST(KeywordClasses, AttributeSet) {
    for (int id : {30, 57, 105}) {
        EXPECT_TRUE(IsAttributeId(id)) << id;
    }
    for (int id : {88, 96, 106}) {
        EXPECT_FALSE(IsAttributeId(id)) << id;
    }
}

TEST(Vocabularies, PositionAndEffectNamesAndNumbers) {
    std::string name = "unchanged";
    EXPECT_FALSE(PositionName(69, name));
    EXPECT_EQ(name, "unchanged");
    ASSERT_TRUE(PositionName(LookupKeyword("rightside"), name));
    EXPECT_EQ(name, "RIGHTSIDE");
    ASSERT_TRUE(PositionName(129, name));
    EXPECT_EQ(name, "NONE");

    EXPECT_EQ(EffectNumber("Ef_FadeIn"), 7);
    EXPECT_EQ(EffectNumber("EF_FADE"), 1);  // a prefix is not a name
    EXPECT_EQ(EffectNumber("EF_DEFAULT_BACK"), 1);
    EXPECT_EQ(EffectNumber("ef_none"), 0);
    EXPECT_FALSE(EffectName(5, name));
    ASSERT_TRUE(EffectName(22, name));
    EXPECT_EQ(name, "EF_BLIND_FROM_BOTTOM");

    for (const char* word : {"pass", "Ghostly", "bypass"}) {
        EXPECT_TRUE(IsPassMode(word)) << word;  // any case, and longer words
    }
    EXPECT_FALSE(IsPassMode("normal"));
}

TEST(Colours, ParseWriteBackAndFilterWords) {
    Colour colour = 0;
    ASSERT_TRUE(ParseColour("#ff8000", colour));
    EXPECT_EQ(colour, 0x0080FFu);
    ASSERT_TRUE(ParseColour("#0B0A00 and more", colour));
    EXPECT_EQ(colour, 0x000A0Bu);
    EXPECT_EQ(ColourText(colour), "#0B0A00");
    colour = 42;
    for (const char* bad : {"#ff80", "#ff80g0", "ff8000x"}) {
        EXPECT_FALSE(ParseColour(bad, colour)) << bad;
    }
    EXPECT_EQ(colour, 42u);

    EXPECT_EQ(FilterWordColour(LookupKeyword("light")), std::optional<Colour>(0xC8C8C8));
    EXPECT_EQ(FilterWordColour(LookupKeyword("MONO")), std::optional<Colour>(kFilterMono));
    EXPECT_EQ(FilterWordColour(LookupKeyword("red")), std::nullopt);
}

TEST(Entities, DecodedInTheirFixedOrderWithoutSplittingCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"&lt;b&gt;", "<b>"},
        {"&amp;lt;", "&lt;"},  // &lt; was done before &amp; made it
        {"&amp;amp;", "&"},    // &amp; repeats until none is left
        {"&amp;quot;", "\""},  // &quot; comes after &amp;
        {"a&nbsp;b&copy;", "a b&copy;"},
        {"&&amp;amp;x", "&&x"},
        // 0x81 followed by "&" is stepped over as one (broken) character, as every search does.
        {"\x81&lt;&lt;", "\x81&lt;<"}};
    for (const auto& [text, decoded] : cases) {
        EXPECT_EQ(DecodeEntities(text), decoded) << text;
    }
}

TEST(Entities, LongChainsDecodeWithoutRescanning) {
    EXPECT_EQ(DecodeEntities("&" + talu::test::Repeat("amp;", 200000)), "&");
}

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
