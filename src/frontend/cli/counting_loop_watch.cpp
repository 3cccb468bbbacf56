#include "frontend/cli/counting_loop_watch.h"

#include <charconv>

namespace talu::cli {
namespace {

bool IsNumber(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

/// True when after differs from before only in the values of variables that hold a number
/// both times.
bool OnlyNumbersChanged(const std::map<std::string, std::string>& before,
                        const std::map<std::string, std::string>& after) {
    if (before.size() != after.size()) {
        return false;
    }
    bool changed = false;
    for (auto b = before.begin(), a = after.begin(); b != before.end(); ++b, ++a) {
        if (b->first != a->first) {
            return false;
        }
        if (b->second != a->second) {
            if (!IsNumber(b->second) || !IsNumber(a->second)) {
                return false;
            }
            changed = true;
        }
    }
    return changed;
}

}  // namespace

bool CountingLoopWatch::Met(const std::string& place,
                            const std::map<std::string, std::string>& variables) {
    auto [it, first] = places_.try_emplace(place);
    Visit& visit = it->second;
    if (!first) {
        visit.countingReturns =
            OnlyNumbersChanged(visit.variables, variables) ? visit.countingReturns + 1 : 0;
    }
    visit.variables = variables;
    return visit.countingReturns >= kReturns;
}

}  // namespace talu::cli
