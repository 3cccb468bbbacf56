#include "frontend/qt/stage_view.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "stage/screen.h"

namespace talu::qt {

StageView::StageView(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted by us; Qt need not clear or blend anything first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

void StageView::SetScreen(stage::Screen* screen) {
    screen_ = screen;
    update();
}

void StageView::ScreenChanged() {
    if (!flushQueued_.exchange(true)) {
        handoff_->Post([this] { FlushChanges(); });
    }
}

void StageView::FlushChanges() {
    flushQueued_ = false;
    if (screen_ == nullptr) {
        return;
    }
    const stage::Rect dirty = screen_->TakeDirty().rect;
    const QRect changed(dirty.left, dirty.top, dirty.Width(), dirty.Height());
    if (!changed.isEmpty()) {
        // One pixel more on each side covers what smooth scaling blends across the edge.
        const int margin = smooth_ && fit_ ? 1 : 0;
        // Painted now rather than at the next update request: a click shows at once.
        repaint(ToView(changed).adjusted(-margin, -margin, margin, margin));
    }
}

void StageView::SetFit(bool fit, bool smooth) {
    fit_ = fit;
    smooth_ = smooth;
    update();
}

void StageView::SetScale(int scale) {
    scale_ = std::max(1, scale);
    update();
}

QSize StageView::ScreenSize() const {
    return screen_ != nullptr ? QSize(screen_->Width(), screen_->Height()) : QSize(640, 480);
}

QRect StageView::StageArea() const {
    const QSize stage = ScreenSize();
    if (!fit_) {
        return QRect(QPoint(0, 0), stage * scale_);
    }
    // Scale in device pixels, so whole-pixel scaling stays sharp on a 2x display too.
    const double ratio = devicePixelRatioF();
    double scale = std::min(width() * ratio / stage.width(), height() * ratio / stage.height());
    if (!smooth_ && scale >= 1.0) {
        scale = std::floor(scale);
    }
    const QSize shown(static_cast<int>(stage.width() * scale / ratio),
                      static_cast<int>(stage.height() * scale / ratio));
    return QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

bool StageView::ToStage(QPoint viewPoint, QPoint& stagePoint) const {
    const QRect area = StageArea();
    if (!area.contains(viewPoint) || area.isEmpty()) {
        return false;
    }
    const QSize stage = ScreenSize();
    stagePoint = QPoint((viewPoint.x() - area.x()) * stage.width() / area.width(),
                        (viewPoint.y() - area.y()) * stage.height() / area.height());
    return true;
}

QRect StageView::ToView(const QRect& stageRect) const {
    const QRect area = StageArea();
    const QSize stage = ScreenSize();
    const auto x = [&](int sx) { return area.x() + sx * area.width() / stage.width(); };
    const auto y = [&](int sy) { return area.y() + sy * area.height() / stage.height(); };
    return QRect(QPoint(x(stageRect.left()), y(stageRect.top())),
                 QPoint(x(stageRect.right() + 1) - 1, y(stageRect.bottom() + 1) - 1));
}

void StageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = StageArea();
    const QRegion outside = QRegion(event->rect()) - area;
    for (const QRect& black : outside) {
        painter.fillRect(black, Qt::black);
    }
    if (screen_ == nullptr) {
        painter.fillRect(event->rect() & area, Qt::black);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, fit_ && smooth_);
    const QSize stage = ScreenSize();
    // The part of the stage under the repainted rectangle, widened to whole stage pixels.
    const QRect wanted = event->rect() & area;
    const int left = (wanted.left() - area.x()) * stage.width() / area.width();
    const int top = (wanted.top() - area.y()) * stage.height() / area.height();
    const int right =
        ((wanted.right() + 1 - area.x()) * stage.width() + area.width() - 1) / area.width();
    const int bottom =
        ((wanted.bottom() + 1 - area.y()) * stage.height() + area.height() - 1) / area.height();
    const QRect source =
        QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)) & QRect(QPoint(), stage);
    if (source.isEmpty()) {
        return;
    }
    const QRect target = ToView(source);
    const QImage::Format layout =
        screen_->Format().green.max == 63 ? QImage::Format_RGB16 : QImage::Format_RGB555;
    screen_->WithPixels([&](const uint16_t* pixels, int pitch, int width, int height) {
        const QImage image(reinterpret_cast<const uchar*>(pixels), width, height, pitch * 2,
                           layout);
        painter.drawImage(target, image, source);
    });
}

}  // namespace talu::qt
