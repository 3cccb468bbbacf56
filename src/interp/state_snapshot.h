#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "stage/stage_controller.h"

// The tags that re-create the player's state when a bookmark is read back: we never store the
// internal state itself, only lines the interpreter can run again.
namespace talu::interp {

/// Where the snapshot's lines come from; the pointed-to objects are the interpreter's.
struct SnapshotSources {
    /// Stage size, placement area, the stage's lines and the colour filter; must not be null.
    const stage::StageController* controller = nullptr;
    /// Appends the message window's lines; empty writes none.
    std::function<void(std::vector<std::string>& lines)> windowLines;
};

/// Appends the STAGE line, the SPACE line (only for a placement area other than the whole
/// stage), the stage's lines, the message window's lines and the SUNGLASS line of a filter in
/// force.
void WriteSnapshot(const SnapshotSources& sources, std::vector<std::string>& lines);

/// Appends one PLUGIN line per registered entry ("EXTENSION<tab>FILE", in registration order);
/// entries without a tab are skipped.
void WritePluginTags(std::span<const std::string> registered, std::vector<std::string>& lines);

}  // namespace talu::interp
