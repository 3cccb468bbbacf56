#include "stage/archive_member_source.h"

#include "stage/archive_lookup.h"

namespace talu::stage {

std::optional<std::string> PluginArchiveSource::ReadMember(std::string_view insidePath,
                                                           std::string_view bookFolder) const {
    std::optional<OpenedFile> opened = OpenPossiblyArchived(insidePath, bookFolder, plugins_);
    if (!opened || !opened->member) {
        return std::nullopt;
    }
    return std::string(opened->bytes.begin(), opened->bytes.end());
}

}  // namespace talu::stage
