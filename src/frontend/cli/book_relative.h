#pragma once

#include <string>
#include <string_view>

namespace talu::cli {

/// An inside path as the book would spell it: relative to the book's folder when it lies inside
/// it (compared without regard to ASCII case, as the player finds files), else unchanged. Keeps
/// traces the same wherever the book is.
std::string BookRelativePath(std::string_view insidePath, std::string_view bookFolder);

}  // namespace talu::cli
