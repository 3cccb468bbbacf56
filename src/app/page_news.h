#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/shown_page.h"

namespace talu::app {

/// What a page brings that the reader has not been handed yet. The reader waits on one page
/// several times (at a line wait, then at its links or its form): each wait hands on only the
/// text typed since the last, so a dictionary tool that appends every message, a clipboard
/// watcher and the voice never get a line twice. Not thread-safe: one per follower.
class PageNews {
  public:
    /// The new text of page (UTF-8, line breaks kept, those around it dropped): all of its text
    /// on a new page, what was typed since on the page last seen; then its links, one a line,
    /// unless they are the ones last seen and nothing else is new. Empty when nothing new was
    /// typed, or nothing but blanks (a picture waiting for a click).
    std::string Next(const ShownPage& page);
    /// The next page counts as new whatever it holds (a book closed or loaded).
    void Forget() {
        last_.clear();
        lastLinks_.clear();
    }

  private:
    std::string last_;
    std::vector<std::string> lastLinks_;
};

/// A message as one line of a file: backslashes doubled, line breaks written as "\n", carriage
/// returns dropped, so every message stays one line and reads back unchanged.
std::string FeedLine(std::string_view message);

}  // namespace talu::app
