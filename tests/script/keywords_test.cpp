#include "script/keywords.h"

#include <gtest/gtest.h>

namespace talu::script {
namespace {

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
                                                 {"\x82\x60", 0},   {std::string(200, 'a'), 0}};
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

}  // namespace
}  // namespace talu::script
