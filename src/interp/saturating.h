#pragma once

#include <cstdint>
#include <limits>

namespace talu::interp {

/// a + b held at the int limits instead of overflowing: book values reach the layout unchecked.
constexpr int SaturatingAdd(int a, int b) {
    std::int64_t sum = std::int64_t{a} + b;
    if (sum > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (sum < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(sum);
}

}  // namespace talu::interp
