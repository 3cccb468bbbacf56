#include "stage/extension_map.h"

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

void ExtensionMap::Bind(std::string extension, std::string libraryName) {
    bindings_.insert_or_assign(std::move(extension), std::move(libraryName));
}

std::optional<std::string> ExtensionMap::Find(std::string_view extension) const {
    auto it = bindings_.find(extension);
    if (it == bindings_.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace talu::stage
