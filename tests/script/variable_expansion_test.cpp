#include "script/variable_expansion.h"

#include <gtest/gtest.h>

namespace talu::script {
namespace {

std::string Expand(std::string_view value, const StringTable& variables) {
    TagRecord record;
    record.SetCommand(2);
    record.AddAttribute(62, value);
    ExpandVariables(record, variables);
    return std::string(*record.FindAttribute(62));
}

TEST(ExpandVariables, ValuesOfAttributes) {
    StringTable variables;
    variables.Set("name", "Taro");
    variables.Set("one", "1");
    variables.Set("outer", "{one}");
    variables.Set("loop", "{loop}");
    variables.Set("\x83{", "bad");  // 0x83 0x7B is one double-byte character
    const std::pair<std::string, std::string> cases[] = {
        {"Hello {name}, {name}!", "Hello Taro, Taro!"},
        {"{one}{nobody}", "1{nobody}"},  // an unknown name stops the value
        {"{nobody}{one}", "{nobody}{one}"},
        // Braces inside square brackets are left alone; quotes in the text stay as they are.
        {"[{name}]", "[{name}]"},
        {"{name}[{one}]", "Taro[{one}]"},
        {"\"{name}\"[{name}]", "\"Taro\"[{name}]"},
        {"{outer}", "1"},  // nested uses expand until settled
        {"{loop}", "{loop}"},
        {"\x83{name}", "\x83{name}"},  // a trail byte is no brace
        {"\x83{{name}", "\x83{Taro"},
        {"{\x83{}", "bad"}};
    for (const auto& [value, expanded] : cases) {
        EXPECT_EQ(Expand(value, variables), expanded) << value;
    }
    variables.Set("grow", "x{grow}");
    EXPECT_LE(Expand("{grow}", variables).size(), 1u << 21);
}

TEST(ExpandVariables, TheCommandIsNeverExpanded) {
    StringTable variables;
    variables.Set("x", "5");
    TagRecord record;
    record.AddPair("___COMMAND___", "{x}");
    record.AddAttribute(63, "{x}");
    ExpandVariables(record, variables);
    EXPECT_EQ(record.Entries(), (std::vector<std::string>{"___COMMAND___\t{x}", "63\t5"}));
}

}  // namespace
}  // namespace talu::script
