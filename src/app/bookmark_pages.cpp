#include "app/bookmark_manager.h"
#include "app/table_entries.h"
#include "script/messages.h"

// The bookmark manager's in-memory save points, one at the start of each page, for going back.
namespace talu::app {

PageSavePoint BookmarkManager::CapturePage(interp::Interpreter& interpreter) {
    PageSavePoint point;
    // The book file as the interpreter reads it now: no slot file stands between.
    point.slot.positionFile = interpreter.Book().Path();
    point.slot.positionIndex = interpreter.Book().CurrentIndex();
    point.slot.state = CurrentState(interpreter);
    interp::ScriptVariables& variables = interpreter.Variables();
    point.slot.substitutions = CurrentEntries(interpreter.Book().Substitutions());
    point.slot.variables = CurrentEntries(variables.Variables());
    point.slot.bookmarks = CurrentEntries(variables.Bookmarks());
    point.bookmarkMemo = CurrentEntries(variables.BookmarkMemo().Table());
    point.pendingText = interpreter.PendingText();
    return point;
}

bool BookmarkManager::RestorePage(
    interp::Interpreter& fresh, const PageSavePoint& point,
    const std::function<void(int result, const script::TagRecord&)>& executed) {
    const int number = CurrentSlot();
    const SlotFile& slot = point.slot;
    fresh.PrepareBookmarked(BookPath(), number);
    interp::ScriptVariables& variables = fresh.Variables();
    BindMemos(variables, number);
    interp::MemoStore& memo = variables.BookmarkMemo();
    if (CurrentEntries(memo.Table()) != point.bookmarkMemo) {
        FillTable(memo.Table(), point.bookmarkMemo);
        memo.Flush();
    }
    FillTable(fresh.Book().Substitutions(), slot.substitutions);
    FillTable(variables.Variables(), slot.variables);
    FillTable(variables.Bookmarks(), slot.bookmarks);
    RestoreState(fresh, slot, Paths().BookFolder(), executed);
    if (!fresh.ReopenAt(slot.positionFile, slot.positionIndex)) {
        ShowError(script::err::kLoadFailed);
        return false;
    }
    fresh.SetPendingText(point.pendingText);
    if (point.pendingText.empty()) {
        RebuildRecords(fresh, false);
    }
    std::lock_guard lock(mutex_);
    if (!point.pendingText.empty()) {
        position_.reset();
    }
    // No picture was kept for the page: a save before the next save point goes without one.
    haveShot_ = false;
    loadedPicture_.clear();
    return true;
}

}  // namespace talu::app
