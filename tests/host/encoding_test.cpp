#include "host/encoding.h"

#include <gtest/gtest.h>

namespace talu::host {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(ShiftJisBytes, LeadAndTrailRangesAndCharacterLengths) {
    for (unsigned char byte : {0x81, 0x9F, 0xE0, 0xFC}) {
        EXPECT_TRUE(IsLeadByte(byte)) << int{byte};
    }
    for (unsigned char byte : {0x80, 0xA0, 0xDF, 0xFD}) {  // half-width katakana are single bytes
        EXPECT_FALSE(IsLeadByte(byte)) << int{byte};
    }
    EXPECT_TRUE(IsTrailByte(0x5C));  // the backslash can be a trail byte
    EXPECT_FALSE(IsTrailByte(0x7F));
    const std::string text =
        "a\x95\x5C"
        "b\x82";
    EXPECT_EQ(CharLength(text, 0), 1u);
    EXPECT_EQ(CharLength(text, 1), 2u);
    EXPECT_EQ(CharLength(text, 3), 1u);
    EXPECT_EQ(CharLength(text, 4), 1u);  // a lead byte at the end stands alone
}

TEST(Cp932Conversion, ConvertsJapaneseBothWays) {
    std::string cp932 = "\x82\xA0\x95\x5C\xB1";  // あ 表 ｱ
    std::string utf8 = Cp932ToUtf8(cp932);
    EXPECT_EQ(utf8, "\xE3\x81\x82\xE8\xA1\xA8\xEF\xBD\xB1");
    EXPECT_EQ(Utf8ToCp932(utf8), cp932);
    EXPECT_EQ(Cp932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));  // NUL bytes survive
}

TEST(Cp932Conversion, BrokenInputBecomesReplacementsOrQuestionMarks) {
    // Each invalid byte becomes one replacement; a bad trail is kept as text.
    EXPECT_EQ(Cp932ToUtf8("a\x81\x20"
                          "b"),
              "a" + kReplacement + " b");
    EXPECT_EQ(Cp932ToUtf8("x\x82"), "x" + kReplacement);  // cut pair at the end
    EXPECT_EQ(Cp932ToUtf8("\xFF"
                          "z"),
              kReplacement + "z");
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b");  // an emoji has no CP932 form
    EXPECT_EQ(Utf8ToCp932("a\xC3"
                          "b"),
              "a?b");  // truncated sequence
    // The exact forms refuse anything lossy.
    EXPECT_EQ(Cp932ToUtf8Exact("\x82\xA0"), std::optional<std::string>("\xE3\x81\x82"));
    EXPECT_EQ(Cp932ToUtf8Exact("\x82"), std::nullopt);
    EXPECT_EQ(Utf8ToCp932Exact("\xF0\x9F\x98\x80"), std::nullopt);
    EXPECT_EQ(Utf8ToCp932Exact("abc"), std::optional<std::string>("abc"));
}

}  // namespace
}  // namespace talu::host
