#include "script/numbers.h"

#include <climits>

namespace talu::script {
namespace {

// Accumulates as a negative number so that INT_MIN is reachable without overflow.
int ParseMagnitude(std::string_view text, bool negative) {
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > kLimit) {
            value = kLimit;
        }
    }
    if (negative) {
        return static_cast<int>(-value);
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

}  // namespace

int ParseDigits(std::string_view text) {
    return ParseMagnitude(text, false);
}

int ParseSignedDigits(std::string_view text) {
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        return ParseMagnitude(text.substr(1), text[0] == '-');
    }
    return ParseMagnitude(text, false);
}

}  // namespace talu::script
