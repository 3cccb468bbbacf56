#include "stage/wait_icon.h"

#include <algorithm>
#include <cstdio>

#include "stage/stage.h"

namespace talu::stage {

bool WaitIconList::AddFrame(const PictureLoader& loader, std::string_view path,
                            const FramePlacement& placement) {
    WaitIconFrame frame;
    if (!loader.LoadPicture(frame, path, load::kAutoKey, 0, 0)) {
        return false;
    }
    frame.time = placement.time;
    frame.followText = placement.left && placement.top ? 0 : 1;
    frame.left = placement.left.value_or(0);
    frame.top = placement.top.value_or(0);
    frames_.push_back(std::move(frame));
    return true;
}

void WaitIconList::WriteIconTags(std::vector<std::string>& lines) const {
    for (const WaitIconFrame& frame : frames_) {
        std::string line =
            "<ICON SRC=\"" + frame.source + "\" TIME=\"" + std::to_string(frame.time) + "\" ";
        if (frame.followText == 0) {
            line += "LEFT=\"" + std::to_string(frame.left) + "\" TOP=\"" +
                    std::to_string(frame.top) + "\" ";
        }
        line += "MODE=\"" + mode_ + "\" >";
        lines.push_back(std::move(line));
    }
}

Rect FrameRect(const WaitIconFrame& frame, Point anchor) {
    const int32_t left = frame.followText != 0 ? anchor.x : frame.left;
    const int32_t top = frame.followText != 0 ? anchor.y : frame.top;
    return RectAt(left, top, frame.Width(), frame.Height());
}

bool FrameDue(const WaitIconFrame& frame, int elapsedMs) {
    return frame.time != 0 && elapsedMs > frame.time;
}

void DrawFrame(Screen& screen, const WaitIconFrame& frame, const Rect& rect) {
    screen.Present(frame, frame.Bounds(),
                   RectAt(rect.left, rect.top, frame.Width(), frame.Height()), kCopyKeySource);
}

void EraseFrame(Stage& stage, const std::optional<Rect>& rect) {
    Screen* screen = stage.Output().screen;
    if (screen == nullptr) {
        return;
    }
    stage.DrawLocked([&](const Surface& stageSurface, const Surface&) {
        const Rect visible =
            stageSurface.Bounds().Intersect(Rect{0, 0, screen->Width(), screen->Height()});
        const Rect area = rect.value_or(visible);
        screen->Present(stageSurface, area, area, 0);
    });
}

}  // namespace talu::stage
