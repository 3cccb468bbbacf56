#pragma once

#include <string>

#include "script/book_file.h"

namespace talu::script {

/// One item as the reader cuts it from a file.
struct RawItem {
    std::string text;
    /// The class the reader chose for the item (2 text run, 3 comment, 4 multi-line comment,
    /// 47 double-angle write form, else the tag's keyword id).
    int kind = 0;
    /// 1-based line of the file where the item starts.
    int line = 0;
    /// True when the file ended inside the item: a tag without its ">" or a comment without
    /// its "#>", which then swallowed the rest of the file.
    bool unterminated = false;
};

/// Cuts a file into items: text runs (lines joined with nothing), tags (lines joined with one
/// blank; a ">" inside quotes does not end them), one-line and multi-line comments, and
/// double-angle write forms. Every line is normalized (tabs to blanks, trimmed) first.
class Tokenizer {
  public:
    explicit Tokenizer(BookFile& file) : file_(file) {}

    /// The next item; false when the file holds no more.
    bool NextItem(RawItem& item);

  private:
    bool ReadNormalizedLine();
    /// The unread rest of the current line, starting at a non-blank.
    std::string_view Rest() const;

    void ReadTextRun(RawItem& item, std::size_t searchFrom);
    void ReadBlockComment(RawItem& item);
    void ReadTag(RawItem& item);

    BookFile& file_;
    std::string line_;
    std::size_t restStart_ = 0;
};

}  // namespace talu::script
