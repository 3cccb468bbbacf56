#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "stage/plugin.h"

namespace talu::stage {

/// The player's plug-ins, asked in order from the head. Built once at start-up; afterwards only
/// the worker thread reorders it (PLUGIN tags). Owns its plug-ins.
class PluginList {
  public:
    /// Fills the list with the built-in image decoder and archive extractor. The old player
    /// scanned its folder for archive libraries here; ours are built in and always present.
    void Scan();
    /// Puts a plug-in at the head of the list.
    void AddToFront(std::unique_ptr<Plugin> plugin);
    /// Moves the archive extractor whose file name equals fileName exactly to the head; false
    /// when there is none.
    bool MoveToFront(std::string_view fileName);
    /// The plug-ins, head first; owned by the list.
    const std::vector<std::unique_ptr<Plugin>>& Plugins() const { return plugins_; }
    /// The first image decoder that reads files with this name's extension, or null.
    const Plugin* ImageDecoderFor(std::string_view name) const;

  private:
    std::vector<std::unique_ptr<Plugin>> plugins_;
};

}  // namespace talu::stage
