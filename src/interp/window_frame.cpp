#include "interp/window_frame.h"

#include "script/numbers.h"
#include "stage/surface_blend.h"

namespace talu::interp {
namespace {

constexpr uint32_t kLeaveOut = 2;
constexpr uint32_t kRebuildCache = 4;
constexpr int kOpaque = 100;

void Blend(stage::Surface& target, const stage::Picture& picture) {
    if (!picture.mask.empty()) {
        stage::MaskBlendOptions options;
        options.mask = picture.mask.data();
        options.maskSize = picture.mask.size();
        options.source = picture.Bounds();
        options.targetX = picture.left;
        options.targetY = picture.top;
        stage::MaskBlend(target, picture, options);
    } else {
        stage::TranslucentCopy(picture, picture.Bounds(), target, picture.Placed(), picture.alpha);
    }
}

}  // namespace

void DrawWindowFrame(stage::Surface& target, const FrameLayers& layers, const FrameState& state,
                     const stage::StageSettings& settings, uint32_t flags) {
    if (state.shown == 0 || (flags & kLeaveOut) != 0) {
        return;
    }
    const stage::Picture& picture = layers.picture;
    if (!picture.IsLoaded()) {
        if (settings.m_nBrightEffect != 0) {
            stage::Brightness(target, std::nullopt, settings.m_nBright);
        }
        return;
    }
    const stage::Rect placed = picture.Placed();
    if (picture.mask.empty() && picture.alpha >= kOpaque) {
        picture.CopyTo(picture.Bounds(), target, placed, picture.BlitFlags());
        return;
    }
    stage::Surface& cache = layers.blendCache;
    if ((flags & kRebuildCache) == 0) {
        // The cache holds the blend over the stage as it was; blending again over a stage that
        // already shows text would darken the text into the frame.
        if (cache.IsLoaded()) {
            cache.CopyTo(cache.Bounds(), target, placed, 0);
        }
        return;
    }
    Blend(target, picture);
    if (!cache.IsLoaded() && !cache.Create(picture.Width(), picture.Height(), target.Format())) {
        return;
    }
    // Only the part of the frame that lies on the stage can be kept; the rest of the cache
    // stays as it was.
    const stage::Rect onStage = placed.Intersect(target.Bounds());
    if (!onStage.IsEmpty()) {
        const stage::Rect inCache{onStage.left - placed.left, onStage.top - placed.top,
                                  onStage.right - placed.left, onStage.bottom - placed.top};
        target.CopyTo(onStage, cache, inCache, 0);
    }
}

std::optional<std::string> WindowLine(const stage::Picture& picture, const FrameState& state) {
    if (!picture.IsLoaded()) {
        return std::nullopt;
    }
    std::string line = "<WINDOW SRC=\"" + picture.source + "\" LEFT=\"" +
                       std::to_string(picture.left) + "\" TOP=\"" + std::to_string(picture.top) +
                       "\" WIDTH=\"" + std::to_string(picture.Width()) + "\" HEIGHT=\"" +
                       std::to_string(picture.Height()) + "\" ";
    if (!picture.transparent.empty()) {
        line += "TRANSPARENT=\"" + picture.transparent + "\"";
    }
    if (state.shutMode == script::kw::kNone) {
        line += " SHUT=\"NONE\" ";
    }
    if (picture.maskSource.empty()) {
        line += " ALPHA=\"" + std::to_string(picture.alpha) + "\" ";
    } else {
        line += " ALPHA=\"" + picture.maskSource + "\" ";
    }
    line += " >";
    return line;
}

}  // namespace talu::interp
