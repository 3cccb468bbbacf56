#include "stage/file_extension.h"

#include "host/encoding.h"
#include "script/sjis_text.h"

namespace talu::stage {

std::optional<std::string> ExtensionOf(std::string_view path) {
    std::optional<std::size_t> dot;
    for (std::size_t i = 0; i < path.size(); i += host::CharLength(path, i)) {
        if (path[i] == '.') {
            dot = i;
        }
    }
    if (!dot) {
        return std::nullopt;
    }
    return script::ToUpperAscii(path.substr(*dot + 1));
}

}  // namespace talu::stage
