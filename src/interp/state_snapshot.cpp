#include "interp/state_snapshot.h"

#include "script/tag_record.h"
#include "stage/colour_filter.h"

namespace talu::interp {

void WriteSnapshot(const SnapshotSources& sources, std::vector<std::string>& lines) {
    const stage::StageController& controller = *sources.controller;
    const int width = controller.StageWidth();
    const int height = controller.StageHeight();
    lines.push_back("<STAGE WIDTH=\"" + std::to_string(width) + "\" HEIGHT=\"" +
                    std::to_string(height) + "\">");
    const stage::Rect& area = controller.PlacementArea();
    if (area != stage::Rect{0, 0, width, height}) {
        // Written wide: the area's corners come from books and may lie far apart.
        const long long areaWidth = static_cast<long long>(area.right) - area.left;
        const long long areaHeight = static_cast<long long>(area.bottom) - area.top;
        lines.push_back("<SPACE TOP=\"" + std::to_string(area.top) + "\" LEFT=\"" +
                        std::to_string(area.left) + "\" WIDTH=\"" + std::to_string(areaWidth) +
                        "\" HEIGHT=\"" + std::to_string(areaHeight) + "\" >");
    }
    controller.WriteStageTags(lines);
    if (sources.windowLines)
        sources.windowLines(lines);
    const std::string filterLine = stage::FilterTagText(controller.Filter());
    if (!filterLine.empty())
        lines.push_back(filterLine);
}

void WritePluginTags(std::span<const std::string> registered, std::vector<std::string>& lines) {
    for (const std::string& entry : registered) {
        const auto pair = script::SplitEntry(entry);
        if (!pair)
            continue;
        lines.push_back("<PLUGIN SRC=\"" + std::string(pair->first) + "\" NAME=\"" +
                        std::string(pair->second) + "\">");
    }
}

}  // namespace talu::interp
