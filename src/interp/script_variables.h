#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/clock.h"
#include "interp/memo_store.h"
#include "script/book.h"
#include "script/diagnostics.h"
#include "script/string_table.h"
#include "script/tag_record.h"

namespace talu::interp {

/// The book's own state: its variables, the names its bookmarks set, and the memo files that
/// outlive a reading. Conditions (VIEW, ENABLE, ANSWER) are decided here, and the QUESTION,
/// EVENT and MEMO tags act on it. One per open book.
class ScriptVariables {
  public:
    /// book is where jumps and event skips happen; diagnostics (may be null) shows the
    /// expression error; clock seeds each evaluation's random numbers.
    ScriptVariables(script::Book& book, script::Diagnostics* diagnostics, host::Clock& clock);

    script::StringTable& Variables() { return variables_; }
    script::StringTable& Bookmarks() { return bookmarks_; }
    MemoStore& BookMemo() { return bookMemo_; }
    MemoStore& BookmarkMemo() { return bookmarkMemo_; }

    /// Reads the memo files of a book: "<book without extension>.memo" and, for the bookmark
    /// slot, "<book without extension>.<slot as two digits>.memo".
    void LoadMemos(std::string_view bookPath, int slot);

    /// The name is a variable or a bookmark name whose text is not "0".
    bool IsSet(std::string_view name) const;
    /// An expression's value; a wrong expression shows the expression error and gives the
    /// error value.
    std::int32_t Evaluate(std::string_view expression);
    /// A name (IsSet) or an expression in parentheses (true when not 0; false when wrong).
    bool Condition(std::string_view text);
    /// Sets the record's ANSWER to "1" in table; false when it has none.
    bool SetByAnswer(const script::TagRecord& record, script::StringTable& table);
    /// A chosen link: its ANSWER is applied (an expression for its assignments, or a name set
    /// to "1"), then the book jumps to its HREF.
    void TakeLink(const script::TagRecord& record);

    /// QUESTION: jumps to HREF when ANSWER holds.
    void Question(const script::TagRecord& record);
    /// EVENT: skips its block unless ANSWER holds (a wrong expression runs the block).
    void Event(const script::TagRecord& record);
    /// MEMO: copies a value between a variable and a memo file, or clears a memo file.
    /// False when a value to load is not in the memo.
    bool Memo(const script::TagRecord& record);

    /// Empties every change shadow, as saving or loading a bookmark does (the book's
    /// substitution table first).
    void Commit();

  private:
    MemoStore* MemoNamed(std::string_view keyword);

    script::Book& book_;
    script::Diagnostics* diagnostics_;
    host::Clock& clock_;
    script::StringTable variables_;
    script::StringTable bookmarks_;
    MemoStore bookMemo_;
    MemoStore bookmarkMemo_;
};

}  // namespace talu::interp
