#include "script/vocabularies.h"

#include <gtest/gtest.h>

#include "script/keywords.h"

namespace talu::script {
namespace {

TEST(Positions, NamesOfTheTwelveIds) {
    std::string name = "unchanged";
    EXPECT_FALSE(PositionName(69, name));
    EXPECT_EQ(name, "unchanged");
    ASSERT_TRUE(PositionName(LookupKeyword("rightside"), name));
    EXPECT_EQ(name, "RIGHTSIDE");
    ASSERT_TRUE(PositionName(129, name));
    EXPECT_EQ(name, "NONE");
}

TEST(Effects, NamesAndNumbers) {
    EXPECT_EQ(EffectNumber("Ef_FadeIn"), 7);
    EXPECT_EQ(EffectNumber("EF_FADE"), 1);  // a prefix is not a name
    EXPECT_EQ(EffectNumber("EF_DEFAULT_BACK"), 1);
    EXPECT_EQ(EffectNumber("ef_none"), 0);
    std::string name;
    EXPECT_FALSE(EffectName(5, name));
    ASSERT_TRUE(EffectName(22, name));
    EXPECT_EQ(name, "EF_BLIND_FROM_BOTTOM");
}

TEST(Colours, ParseAndWriteBack) {
    Colour colour = 0;
    ASSERT_TRUE(ParseColour("#ff8000", colour));
    EXPECT_EQ(colour, 0x0080FFu);
    ASSERT_TRUE(ParseColour("#0B0A00 and more", colour));
    EXPECT_EQ(colour, 0x000A0Bu);
    EXPECT_EQ(ColourText(colour), "#0B0A00");

    colour = 42;
    EXPECT_FALSE(ParseColour("#ff80", colour));
    EXPECT_FALSE(ParseColour("#ff80g0", colour));
    EXPECT_FALSE(ParseColour("ff8000x", colour));
    EXPECT_EQ(colour, 42u);
}

TEST(Colours, FilterWords) {
    EXPECT_EQ(FilterWordColour(LookupKeyword("light")), std::optional<Colour>(0xC8C8C8));
    EXPECT_EQ(FilterWordColour(LookupKeyword("MONO")), std::optional<Colour>(kFilterMono));
    EXPECT_EQ(FilterWordColour(LookupKeyword("red")), std::nullopt);
}

TEST(PassMode, AnyCaseAndLongerWords) {
    EXPECT_TRUE(IsPassMode("pass"));
    EXPECT_TRUE(IsPassMode("Ghostly"));
    EXPECT_TRUE(IsPassMode("bypass"));
    EXPECT_FALSE(IsPassMode("normal"));
}

TEST(Entities, DecodedInTheirFixedOrder) {
    EXPECT_EQ(DecodeEntities("&lt;b&gt;"), "<b>");
    EXPECT_EQ(DecodeEntities("&amp;lt;"), "&lt;");  // &lt; was done before &amp; made it
    EXPECT_EQ(DecodeEntities("&amp;amp;"), "&");    // &amp; repeats until none is left
    EXPECT_EQ(DecodeEntities("&amp;quot;"), "\"");  // &quot; comes after &amp;
    EXPECT_EQ(DecodeEntities("a&nbsp;b&copy;"), "a b&copy;");
    EXPECT_EQ(DecodeEntities("&&amp;amp;x"), "&&x");
}

TEST(Entities, LongChainsDecodeWithoutRescanning) {
    std::string text = "&";
    for (int i = 0; i < 200000; ++i) {
        text += "amp;";
    }
    EXPECT_EQ(DecodeEntities(text), "&");
}

TEST(Entities, DoubleByteCharactersAreNotSplit) {
    // 0x81 followed by "&" is stepped over as one (broken) character, as every search does.
    EXPECT_EQ(DecodeEntities("\x81&lt;&lt;"), "\x81&lt;<");
}

}  // namespace
}  // namespace talu::script
