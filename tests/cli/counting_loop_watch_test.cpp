#include "frontend/cli/counting_loop_watch.h"

#include <gtest/gtest.h>

#include <vector>

namespace talu::cli {
namespace {

using Variables = std::map<std::string, std::string>;

struct Case {
    const char* name;
    /// The variables at each return to one place, the first meeting included.
    std::vector<Variables> visits;
    /// Whether the last meeting closes a counting loop.
    bool loop;
};

TEST(CountingLoopWatch, SpotsReturnsWhereOnlyNumbersChanged) {
    const std::vector<Case> cases = {
        {"a counter going up",
         {{{"cnt", "1"}}, {{"cnt", "2"}}, {{"cnt", "3"}}, {{"cnt", "4"}}},
         true},
        {"a counter going down", {{{"n", "0"}}, {{"n", "-1"}}, {{"n", "-2"}}, {{"n", "-3"}}}, true},
        {"one return short", {{{"cnt", "1"}}, {{"cnt", "2"}}, {{"cnt", "3"}}}, false},
        {"the same state again is the choice tree's business",
         {{{"cnt", "1"}}, {{"cnt", "1"}}, {{"cnt", "1"}}, {{"cnt", "1"}}},
         false},
        {"a word changes too",
         {{{"cnt", "1"}, {"w", "a"}},
          {{"cnt", "2"}, {"w", "b"}},
          {{"cnt", "3"}, {"w", "c"}},
          {{"cnt", "4"}, {"w", "d"}}},
         false},
        {"a new variable breaks the run of returns",
         {{{"cnt", "1"}}, {{"cnt", "2"}}, {{"cnt", "3"}, {"x", "1"}}, {{"cnt", "4"}, {"x", "1"}}},
         false},
        {"a number becomes a word",
         {{{"c", "1"}}, {{"c", "2"}}, {{"c", "3"}}, {{"c", "3x"}}},
         false},
    };
    for (const Case& c : cases) {
        CountingLoopWatch watch;
        bool loop = false;
        for (const Variables& visit : c.visits) {
            loop = watch.Met("book\n7", visit);
        }
        EXPECT_EQ(loop, c.loop) << c.name;
    }
}

}  // namespace
}  // namespace talu::cli
