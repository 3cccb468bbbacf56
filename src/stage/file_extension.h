#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talu::stage {

/// The text behind the last "." of a CP932 path, ASCII letters upper-cased; nullopt when the
/// path holds no ".". Double-byte characters are stepped over as units.
std::optional<std::string> ExtensionOf(std::string_view path);

}  // namespace talu::stage
