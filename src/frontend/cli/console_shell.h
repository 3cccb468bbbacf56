#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "script/diagnostics.h"

namespace talu::cli {

/// Message boxes of the headless runner: each box becomes one line "box TEXT" in UTF-8, with
/// its line breaks written as "\n" so that one box stays one line.
class ConsoleMessageBoxes : public script::MessageBoxHost {
  public:
    explicit ConsoleMessageBoxes(std::ostream& out) : out_(out) {}
    void ShowMessageBox(std::string_view text) override;

  private:
    std::ostream& out_;
};

/// CP932 text as one line of UTF-8, line breaks escaped as "\n".
std::string OneLineUtf8(std::string_view cp932);

}  // namespace talu::cli
