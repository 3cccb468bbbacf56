#include "script/vocabularies.h"

#include <gtest/gtest.h>

#include "script/keywords.h"
#include "support/repeat.h"

namespace talu::script {
namespace {

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

}  // namespace
}  // namespace talu::script
