#include "app/slot_reader.h"

#include "app/book_folder_paths.h"
#include "host/paths.h"
#include "host/regular_file.h"
#include "script/sjis_text.h"

namespace talu::app {

std::optional<SlotFile> ReadSlot(const SlotPaths& paths, int n, SlotReadProblem& problem) {
    const auto host = host::FindHostPath(paths.Slot(n), {});
    if (!host) {
        problem = SlotReadProblem::kMissing;
        return std::nullopt;
    }
    const host::RegularFileRead file = host::ReadRegularFile(*host, kMaxSlotFileBytes);
    if (!file.bytes) {
        problem = file.refusal == host::ReadRefusal::kMissing ? SlotReadProblem::kMissing
                                                              : SlotReadProblem::kUnreadable;
        return std::nullopt;
    }
    std::string reason;
    std::optional<SlotFile> slot = ParseSlotFile(*file.bytes, reason);
    if (!slot) {
        problem = SlotReadProblem::kRefused;
    }
    return slot;
}

bool CheckSlotPlace(SlotFile& slot, const SlotPaths& paths, const script::Book& openBook) {
    // A slot of another book would open that book and send later saves to its slots.
    if (script::ToLowerAscii(slot.bookFile) != script::ToLowerAscii(paths.BookFileName())) {
        return false;
    }
    const std::string folder = paths.BookFolder();
    const std::optional<std::string> reopen = PathInBookFolder(slot.positionFile, folder);
    if (!reopen || IsPlayerWrittenFile(*reopen)) {
        return false;
    }
    const std::string book = folder + slot.bookFile;
    script::Book scratch{script::BookServices{nullptr, nullptr, openBook.Archives(), {}}};
    const bool bookThere =
        script::ToLowerAscii(book) == script::ToLowerAscii(*reopen) || scratch.OpenPath(book);
    if (!bookThere || !scratch.OpenPath(*reopen) || scratch.Items().empty() ||
        static_cast<std::size_t>(slot.positionIndex) > scratch.Items().size()) {
        return false;
    }
    slot.positionFile = *reopen;
    return true;
}

}  // namespace talu::app
