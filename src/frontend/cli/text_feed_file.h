#pragma once

#include <fstream>
#include <string>

#include "app/page_news.h"
#include "app/shown_page.h"

namespace talu::cli {

/// `run --text-feed FILE`: what the window's text feed would send, one message a line (UTF-8,
/// backslashes doubled, line breaks as "\n"). Pages come from the worker thread only.
class TextFeedFile {
  public:
    /// Creates or empties the file; false when it cannot be written.
    bool Open(const std::string& path);
    /// Writes the page's message, if it brings new text; nothing when the file is not open.
    void Page(const app::ShownPage& page);
    /// Writes out what is buffered; false when the file could not take all of it.
    bool Close();

  private:
    std::ofstream out_;
    app::PageNews news_;
};

}  // namespace talu::cli
