#pragma once

#include <string>
#include <vector>

namespace talu::app {

/// A page as the reader sees it once it has been typed: what the backlog keeps, what the
/// clipboard, a screen reader and the text feed receive.
struct ShownPage {
    /// UTF-8, variables filled in, line breaks as typed ('\n').
    std::string text;
    /// UTF-8 texts of the links the reader can choose now, in their order; empty on a page that
    /// waits for a click.
    std::vector<std::string> links;
    friend bool operator==(const ShownPage&, const ShownPage&) = default;
};

}  // namespace talu::app
