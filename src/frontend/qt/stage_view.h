#pragma once

#include <QRect>
#include <QWidget>
#include <atomic>

#include "frontend/qt/thread_handoff.h"
#include "stage/rect.h"

namespace talu::stage {
class Screen;
}

namespace talu::qt {

/// Draws the 16-bit screen: at a whole-number scale in a window (sharp on any display), scaled
/// to fit and centred on black in full screen, whole pixels unless smooth scaling is chosen.
/// Only the rectangle the screen gathered as changed is repainted, straight from the screen's
/// pixels under its lock.
class StageView : public QWidget {
  public:
    explicit StageView(QWidget* parent = nullptr);

    /// The screen to show (null for none); it outlives the view or is replaced first.
    void SetScreen(stage::Screen* screen);
    /// Any thread, never blocks: the screen changed. One repaint is queued for all changes
    /// until it runs.
    void ScreenChanged();
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
    ThreadHandoff* handoff_ = new ThreadHandoff(this);
    std::atomic<bool> flushQueued_{false};  // set by the drawing threads, cleared by the flush
};

}  // namespace talu::qt
