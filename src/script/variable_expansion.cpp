#include "script/variable_expansion.h"

#include <string>
#include <vector>

#include "host/encoding.h"
#include "script/sjis_text.h"

namespace talu::script {
namespace {

// A variable holding its own braces ("{a}" or "x{a}") would expand forever; real books nest a
// few levels at most.
constexpr int kMaxRounds = 64;
constexpr std::size_t kMaxExpandedSize = 1 << 20;

// Positions of the braces that stand outside square brackets (depth 0), in order.
std::vector<std::size_t> OpenBraces(std::string_view text, char brace) {
    std::vector<std::size_t> found;
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); i += host::CharLength(text, i)) {
        char c = text[i];
        if (c == '[') {
            ++depth;
        } else if (c == ']') {
            --depth;
        } else if (c == brace && depth == 0) {
            found.push_back(i);
        }
    }
    return found;
}

bool Contains(const std::vector<std::size_t>& positions, std::size_t pos) {
    for (std::size_t p : positions) {
        if (p == pos) {
            return true;
        }
    }
    return false;
}

// One substitution step; false when there is no brace pair or the name is unknown.
bool ExpandOnce(std::string& value, const StringTable& variables) {
    std::vector<std::size_t> opens = OpenBraces(value, '{');
    std::vector<std::size_t> closes = OpenBraces(value, '}');
    if (opens.empty()) {
        return false;
    }
    std::size_t first = opens.front();
    std::size_t close = npos;
    for (std::size_t c : closes) {
        if (c > first) {
            close = c;
            break;
        }
    }
    if (close == npos) {
        return false;
    }
    std::string_view name = std::string_view(value).substr(first + 1, close - first - 1);
    std::optional<std::string_view> replacement = variables.Find(name);
    if (!replacement) {
        return false;
    }
    std::string out;
    std::size_t pos = 0;
    const std::size_t markLength = name.size() + 2;
    for (std::size_t open : opens) {
        if (open < pos || value.compare(open + 1, name.size(), name) != 0 ||
            !Contains(closes, open + 1 + name.size())) {
            continue;
        }
        out.append(value, pos, open - pos);
        out.append(*replacement);
        pos = open + markLength;
    }
    out.append(value, pos, npos);
    value = std::move(out);
    return true;
}

}  // namespace

void ExpandVariables(TagRecord& record, const StringTable& variables) {
    const std::vector<std::string>& entries = record.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto split = SplitEntry(entries[i]);
        if (!split || split->first == TagRecord::kCommandKey ||
            FindChar(split->second, '{') == npos) {
            continue;
        }
        std::string key(split->first);
        std::string value(split->second);
        bool changed = false;
        for (int round = 0; round < kMaxRounds && value.size() <= kMaxExpandedSize; ++round) {
            std::string before = value;
            if (!ExpandOnce(value, variables) || value == before) {
                break;
            }
            changed = true;
        }
        if (changed) {
            // Written back in place: the entry keeps its position in the record.
            record.ReplaceEntry(i, key, value);
        }
    }
}

}  // namespace talu::script
