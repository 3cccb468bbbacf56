#include "stage/extension_map.h"

namespace talu::stage {

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
