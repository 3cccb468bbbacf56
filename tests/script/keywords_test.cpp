#include "script/keywords.h"

#include <gtest/gtest.h>

namespace talu::script {
namespace {

TEST(LookupKeyword, IgnoresAsciiCase) {
    EXPECT_EQ(LookupKeyword("BACKGROUND"), 5);
    EXPECT_EQ(LookupKeyword("Background"), 5);
    EXPECT_EQ(LookupKeyword("background"), 5);
    EXPECT_EQ(LookupKeyword("Ef_ToHeart_Char"), 6);
}

TEST(LookupKeyword, ClosingFormsAndSpellingsShareIds) {
    EXPECT_EQ(LookupKeyword("/font"), 22);
    EXPECT_EQ(LookupKeyword("/p"), 0);
    EXPECT_EQ(LookupKeyword("aline"), 72);
    EXPECT_EQ(LookupKeyword("align"), 72);
    EXPECT_EQ(LookupKeyword("np"), 27);
}

TEST(LookupKeyword, ClockFormIsATimer) {
    EXPECT_EQ(LookupKeyword("12:30"), 39);
    EXPECT_EQ(LookupKeyword("1:30"), 0);      // third character is not ":"
    EXPECT_EQ(LookupKeyword("12:3"), 0);      // too short
    EXPECT_EQ(LookupKeyword("ab:cdef"), 39);  // only the shape counts
}

TEST(LookupKeyword, UnknownAndOddWordsGiveZero) {
    EXPECT_EQ(LookupKeyword(""), 0);
    EXPECT_EQ(LookupKeyword(" font"), 0);  // callers trim
    EXPECT_EQ(LookupKeyword("fontx"), 0);
    EXPECT_EQ(LookupKeyword("\x82\x60"), 0);  // a double-byte letter is no ASCII letter
    EXPECT_EQ(LookupKeyword(std::string(200, 'a')), 0);
}

TEST(KeywordClasses, TagAndAttributeSets) {
    EXPECT_TRUE(IsTagId(3));
    EXPECT_FALSE(IsTagId(4));
    EXPECT_TRUE(IsTagId(30));
    EXPECT_FALSE(IsTagId(44));
    EXPECT_TRUE(IsTagId(56));
    EXPECT_FALSE(IsTagId(57));
    EXPECT_TRUE(IsTagId(98));
    EXPECT_FALSE(IsTagId(0));
    EXPECT_TRUE(IsAttributeId(30));
    EXPECT_TRUE(IsAttributeId(57));
    EXPECT_FALSE(IsAttributeId(88));
    EXPECT_FALSE(IsAttributeId(96));
    EXPECT_TRUE(IsAttributeId(105));
    EXPECT_FALSE(IsAttributeId(106));
}

}  // namespace
}  // namespace talu::script
