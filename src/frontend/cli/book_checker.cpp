#include "frontend/cli/book_checker.h"

#include <algorithm>

#include "app/archive_books.h"
#include "frontend/cli/book_relative.h"
#include "frontend/cli/item_checks.h"
#include "host/encoding.h"
#include "host/paths.h"
#include "script/keywords.h"
#include "script/sjis_text.h"

namespace talu::cli {
namespace {

namespace fs = std::filesystem;
namespace kw = script::kw;

// One key per file however a book spells its way there.
std::string Canonical(const fs::path& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(path, ec);
    return ec ? path.string() : canonical.string();
}

}  // namespace

BookChecker::BookChecker(CheckReport& report)
    : report_(report),
      archives_(files_.Plugins()),
      book_(script::BookServices{nullptr, nullptr, &archives_, host::ProgramFolder()}) {}

bool BookChecker::Check(const fs::path& book, std::string_view member) {
    std::error_code ec;
    const fs::path host = fs::absolute(book, ec).lexically_normal();
    const std::string inside = member.empty() ? host::InsidePathFromHost(host)
                                              : app::ArchiveMemberInsidePath(host, member);
    if (ec || !fs::is_regular_file(host, ec) || !book_.OpenPath(inside)) {
        return false;
    }
    bookFolder_ = book_.Folder();
    const std::string& hostPath = book_.Files().front().hostPath;
    bookHostFolder_ = fs::path(hostPath.empty() ? host.string() : hostPath).parent_path();
    files_.SetBookFolder(bookFolder_);
    targets_.emplace(member.empty() ? Canonical(host) : inside, Target{book_.Path(), {}});
    CheckReading();
    while (!toRead_.empty()) {
        const std::string key = std::move(toRead_.front());
        toRead_.pop_front();
        // An empty file has nothing to check.
        if (book_.LoadOtherFile(targets_.at(key).insidePath)) {
            CheckReading();
        }
    }
    CheckTargetLabels();
    return true;
}

void BookChecker::CheckReading() {
    const std::vector<Place> places = PlacesOfReading();
    CheckItems(book_, places, bookFolder_, report_);
    script::TagRecord record;
    while (book_.FetchTag(record)) {
        CheckRecord(record, places);
    }
}

std::vector<Place> BookChecker::PlacesOfReading() {
    const std::vector<script::Book::SourceFile>& files = book_.Files();
    std::vector<int> ids;
    ids.reserve(files.size());
    for (const script::Book::SourceFile& file : files) {
        const std::string key =
            file.hostPath.empty() ? "archive member " + file.path : Canonical(file.hostPath);
        ids.push_back(report_.AddFile(key, FileName(file)));
    }
    std::vector<std::uint32_t> ordinals(files.size(), 0);
    std::vector<Place> places;
    places.reserve(book_.Items().size());
    for (const script::Book::Item& item : book_.Items()) {
        places.push_back(Place{ids[item.file], item.line, ordinals[item.file]++});
    }
    return places;
}

void BookChecker::CheckRecord(const script::TagRecord& record, const std::vector<Place>& places) {
    const std::size_t index = book_.FetchedIndex();
    if (index >= places.size()) {
        return;
    }
    int command = 0;
    record.GetCommand(command);
    if (command == kw::kA && !record.FindAttribute(kw::kName)) {
        // The k-th link of a group is the k-th item after the first.
        for (std::size_t k = 0; index + k < places.size(); ++k) {
            const int id = kw::kHref + kw::kLinkStride * static_cast<int>(k);
            std::optional<std::string_view> href = record.FindAttribute(id);
            if (!href) {
                break;
            }
            CheckHref(*href, places[index + k]);
        }
        return;
    }
    if (command == kw::kQuestion) {
        if (std::optional<std::string_view> href = record.FindAttribute(kw::kHref)) {
            CheckHref(*href, places[index]);
        }
        return;
    }
    messages_.clear();
    files_.Check(book_, record, messages_);
    for (std::string& message : messages_) {
        report_.Add(places[index], std::move(message));
    }
}

void BookChecker::CheckHref(std::string_view href, const Place& place) {
    if (HoldsVariable(href)) {
        return;
    }
    const std::size_t hash = script::FindChar(href, '#');
    const std::string_view file = href.substr(0, hash);
    const std::string_view label =
        hash == script::npos ? std::string_view() : href.substr(hash + 1);
    if (file.empty()) {
        if (!label.empty() && !book_.FindLabel(label)) {
            report_.Add(place, "Link target " + QuoteBookText(href) +
                                   " is not found: no A tag has NAME=" + QuoteBookText(label) +
                                   ".");
        }
        return;
    }
    // A jump joins the file to the folder of the file being read, and opens plain files only.
    const std::string path = script::JoinPath(book_.Folder(), file);
    std::error_code ec;
    std::optional<fs::path> host = host::FindHostPath(path, host::HostPathOptions{book_.Folder()});
    std::string key;
    if (host && fs::is_regular_file(*host, ec)) {
        key = Canonical(*host);
    } else if (FromArchive() && archives_.ReadMember(path, book_.Folder())) {
        key = path;  // a member of the archive the book was read from
    } else {
        report_.Add(place, "Link target file " + QuoteBookText(file) + " cannot be opened.");
        return;
    }
    auto [target, added] = targets_.try_emplace(key, Target{path, {}});
    if (added) {
        toRead_.push_back(key);
    }
    if (!label.empty()) {
        target->second.labelUses.push_back(
            Target::LabelUse{place, std::string(label), std::string(href)});
    }
}

void BookChecker::CheckTargetLabels() {
    for (const auto& [key, target] : targets_) {
        if (target.labelUses.empty()) {
            continue;
        }
        book_.LoadOtherFile(target.insidePath);
        if (book_.Path() != target.insidePath) {
            continue;  // gone while we looked
        }
        for (const Target::LabelUse& use : target.labelUses) {
            if (!book_.FindLabel(use.label)) {
                report_.Add(use.place, "Link target " + QuoteBookText(use.href) +
                                           " is not found: no A tag has NAME=" +
                                           QuoteBookText(use.label) + ".");
            }
        }
    }
}

bool BookChecker::FromArchive() const {
    return !book_.Files().empty() && book_.Files().front().hostPath.empty();
}

std::string BookChecker::FileName(const script::Book::SourceFile& file) const {
    if (!file.hostPath.empty()) {
        const fs::path relative = fs::path(file.hostPath).lexically_relative(bookHostFolder_);
        return relative.empty() ? file.hostPath : relative.generic_string();
    }
    // An archive member: its inside path, as the book spells it, with this system's slashes.
    std::string name = host::Cp932ToUtf8(BookRelativePath(file.path, bookFolder_));
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

}  // namespace talu::cli
