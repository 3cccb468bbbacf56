#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "interp/text_layout.h"
#include "stage/picture.h"
#include "stage/stage_settings.h"
#include "stage/surface.h"

// The picture behind the message text: drawn opaque, colour-keyed, translucent by a percentage
// or by a mask, or, without a picture, as a dimming of the stage. Its picture and blend cache
// live in the stage; the window keeps the rest here.
namespace talu::interp {

/// The frame's own switches beside its picture.
struct FrameState {
    /// 0 after /WINDOW: the frame is not drawn at all.
    int shown = 1;
    /// WINDOW's SHUT mode: script::kw::kAuto or script::kw::kNone.
    int shutMode = script::kw::kAuto;
};

/// The frame's layers as the composition hands them over; owned by the stage.
struct FrameLayers {
    /// The WINDOW picture with its position, alpha and mask.
    const stage::Picture& picture;
    /// The last translucent blend of the frame over the stage.
    stage::Surface& blendCache;
};

/// Draws the frame into target (the composed stage) as composition flags allow: flag 4
/// rebuilds the blend cache of a translucent frame, otherwise the cache is copied back.
void DrawWindowFrame(stage::Surface& target, const FrameLayers& layers, const FrameState& state,
                     const stage::StageSettings& settings, uint32_t flags);

/// The bookmark line that restores the frame; nothing when it has no picture.
std::optional<std::string> WindowLine(const stage::Picture& picture, const FrameState& state);

}  // namespace talu::interp
