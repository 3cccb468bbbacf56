#include "interp/expression.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>

#include "host/encoding.h"
#include "script/numbers.h"

namespace talu::interp {
namespace {

// Expressions nest one level per parenthesis pair; far deeper text is surely not an expression,
// and every level costs stack.
constexpr int kMaxDepth = 200;
// Minus signs the old evaluator could classify at one level; more never form a valid expression.
constexpr int kMaxMinusSigns = 4;

bool IsOperator(char c) {
    switch (c) {
        case '!':
        case '@':
        case '+':
        case '-':
        case '*':
        case '/':
        case '%':
        case '>':
        case '<':
        case '|':
        case '&':
        case '?':
        case '=':
        case '^':
            return true;
        default:
            return false;
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsNumeric(std::string_view text) {
    if (!text.empty() && text[0] == '-') {
        text.remove_prefix(1);
    }
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsDigitsOnly(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsTextLiteral(std::string_view text) {
    return text.size() >= 3 && text.front() == '[' && text.back() == ']';
}

bool IsPlainName(std::string_view text) {
    return !text.empty() && !IsDigit(text[0]) && text[0] != '[' && text[0] != '(';
}

// The truth of a variable's text: its number, or for texts whose number is 0, 0 only for "0".
std::int32_t Truth(std::string_view text) {
    std::int32_t number = script::ParseSignedDigits(text);
    if (number != 0) {
        return number;
    }
    return text == "0" ? 0 : 1;
}

// Arithmetic wraps in 32 bits, as the old machine code did, without undefined behaviour.
std::int32_t Wrap(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::int32_t Divide(std::int32_t left, std::int32_t right) {
    if (right == 0) {
        return 0;
    }
    if (left == INT_MIN && right == -1) {
        return INT_MIN;
    }
    return left / right;
}

std::int32_t Remainder(std::int32_t left, std::int32_t right) {
    if (right == 0 || right == -1) {
        return 0;
    }
    return left % right;
}

// The scan copy of the inside of "( ... )": double-byte characters and everything inside square
// brackets become a neutral letter, so they never count as operators or parentheses.
std::string ScanCopy(std::string_view text) {
    std::string copy(text);
    bool inBrackets = false;
    for (std::size_t i = 0; i < copy.size();) {
        std::size_t length = host::CharLength(copy, i);
        if (length == 2) {
            copy[i] = copy[i + 1] = 'a';
        } else if (inBrackets) {
            if (copy[i] == ']') {
                inBrackets = false;
            } else {
                copy[i] = 'a';
            }
        } else if (copy[i] == '[') {
            inBrackets = true;
        }
        i += length;
    }
    return copy;
}

// Which characters at level 0 are operators (marked 1): a minus right after the opening
// parenthesis or after another operator is a sign. nullopt past the allowed minus signs.
std::optional<std::string> OperatorMarks(const std::string& scan) {
    std::string isOperator(scan.size(), 0);
    int level = 0;
    int minusSigns = 0;
    for (std::size_t i = 0; i < scan.size(); ++i) {
        const char c = scan[i];
        if (c == '(') {
            ++level;
        } else if (c == ')') {
            --level;
        } else if (level == 0 && IsOperator(c)) {
            if (c == '-') {
                if (++minusSigns > kMaxMinusSigns) {
                    return std::nullopt;
                }
                if (i == 0 || IsOperator(scan[i - 1])) {
                    continue;  // a sign
                }
            }
            isOperator[i] = 1;
        }
    }
    return isOperator;
}

}  // namespace

ExpressionEvaluator::ExpressionEvaluator(script::StringTable& variables,
                                         script::StringTable& bookmarks, std::uint32_t seed)
    : variables_(variables), bookmarks_(bookmarks), randomState_(seed) {}

std::int32_t ExpressionEvaluator::Random() {
    randomState_ = randomState_ * 214013u + 2531011u;
    return static_cast<std::int32_t>((randomState_ >> 16) & 0x7FFF);
}

std::int32_t ExpressionEvaluator::Evaluate(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char c : text) {
        if (c != ' ') {
            compact += c;
        }
    }
    if (compact.empty() || std::count(compact.begin(), compact.end(), '(') !=
                               std::count(compact.begin(), compact.end(), ')')) {
        return kExpressionError;
    }
    tooDeep_ = false;
    std::int32_t value = Expression(compact, 0);
    return tooDeep_ ? kExpressionError : value;
}

std::int32_t ExpressionEvaluator::Binary(char op, std::string_view left, std::string_view right,
                                         std::int32_t leftValue, std::int32_t rightValue) {
    const std::int64_t l = leftValue;
    const std::int64_t r = rightValue;
    switch (op) {
        case '+':
            return Wrap(l + r);
        case '-':
            return Wrap(l - r);
        case '*':
            return Wrap(l * r);
        case '/':
            return Divide(leftValue, rightValue);
        case '%':
            return Remainder(leftValue, rightValue);
        case '>':
            return leftValue > rightValue ? 1 : 0;
        case '<':
            return leftValue < rightValue ? 1 : 0;
        case '|':
            return (leftValue != 0 || rightValue != 0) ? 1 : 0;
        case '&':
            return (leftValue != 0 && rightValue != 0) ? 1 : 0;
        case '?':
            return Equal(left, right, leftValue, rightValue);
        case '=':
            return Assign(left, right, rightValue);
        default:
            return kExpressionError;
    }
}

std::int32_t ExpressionEvaluator::Expression(std::string_view text, int depth) {
    if (text.size() < 2 || text.front() != '(' || text.back() != ')') {
        return Operand(text);
    }
    if (depth >= kMaxDepth) {
        tooDeep_ = true;
        return kExpressionError;
    }
    const std::string_view inside = text.substr(1, text.size() - 2);
    const std::string scan = ScanCopy(inside);

    const std::optional<std::string> marks = OperatorMarks(scan);
    if (!marks) {
        return kExpressionError;
    }
    const std::string& isOperator = *marks;
    const std::size_t first = isOperator.find('\1');
    const std::size_t last = isOperator.rfind('\1');
    if (first == std::string::npos) {
        if (text.size() < 3) {
            return kExpressionError;  // "()"
        }
        return Expression(inside, depth + 1) != 0 ? 1 : 0;
    }
    if (first != last) {
        return kExpressionError;
    }
    const char op = scan[first];
    const std::string_view right = inside.substr(first + 1);
    if (op == '!' || op == '@') {
        if (right.empty()) {
            return kExpressionError;
        }
        const std::int32_t operand = Expression(right, depth + 1);
        if (op == '!') {
            return operand == 0 ? 1 : 0;
        }
        return operand >= 1 ? Random() % (operand == INT_MAX ? INT_MAX : operand + 1) : 0;
    }
    const std::string_view left = inside.substr(0, first);
    const std::int32_t leftValue = Expression(left, depth + 1);
    if (op == '^') {
        if (leftValue != 0) {
            Expression(right, depth + 1);
        }
        return leftValue;
    }
    const std::int32_t rightValue = Expression(right, depth + 1);
    return Binary(op, left, right, leftValue, rightValue);
}

std::int32_t ExpressionEvaluator::Operand(std::string_view text) {
    if (IsNumeric(text)) {
        return script::ParseSignedDigits(text);
    }
    if (auto value = variables_.Find(text)) {
        return Truth(*value);
    }
    if (auto value = bookmarks_.Find(text)) {
        return Truth(*value);
    }
    if (!IsDigitsOnly(text)) {
        variables_.Set(text, "0");
        return 0;
    }
    return script::ParseDigits(text);
}

std::string ExpressionEvaluator::VariableText(std::string_view name) const {
    if (auto value = bookmarks_.Find(name)) {
        return std::string(*value);
    }
    if (auto value = variables_.Find(name)) {
        return std::string(*value);
    }
    return {};
}

std::int32_t ExpressionEvaluator::Equal(std::string_view left, std::string_view right,
                                        std::int32_t leftValue, std::int32_t rightValue) {
    const bool leftLiteral = IsTextLiteral(left);
    const bool rightLiteral = IsTextLiteral(right);
    if (!leftLiteral && !rightLiteral) {
        return leftValue == rightValue ? 1 : 0;
    }
    auto text = [this](std::string_view side, bool literal) {
        return literal ? std::string(side.substr(1, side.size() - 2)) : VariableText(side);
    };
    return text(left, leftLiteral) == text(right, rightLiteral) ? 1 : 0;
}

std::int32_t ExpressionEvaluator::Assign(std::string_view left, std::string_view right,
                                         std::int32_t rightValue) {
    if (IsPlainName(left) && IsPlainName(right)) {
        std::optional<std::string_view> found = bookmarks_.Find(right);
        if (!found) {
            found = variables_.Find(right);
        }
        if (!found) {
            return 0;
        }
        std::string value(*found);
        variables_.Set(left, value);
        return !value.empty() && IsDigit(value[0]) ? script::ParseDigits(value) : 1;
    }
    if (IsTextLiteral(right)) {
        variables_.Set(left, right.substr(1, right.size() - 2));
        return 1;
    }
    if (IsDigitsOnly(left)) {
        return rightValue;
    }
    char number[16];
    std::snprintf(number, sizeof(number), "%d", rightValue);
    if (!variables_.Contains(left) && bookmarks_.Contains(left)) {
        bookmarks_.Set(left, number);
    } else {
        variables_.Set(left, number);
    }
    return rightValue;
}

}  // namespace talu::interp
