#include "app/bookmark_manager.h"
#include "app/slot_place.h"
#include "host/encoding.h"
#include "script/sjis_text.h"

// The place kept beside a slot: written with it, followed when the book was edited since.
namespace talu::app {
namespace {

std::string PlaceMessage(int langMode, bool found) {
    if (langMode == 0) {
        return host::Utf8ToCp932(found ? "しおりの位置を本の変更に合わせました。"
                                       : "しおりの位置が変更された本に見つかりません。"
                                         "保存された位置から読み込みますか？");
    }
    return found ? "The book has changed; the bookmark was moved to the same text."
                 : "The book has changed and the bookmark's text is no longer in it. Load at the "
                   "saved place anyway?";
}

}  // namespace

std::string BookmarkManager::PlaceText(interp::Interpreter& interpreter, const SlotFile& file,
                                       const std::string& slotBytes) const {
    // The items at hand are the position file's only while the book still reads that file.
    if (script::ToLowerAscii(CurrentPosition(interpreter).file) !=
        script::ToLowerAscii(file.positionFile)) {
        return {};
    }
    const std::optional<SlotPlace> place =
        MakeSlotPlace(interpreter.Book().Items(), file.positionIndex, slotBytes);
    return place ? FormatSlotPlace(*place) : std::string();
}

bool BookmarkManager::FollowPlace(SlotFile& slot, const std::string& placePath,
                                  std::uint64_t slotHash, const script::Book& openBook) {
    // A place of another slot or book, or one that does not read, is passed over: the slot
    // loads as it would without it.
    const std::optional<SlotPlace> place = ReadSlotPlace(placePath);
    if (!place || place->slotHash != slotHash) {
        return true;
    }
    script::Book scratch{script::BookServices{nullptr, nullptr, openBook.Archives(), {}}};
    if (!scratch.OpenPath(slot.positionFile) || SameItems(*place, scratch.Items())) {
        return true;
    }
    const int old = slot.positionIndex;
    const std::optional<int> found = FindSlotPlace(*place, scratch.Items(), old);
    if (found && *found == old) {
        return true;  // edited elsewhere: the place stands where it stood
    }
    if (services_.placeFollowed) {
        services_.placeFollowed(old, found);
    }
    const std::string text = PlaceMessage(services_.langMode(), found.has_value());
    if (found) {
        slot.positionIndex = *found;
        services_.showBox(text);
        return true;
    }
    return !services_.ask || services_.ask(text);
}

}  // namespace talu::app
