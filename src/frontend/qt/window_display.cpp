#include "frontend/qt/window_display.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "frontend/qt/display_mode.h"
#include "frontend/qt/stage_view.h"
#include "frontend/qt/window_placement.h"

namespace talu::qt {
namespace {

QRect WorkArea(const QWidget& window) {
    return window.screen() != nullptr ? window.screen()->availableGeometry()
                                      : QRect(0, 0, 640, 480);
}

}  // namespace

WindowDisplay::WindowDisplay(QWidget& window, StageView& view, app::Settings& settings,
                             DesktopSettings& desktop)
    : window_(window),
      view_(view),
      settings_(settings),
      desktop_(desktop),
      lastChoice_(desktop.fullScreen != 0) {}

void WindowDisplay::Choose(DisplayChoice choice, int langMode) {
    chosen_ = true;
    bool haveAnswer = false;
    const QSize screenSize =
        window_.screen() != nullptr ? window_.screen()->size() : QSize(640, 480);
    bool full = FullScreenWithoutAsking(choice, screenSize, haveAnswer);
    if (!haveAnswer && desktop_.askDisplayMode == 0) {
        full = lastChoice_;  // the reader asked not to be asked again
    } else if (!haveAnswer) {
        bool dontAskAgain = false;
        full = AskFullScreen(&window_, langMode, lastChoice_, &dontAskAgain);
        desktop_.askDisplayMode = dontAskAgain ? 0 : 1;
    }
    SetMode(full, desktop_.windowScale);
}

void WindowDisplay::SetMode(bool fullScreen, int scale) {
    fullScreen_ = fullScreen;
    desktop_.fullScreen = fullScreen ? 1 : 0;
    desktop_.windowScale = std::clamp(scale, 1, 3);
    if (fullScreen) {
        view_.SetFit(true, desktop_.smoothScaling != 0);
        window_.setMinimumSize(0, 0);
        window_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window_.showFullScreen();
    } else {
        if (window_.isFullScreen()) {
            window_.showNormal();
        }
        Fit();
    }
    view_.setGeometry(window_.rect());
}

void WindowDisplay::SetStageSize(int width, int height) {
    if (width > 0) {
        stageSize_.setWidth(width);
    }
    if (height > 0) {
        stageSize_.setHeight(height);
    }
    Fit();
    KeepInside();  // a larger stage may reach past the desktop's edge
}

QSize WindowDisplay::Decoration() const {
    return window_.frameGeometry().size() - window_.size();
}

std::array<bool, 3> WindowDisplay::FittingScales() const {
    const QSize room = WorkArea(window_).size() - Decoration();
    std::array<bool, 3> fits{};
    for (int scale = 1; scale <= 3; ++scale) {
        const QSize wanted = stageSize_ * scale;
        fits[scale - 1] = wanted.width() <= room.width() && wanted.height() <= room.height();
    }
    return fits;
}

void WindowDisplay::Fit() {
    if (fullScreen_) {
        return;
    }
    const std::array<bool, 3> fits = FittingScales();
    int scale = desktop_.windowScale;
    while (scale > 1 && !fits[scale - 1]) {
        --scale;  // the reader's size comes back when the stage is small enough again
    }
    QSize size = stageSize_ * scale;
    const bool scaledDown = !fits[0];
    if (scaledDown) {
        size = stageSize_.scaled(WorkArea(window_).size() - Decoration(), Qt::KeepAspectRatio);
    }
    view_.SetFit(scaledDown, desktop_.smoothScaling != 0);
    view_.SetScale(scale);
    window_.setFixedSize(size.expandedTo(QSize(1, 1)));
    view_.setGeometry(window_.rect());
}

void WindowDisplay::Place() {
    const QRect desk = window_.screen() != nullptr ? window_.screen()->geometry()
                                                   : QRect(0, 0, 640, 480);
    if (settings_.windowLeft < 0 || settings_.windowLeft >= desk.width()) {
        settings_.windowLeft = 0;
    }
    if (settings_.windowTop < 0 || settings_.windowTop >= desk.height()) {
        settings_.windowTop = 0;
    }
    window_.move(settings_.windowLeft, settings_.windowTop);
}

void WindowDisplay::KeepInside() {
    if (fullScreen_ || window_.screen() == nullptr) {
        return;
    }
    const QRect frame = window_.frameGeometry();
    const QPoint place = KeptInside(frame, WorkArea(window_));
    if (place != frame.topLeft()) {
        window_.move(place);
    }
}

}  // namespace talu::qt
