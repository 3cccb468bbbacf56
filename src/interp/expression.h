#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/string_table.h"

namespace talu::interp {

/// The value an expression gives when it cannot be evaluated.
inline constexpr std::int32_t kExpressionError = 0x7FFFFFFF;

/// The evaluator of ANSWER and VIEW expressions: every operation in its own parentheses,
/// one-character operators, 32-bit integers that wrap, variables that hold text. It reads and
/// writes the book's variable table and bookmark table. One evaluator serves one evaluation.
class ExpressionEvaluator {
  public:
    /// seed starts the random operator's sequence (the player passes the millisecond clock).
    ExpressionEvaluator(script::StringTable& variables, script::StringTable& bookmarks,
                        std::uint32_t seed);

    /// The value of text, or kExpressionError for an empty text, unbalanced parentheses, more
    /// than one operator at one level, "()" or a prefix operator without operand.
    std::int32_t Evaluate(std::string_view text);

  private:
    std::int32_t Expression(std::string_view text, int depth);
    /// The value of left op right, both already evaluated (their texts for ? and =).
    std::int32_t Binary(char op, std::string_view left, std::string_view right,
                        std::int32_t leftValue, std::int32_t rightValue);
    std::int32_t Operand(std::string_view text);
    std::int32_t Equal(std::string_view left, std::string_view right, std::int32_t leftValue,
                       std::int32_t rightValue);
    std::int32_t Assign(std::string_view left, std::string_view right, std::int32_t rightValue);
    std::string VariableText(std::string_view name) const;
    std::int32_t Random();

    script::StringTable& variables_;
    script::StringTable& bookmarks_;
    std::uint32_t randomState_;
    /// Set when the text nests deeper than the evaluator follows; the whole result is an error.
    bool tooDeep_ = false;
};

}  // namespace talu::interp
