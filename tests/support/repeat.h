#pragma once

#include <string>

namespace talu::test {

/// text written count times; for runs of double-byte characters, which std::string's fill
/// constructor cannot make.
inline std::string Repeat(const std::string& text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += text;
    }
    return out;
}

}  // namespace talu::test
