#pragma once

#include <QTimer>
#include <string>
#include <vector>

#include "frontend/qt/cursor_file.h"
#include "frontend/qt/thread_handoff.h"

class QWidget;

namespace talu::qt {

/// The mouse cursor over the stage: the book's own (CURSOR, animated when the file has steps),
/// hidden while the keyboard reads, else the desktop's. Interface thread, but for Load.
class CursorAnimation {
  public:
    /// The cursor is set on view, which outlives the animation.
    explicit CursorAnimation(QWidget& view);

    /// Any thread: reads the cursor file at a host path (empty: back to the desktop's cursor)
    /// and shows it from the interface thread; false when it cannot be read.
    bool Load(const std::string& hostPath);
    /// Interface thread: the desktop's cursor again (a book ended or was reloaded).
    void Forget();
    /// Enter or Space read on: the pointer hides until the mouse moves.
    void SetHidden(bool hidden);

  private:
    void Show(std::vector<CursorFrame> frames);
    void ShowFrame();

    QWidget& view_;
    // Load hands the frames to the interface thread through it; a child of view_.
    ThreadHandoff* handoff_;
    QTimer timer_;
    std::vector<CursorFrame> frames_;
    std::size_t frame_ = 0;
    bool hidden_ = false;
};

}  // namespace talu::qt
