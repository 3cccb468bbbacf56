// The ICON handler of the stage controller.
#include "script/keywords.h"
#include "script/messages.h"
#include "stage/stage_controller.h"
#include "stage/tag_values.h"
#include "stage/wait_icon.h"

namespace talu::stage {

std::optional<bool> StageController::IconTag(const script::TagRecord& tag,
                                             const std::string& source) {
    const std::optional<int> mode = ReadKeyword(tag, script::kw::kMode);
    Stage& stage = GetStage();
    WaitIconList* list = mode == script::kw::kP    ? &stage.PageIcons()
                         : mode == script::kw::kBr ? &stage.LineIcons()
                                                   : nullptr;
    if (tag.IsClosing()) {
        if (list == nullptr) {
            return false;
        }
        list->ClearFrames();
        return std::nullopt;
    }
    if (list != nullptr && tag.FindAttribute(script::kw::kSrc)) {
        const FramePlacement placement{ReadInt(tag, script::kw::kTime).value_or(0),
                                       ReadInt(tag, script::kw::kLeft),
                                       ReadInt(tag, script::kw::kTop)};
        if (services_.loader == nullptr || !list->AddFrame(*services_.loader, source, placement)) {
            Report(script::err::kCannotOpenFile, source);
        }
    }
    return true;
}

}  // namespace talu::stage
