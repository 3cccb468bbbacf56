#pragma once

#include <string_view>

namespace talu::script {

/// The debug window's view of the reader: the book hands it every item it delivers, so an author
/// sees the tags around the reading position. Implemented by a frontend.
class DebugFeed {
  public:
    virtual ~DebugFeed() = default;
    /// The item just taken and the two that follow it (empty when missing), with the current
    /// index (the 1-based number of the item just taken).
    virtual void ShowTags(std::string_view current, std::string_view next,
                          std::string_view afterNext, int index) = 0;
};

}  // namespace talu::script
