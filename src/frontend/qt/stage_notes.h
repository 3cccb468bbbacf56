#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

namespace talu::qt {

class StageView;

/// What the window draws over the stage and never into it, so that Save Picture, slot pictures
/// and the book's own SNAP keep the stage alone: the marker of the reading mode (skip or auto)
/// in the stage's top right corner, and a short notice (a save's) at its top. A child of the
/// stage view that covers it and lets the mouse through.
class StageNotes : public QWidget {
  public:
    /// view carries the notes and outlives them.
    explicit StageNotes(StageView& view);

    /// The mode marker; empty takes it away.
    void SetMarker(const QString& text);
    const QString& Marker() const { return marker_; }
    /// Shows text for ms milliseconds (a notice shown before goes at once).
    void Notify(const QString& text, int ms = kNoticeMs);
    /// The notice shown now; empty when none.
    const QString& Notice() const { return notice_; }
    /// Where the marker and the notice are drawn, in the view's pixels; empty when not shown.
    QRect MarkerArea() const;
    QRect NoticeArea() const;

    static constexpr int kNoticeMs = 1500;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    /// A label's box: text in the stage's scale of font, anchored in the stage area.
    QRect LabelArea(const QString& text, bool topRight) const;
    void Changed();

    StageView& view_;
    QString marker_;
    QString notice_;
    QTimer noticeTimer_;
};

}  // namespace talu::qt
