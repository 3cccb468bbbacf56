#include "frontend/qt/cursor_animation.h"

#include <QCursor>
#include <QMetaObject>
#include <QPixmap>
#include <QWidget>
#include <algorithm>

namespace talu::qt {

CursorAnimation::CursorAnimation(QWidget& view) : view_(view), handoff_(new ThreadHandoff(&view)) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &view_, [this] {
        frame_ = (frame_ + 1) % std::max<std::size_t>(1, frames_.size());
        ShowFrame();
    });
}

bool CursorAnimation::Load(const std::string& hostPath) {
    auto frames =
        hostPath.empty() ? std::nullopt : LoadCursorFile(QString::fromStdString(hostPath));
    const bool loaded = frames.has_value();
    handoff_->Post([this, frames = std::move(frames)]() mutable {
        Show(frames.value_or(std::vector<CursorFrame>{}));
    });
    return loaded;
}

void CursorAnimation::Forget() {
    Show({});
}

void CursorAnimation::Show(std::vector<CursorFrame> frames) {
    timer_.stop();
    frames_ = std::move(frames);
    frame_ = 0;
    ShowFrame();
}

void CursorAnimation::SetHidden(bool hidden) {
    if (hidden != hidden_) {
        hidden_ = hidden;
        ShowFrame();
    }
}

void CursorAnimation::ShowFrame() {
    if (hidden_) {
        view_.setCursor(Qt::BlankCursor);
        return;
    }
    if (frames_.empty()) {
        view_.unsetCursor();
        return;
    }
    const CursorFrame& frame = frames_[frame_];
    view_.setCursor(QCursor(QPixmap::fromImage(frame.image), frame.hotSpot.x(), frame.hotSpot.y()));
    if (frames_.size() > 1 && frame.durationMs > 0) {
        timer_.start(frame.durationMs);  // runs only while an animated cursor is set
    }
}

}  // namespace talu::qt
