#pragma once

#include <QTextBrowser>
#include <functional>
#include <vector>

#include "app/backlog.h"

namespace talu::qt {

/// The backlog over the stage: a dark panel with every page read so far in the book's font
/// (drawn as text at the screen's own resolution, so sharp at any scale), scrolled with the
/// wheel, arrows and Page Up/Down; text can be selected and copied (Ctrl+C). Each page that can
/// be returned to has "ここに戻る / Return here". The wheel turned down past the last page,
/// Escape or the right button close it. It takes every key and click while open, so nothing
/// reaches the book behind it.
class BacklogView : public QTextBrowser {
  public:
    struct Actions {
        /// The reader chose to return to entry index.
        std::function<void(std::size_t index)> returnTo;
        /// The view wants to close (the owner deletes it).
        std::function<void()> close;
    };

    /// Shows entries (canReturn[i]: entry i keeps its place) in the face (UTF-8) over parent,
    /// scrolled to the last page; langMode 0 Japanese, 1 English.
    BacklogView(QWidget* parent, const std::vector<app::BacklogEntry>& entries,
                const std::vector<bool>& canReturn, const QString& face, int langMode,
                Actions actions);

    /// Scrolls by lines (negative: up), as the arrow keys do.
    void ScrollLines(int lines);
    /// Highlights the next (or previous) "Return here" after the highlighted one, or, when
    /// none is highlighted in the part shown, the first below its top (the last above its
    /// bottom), and scrolls to it; Enter then returns there. Nothing changes where there is
    /// none.
    void HighlightReturn(bool next);

  protected:
    /// Follows the stage's size (window scale, full screen).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    Actions actions_;
};

}  // namespace talu::qt
