#include "frontend/cli/check_report.h"

#include <algorithm>

#include "host/encoding.h"

namespace talu::cli {
namespace {

// Enough to recognise a tag or a path; a runaway tag would otherwise fill the screen.
constexpr std::size_t kMaxQuotedBytes = 60;

}  // namespace

int CheckReport::AddFile(const std::string& key, std::string name) {
    auto [it, added] = ids_.try_emplace(key, static_cast<int>(names_.size()));
    if (added) {
        names_.push_back(std::move(name));
    }
    return it->second;
}

void CheckReport::Add(const Place& place, std::string message) {
    if (!seen_.emplace(place.file, place.ordinal, message).second) {
        return;
    }
    findings_.push_back(Finding{place, std::move(message)});
}

std::size_t CheckReport::FilesWithFindings() const {
    std::set<int> files;
    for (const Finding& finding : findings_) {
        files.insert(finding.place.file);
    }
    return files.size();
}

void CheckReport::Print(std::ostream& out) const {
    std::vector<const Finding*> sorted;
    sorted.reserve(findings_.size());
    for (const Finding& finding : findings_) {
        sorted.push_back(&finding);
    }
    // Stable: findings of one item keep the order in which the checks found them.
    std::stable_sort(sorted.begin(), sorted.end(), [](const Finding* a, const Finding* b) {
        return std::tie(a->place.file, a->place.line, a->place.ordinal) <
               std::tie(b->place.file, b->place.line, b->place.ordinal);
    });
    for (const Finding* finding : sorted) {
        out << names_[static_cast<std::size_t>(finding->place.file)] << ':' << finding->place.line
            << ": " << finding->message << '\n';
    }
}

std::string QuoteBookText(std::string_view cp932) {
    std::size_t end = 0;
    while (end < cp932.size() && end < kMaxQuotedBytes) {
        end += host::CharLength(cp932, end);
    }
    std::string quoted = "\"" + host::Cp932ToUtf8(cp932.substr(0, end));
    if (end < cp932.size()) {
        quoted += "...";
    }
    return quoted + "\"";
}

}  // namespace talu::cli
