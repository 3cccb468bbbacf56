#pragma once

#include <string>

// Where one open book keeps its bookmark slots, their memos and pictures, and the book memo:
// beside the book, named after its file, or in the spare folder when the book's folder takes no
// files (an archive, a read-only folder).
namespace talu::app {

class SlotPaths {
  public:
    /// bookPath: the open book (an inside path); spareFolder: an inside folder ending with a
    /// backslash, or empty for none.
    SlotPaths(std::string bookPath, std::string spareFolder);

    /// The inside paths of slot n's bookmark, memo and picture, and of the book memo.
    std::string Slot(int n) const;
    std::string Memo(int n) const;
    std::string Picture(int n) const;
    /// The slot's backlog.
    std::string Log(int n) const;
    /// The slot's place: where its position stands in the book's text.
    std::string Place(int n) const;
    std::string BookMemo() const;
    /// The inside path of the pages read in the book, beside the book memo.
    std::string ReadPages() const;
    /// The book's folder (ending with a backslash) and its file name.
    std::string BookFolder() const;
    std::string BookFileName() const;
    /// Makes the spare folder when the files go there; false when it cannot be made.
    bool MakeSpareFolder() const;

  private:
    std::string Numbered(int n, const char* suffix) const;

    std::string bookPath_;
    std::string spareFolder_;
    std::string fileBase_;
};

}  // namespace talu::app
