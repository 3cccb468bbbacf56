#include "app/page_ranges.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>

namespace talu::app {
namespace {

// A whole number of at most nine digits, the rest of text after it.
std::optional<int> TakeNumber(std::string_view& text) {
    std::size_t digits = 0;
    int value = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        if (digits == 9) {
            return std::nullopt;
        }
        value = value * 10 + (text[digits] - '0');
        ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    text.remove_prefix(digits);
    return value;
}

}  // namespace

bool PageRanges::NameFits(std::string_view file) {
    return !file.empty() && file.size() <= kMaxFileName &&
           file.find_first_of(std::string_view("\t\n\r\0", 4)) == std::string_view::npos;
}

bool PageRanges::Contains(std::string_view file, int index) const {
    const auto found = files_.find(file);
    if (found == files_.end()) {
        return false;
    }
    const Ranges& ranges = found->second;
    auto after = ranges.upper_bound(index);
    return after != ranges.begin() && std::prev(after)->second >= index;
}

bool PageRanges::Insert(std::string_view file, int index) {
    if (index < 0 || index > kMaxIndex || !NameFits(file) || Contains(file, index)) {
        return false;
    }
    auto found = files_.find(file);
    if (found == files_.end()) {
        found = files_.emplace(std::string(file), Ranges{}).first;
    }
    Add(found->second, index, index);
    return true;
}

void PageRanges::Add(Ranges& ranges, int first, int last) {
    // Widened, so that a range ending at the largest index still merges with its neighbour.
    std::int64_t low = first;
    std::int64_t high = last;
    auto it = ranges.upper_bound(first);
    if (it != ranges.begin() && std::int64_t{std::prev(it)->second} + 1 >= low) {
        --it;
        low = it->first;
        high = std::max<std::int64_t>(high, it->second);
    }
    while (it != ranges.end() && it->first <= high + 1) {
        high = std::max<std::int64_t>(high, it->second);
        it = ranges.erase(it);
    }
    ranges.emplace_hint(it, static_cast<int>(low), static_cast<int>(high));
}

std::string PageRanges::Text() const {
    std::string text(kHeader);
    text += '\n';
    for (const auto& [file, ranges] : files_) {
        text += file;
        char separator = '\t';
        for (const auto& [first, last] : ranges) {
            text += separator;
            text += std::to_string(first);
            if (last != first) {
                text += '-';
                text += std::to_string(last);
            }
            separator = ',';
        }
        text += '\n';
    }
    return text;
}

bool PageRanges::Read(std::string_view text) {
    files_.clear();
    const std::size_t headerEnd = text.find('\n');
    if (headerEnd == std::string_view::npos || text.substr(0, headerEnd) != kHeader) {
        return false;
    }
    text.remove_prefix(headerEnd + 1);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return false;  // cut short: its last range may be cut too
        }
        if (!ReadLine(text.substr(0, end))) {
            return false;
        }
        text.remove_prefix(end + 1);
    }
    return true;
}

bool PageRanges::ReadLine(std::string_view line) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || !NameFits(line.substr(0, tab))) {
        return false;
    }
    const std::string_view file = line.substr(0, tab);
    std::string_view rest = line.substr(tab + 1);
    Ranges parsed;
    while (true) {
        const std::optional<int> first = TakeNumber(rest);
        std::optional<int> last = first;
        if (first && !rest.empty() && rest.front() == '-') {
            rest.remove_prefix(1);
            last = TakeNumber(rest);
        }
        if (!first || !last || *last < *first) {
            return false;
        }
        Add(parsed, *first, *last);
        if (rest.empty()) {
            break;
        }
        if (rest.front() != ',') {
            return false;
        }
        rest.remove_prefix(1);
    }
    auto found = files_.find(file);
    if (found == files_.end()) {
        files_.emplace(std::string(file), std::move(parsed));
        return true;
    }
    for (const auto& [first, last] : parsed) {
        Add(found->second, first, last);  // the same file twice: both lines count
    }
    return true;
}

std::size_t PageRanges::RangeCount() const {
    std::size_t count = 0;
    for (const auto& entry : files_) {
        count += entry.second.size();
    }
    return count;
}

}  // namespace talu::app
