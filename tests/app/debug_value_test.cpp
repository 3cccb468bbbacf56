#include "app/debug_value.h"

#include <gtest/gtest.h>

#include "host/clock.h"
#include "script/messages.h"
#include "support/interpreter_rig.h"

namespace talu::app {
namespace {

TEST(DebugValueTest, ShowsExpressionsNamesAndNone) {
    test::RecordedBoxes boxes;
    script::Diagnostics diagnostics{boxes, script::kLangEnglish};
    script::Book book{script::BookServices{&diagnostics, nullptr, nullptr, "Z:\\p\\"}};
    host::VirtualClock clock;
    interp::ScriptVariables variables{book, &diagnostics, clock};
    variables.Variables().Set("hero", "Aoi");
    variables.Variables().Set("count", "4");

    const struct {
        std::string_view typed;
        std::optional<std::string> shown;
    } cases[] = {
        {"(1+2)", "3"},    {"  (count*2) ", "8"}, {"hero", "Aoi"},       {"\thero\r\n", "Aoi"},
        {"never", "none"}, {"", std::nullopt},    {"   ", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DebugValue(variables, c.typed), c.shown) << c.typed;
    }
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace talu::app
