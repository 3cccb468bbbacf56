#pragma once

#include <QRect>
#include <QWidget>
#include <mutex>

#include "stage/rect.h"

namespace talu::stage {
class Screen;
}

namespace talu::qt {

/// Draws the 16-bit screen: at a whole-number scale in a window (sharp on any display), scaled
/// to fit and centred on black in full screen, whole pixels unless smooth scaling is chosen.
/// Only the rectangles the engine reports as changed are repainted, straight from the screen's
/// pixels under its lock.
class StageView : public QWidget {
  public:
    explicit StageView(QWidget* parent = nullptr);

    /// The screen to show (null for none); it outlives the view or is replaced first.
    void SetScreen(stage::Screen* screen);
    /// Any thread: a rectangle of the screen changed. Repaints are queued and merged.
    void ScreenChanged(const stage::Rect& rect);
    /// Fit the screen into the whole view (full screen) instead of at a fixed scale.
    void SetFit(bool fit, bool smooth);
    /// The whole-number scale of the window mode.
    void SetScale(int scale);

    /// Where the screen's stage rectangle lies in the view.
    QRect StageArea() const;
    /// The stage point under a view point; false outside the stage.
    bool ToStage(QPoint viewPoint, QPoint& stagePoint) const;
    /// The view rectangle that shows a stage rectangle.
    QRect ToView(const QRect& stageRect) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void FlushChanges();
    QSize ScreenSize() const;

    stage::Screen* screen_ = nullptr;
    bool fit_ = false;
    bool smooth_ = false;
    int scale_ = 1;
    std::mutex changedMutex_;  // the drawing threads report, the interface thread repaints
    QRect changed_;
    bool flushQueued_ = false;
};

}  // namespace talu::qt
