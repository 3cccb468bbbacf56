#include "interp/kinsoku.h"

#include <gtest/gtest.h>

#include "host/encoding.h"

namespace talu::interp {
namespace {

TEST(Kinsoku, EveryListedCharacterMayNotBeginALine) {
    // The set as written down, in UTF-8; each must be recognised in its CP932 form.
    const char* listed[] = {"。", "、", "，", "．", ",",  ".", "､", "｡", "」", "』", "】", "〉",
                            "》", "］", "｝", "〕", "）", "]", "}", ")", "｣",  "；", "：", "？",
                            "！", "”",  "’",  "゜", "゛", "ﾞ", "ﾟ", ":", ";",  "?",  "!",  "\""};
    for (const char* utf8 : listed) {
        std::optional<std::string> cp932 = host::Utf8ToCp932Exact(utf8);
        ASSERT_TRUE(cp932.has_value()) << utf8;
        EXPECT_TRUE(IsKinsoku(*cp932)) << utf8;
    }
}

TEST(Kinsoku, OrdinaryCharactersAndPartsOfCharactersMayBeginALine) {
    for (const char* utf8 : {"あ", "「", "（", "A", "-", "ー", "・", "'", "ｱ"}) {
        EXPECT_FALSE(IsKinsoku(host::Utf8ToCp932(utf8))) << utf8;
    }
    // ‐ and ア have the trail bytes "]" and "A"; then a lead byte alone, two characters, nothing.
    for (const char* cp932 : {"\x81\x5D", "\x83\x41", "\x81", "\x81\x42\x81\x42", ""}) {
        EXPECT_FALSE(IsKinsoku(cp932)) << host::Cp932ToUtf8(cp932);
    }
}

}  // namespace
}  // namespace talu::interp
