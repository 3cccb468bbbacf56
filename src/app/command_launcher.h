#pragma once

#include <functional>
#include <set>
#include <string>

#include "app/shell.h"

namespace talu::app {

/// COMMAND: opens web addresses and starts programs for a book, but never a program the reader
/// has not agreed to. Each distinct command line is asked about once per book; the question is a
/// modal box, so it runs on the worker like the end-of-book box.
class CommandLauncher {
  public:
    /// ask shows the question (CP932) and returns true for OK.
    using Ask = std::function<bool(const std::string& question)>;

    CommandLauncher(Shell& shell, Ask ask) : shell_(shell), ask_(std::move(ask)) {}

    /// Performs COMMAND's SRC and FOLDER; allowed is the setting m_nAllowCommand, langMode the
    /// language of the question.
    void Run(const std::string& src, const std::string& folder, bool allowed, int langMode);
    /// A new book: every command line must be agreed to again.
    void Forget() { agreed_.clear(); }

  private:
    Shell& shell_;
    Ask ask_;
    std::set<std::string> agreed_;
};

}  // namespace talu::app
