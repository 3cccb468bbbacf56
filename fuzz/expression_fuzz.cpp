// Any text as an ANSWER or VIEW expression: no crash, no hang, no undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "interp/expression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    talu::script::StringTable variables;
    talu::script::StringTable bookmarks;
    variables.Set("a", "5");
    variables.Set("t", "text");
    bookmarks.Set("b", "-7");
    talu::interp::ExpressionEvaluator evaluator(variables, bookmarks, 12345);
    evaluator.Evaluate(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
