#include "frontend/cli/scratch_book.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <set>
#include <string_view>
#include <vector>

#include "host/paths.h"

namespace talu::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kFolder = static_cast<std::uintmax_t>(-1);
constexpr std::uintmax_t kLink = static_cast<std::uintmax_t>(-2);

// Every copied file carries this time. A run that writes a file gives it the present time, so
// a rewrite of the same size is told apart from the copy however coarse the clock of the file
// system is.
const fs::file_time_type kCopyTime = fs::file_time_type::clock::from_sys(
    std::chrono::sys_seconds{std::chrono::sys_days{std::chrono::year{2000} / 1 / 1}});

std::string InsideFolder(const fs::path& folder) {
    std::string inside = host::InsidePathFromHost(folder);
    if (inside.empty() || inside.back() != '\\') {
        inside += '\\';
    }
    return inside;
}

}  // namespace

std::unique_ptr<ScratchBook> ScratchBook::Create(const fs::path& book, std::string& problem) {
    std::unique_ptr<ScratchBook> scratch(new ScratchBook);
    std::error_code ec;
    scratch->source_ = fs::absolute(book, ec).parent_path();
    std::string pattern = (fs::temp_directory_path(ec) / "talu-explore-XXXXXX").string();
    if (ec || ::mkdtemp(pattern.data()) == nullptr) {
        problem = "cannot make a scratch folder for the book";
        return nullptr;
    }
    scratch->copy_ = pattern;
    scratch->book_ = scratch->copy_ / book.filename();
    scratch->insideCopy_ = InsideFolder(scratch->copy_);
    scratch->insideSource_ = InsideFolder(scratch->source_);

    // Links to folders are not followed: what they lead to is not the book's to write over.
    fs::recursive_directory_iterator it(scratch->source_,
                                        fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(scratch->source_);
        std::error_code probe;  // a dangling link is skipped, not a failure
        if (it->is_directory(probe) && !it->is_symlink(probe)) {
            if (!fs::create_directory(scratch->copy_ / relative, ec)) {
                break;
            }
            scratch->entries_.emplace(relative, kFolder);
        } else if (it->is_regular_file(probe) && !scratch->Mirror(relative, problem)) {
            return nullptr;
        }
    }
    if (ec) {
        problem = "cannot mirror the book's folder '" + scratch->source_.string() +
                  "' to a scratch folder: " + ec.message();
        return nullptr;
    }
    return scratch;
}

ScratchBook::~ScratchBook() {
    std::error_code ec;
    fs::remove_all(copy_, ec);
}

bool ScratchBook::Writable(const fs::path& file) {
    static constexpr std::array<std::string_view, 7> kWritten = {".memo", ".bmk",  ".png", ".bmp",
                                                                 ".jpg",  ".jpeg", ".ini"};
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(kWritten.begin(), kWritten.end(), extension) != kWritten.end();
}

bool ScratchBook::Mirror(const fs::path& relative, std::string& problem) {
    std::error_code ec;
    const fs::path from = source_ / relative;
    const fs::path to = copy_ / relative;
    std::uintmax_t entry = kLink;
    // Never copied through a link a run left in its place.
    fs::remove(to, ec);
    if (!ec && !Writable(relative)) {
        // Whatever a run writes replaces the link (atomic writes rename over it, SNAP removes
        // it first), so the author's file behind it is never written.
        fs::create_symlink(from, to, ec);
    } else if (!ec) {
        fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
        if (!ec) {
            fs::last_write_time(to, kCopyTime, ec);
        }
        entry = ec ? 0 : fs::file_size(to, ec);
    }
    if (ec) {
        problem = "cannot mirror '" + from.string() + "' in a scratch folder: " + ec.message();
        return false;
    }
    entries_[relative] = entry;
    return true;
}

bool ScratchBook::Restore(std::string& problem) {
    std::error_code ec;
    std::vector<fs::path> added;
    std::vector<fs::path> changed;
    std::set<fs::path> seen;
    fs::recursive_directory_iterator it(copy_, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(copy_);
        const auto entry = entries_.find(relative);
        std::error_code probe;
        const bool folder = it->is_directory(probe) && !it->is_symlink(probe);
        if (entry == entries_.end() || (entry->second == kFolder) != folder) {
            added.push_back(relative);
            if (folder) {
                it.disable_recursion_pending();
            }
            continue;
        }
        seen.insert(relative);
        if (entry->second == kLink) {
            if (!it->is_symlink(probe) ||
                fs::read_symlink(it->path(), probe) != source_ / relative) {
                changed.push_back(relative);
            }
        } else if (!folder && (it->is_symlink(probe) || !it->is_regular_file(probe) ||
                               it->file_size(probe) != entry->second ||
                               it->last_write_time(probe) != kCopyTime)) {
            changed.push_back(relative);
        }
    }
    for (const fs::path& relative : added) {
        fs::remove_all(copy_ / relative, ec);
    }
    for (const auto& [relative, size] : entries_) {
        if (!seen.contains(relative)) {
            if (size == kFolder) {
                fs::create_directories(copy_ / relative, ec);
            } else {
                changed.push_back(relative);
            }
        }
    }
    if (ec) {
        problem = "cannot put the scratch copy of the book back: " + ec.message();
        return false;
    }
    for (const fs::path& relative : changed) {
        if (!Mirror(relative, problem)) {
            return false;
        }
    }
    return true;
}

}  // namespace talu::cli
