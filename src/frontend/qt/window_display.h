#pragma once

#include <QSize>
#include <array>

#include "app/settings.h"
#include "frontend/qt/desktop_settings.h"
#include "frontend/qt/launch_options.h"

class QWidget;

namespace talu::qt {

class StageView;

/// How the window shows the stage: full screen, or a window at one to three times the stage's
/// size that stays inside the desktop's work area. A size that does not fit the work area is
/// not offered, and a stage larger than the work area is scaled down to fit it.
class WindowDisplay {
  public:
    /// All four outlive the display.
    WindowDisplay(QWidget& window, StageView& view, app::Settings& settings,
                  DesktopSettings& desktop);

    /// The first book decides the mode: the launch options, a small screen, or the reader.
    void Choose(DisplayChoice choice, int langMode);
    bool Chosen() const { return chosen_; }
    /// Full screen, or the window at scale (1 to 3; the largest that fits when it does not).
    void SetMode(bool fullScreen, int scale);
    bool FullScreen() const { return fullScreen_; }
    /// STAGE: the window follows the stage (0 keeps that side).
    void SetStageSize(int width, int height);
    /// For each window size 1 to 3: whether the window fits the desktop's work area at it.
    std::array<bool, 3> FittingScales() const;
    /// Puts the window where the settings last had it, inside the screen.
    void Place();
    /// Moves the window back inside the work area when it reaches past it.
    void KeepInside();

  private:
    /// Sizes the window for the stage at the chosen scale (or scaled down to fit).
    void Fit();
    QSize Decoration() const;

    QWidget& window_;
    StageView& view_;
    app::Settings& settings_;
    DesktopSettings& desktop_;
    QSize stageSize_{640, 480};
    bool fullScreen_ = false;
    bool chosen_ = false;
    // The mode the settings had when the window opened: the window starts as a window, which
    // must not pass for the reader's last choice.
    bool lastChoice_ = false;
};

}  // namespace talu::qt
