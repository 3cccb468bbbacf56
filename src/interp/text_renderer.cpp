#include "interp/text_renderer.h"

#include <algorithm>

#include "interp/text_placement.h"

namespace talu::interp {

bool PlaceRun(TextLayout& layout, const TypingTargets& targets, std::string_view text,
              std::string& remainder, std::vector<stage::Rect>& rectangles, const WordWrap* wrap) {
    layout.savedPenX = layout.penX;
    layout.savedPenY = layout.penY;
    const int wrappedBefore = layout.wrapped;
    const bool fitted = PlaceText(layout, targets.textLayer, text, remainder, &rectangles, wrap);
    // The second pass must retrace the first exactly, so it starts from the same pen and the
    // same line-break state.
    layout.penX = layout.savedPenX;
    layout.penY = layout.savedPenY;
    layout.wrapped = wrappedBefore;
    std::string secondRemainder;
    PlaceText(layout, targets.composed, text, secondRemainder, nullptr, wrap);
    return fitted;
}

void RevealRun(const std::vector<stage::Rect>& rectangles, const TextSettings& settings,
               const RevealOptions& options) {
    if (rectangles.empty() || !options.present) {
        return;
    }
    if (settings.m_nTextEffect == 0) {
        stage::Rect all = rectangles.front();
        for (const stage::Rect& r : rectangles) {
            all = stage::Rect{std::min(all.left, r.left), std::min(all.top, r.top),
                              std::max(all.right, r.right), std::max(all.bottom, r.bottom)};
        }
        options.present(all);
        return;
    }
    const int delay = static_cast<int>(settings.m_nTextWait * 0.5);
    for (std::size_t i = 0; i < rectangles.size(); ++i) {
        const bool clicked = options.click != nullptr && options.click->load() != 0;
        if (i > 0 && !clicked && options.clock != nullptr) {
            options.clock->SleepMs(delay);
        }
        options.present(rectangles[i]);
    }
}

}  // namespace talu::interp
