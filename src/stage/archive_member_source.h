#pragma once

#include "script/book_file.h"
#include "stage/plugin_list.h"

namespace talu::stage {

/// Books and include files stored in archives, read through the archive extractors.
class PluginArchiveSource : public script::ArchiveMemberSource {
  public:
    /// plugins is the player's and must outlive this source.
    explicit PluginArchiveSource(const PluginList& plugins) : plugins_(plugins) {}

    /// The bytes of the archive member insidePath names; nullopt for plain files and paths
    /// that no archive holds.
    std::optional<std::string> ReadMember(std::string_view insidePath,
                                          std::string_view bookFolder) const override;

  private:
    const PluginList& plugins_;
};

}  // namespace talu::stage
