#include "frontend/qt/stage_notes.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

#include "frontend/qt/stage_view.h"

namespace talu::qt {
namespace {

constexpr int kMargin = 6;
constexpr int kPadding = 4;

QFont LabelFont(const QRect& stage) {
    QFont font;
    // Readable on a stage of any scale: a thirtieth of the stage's height, at least 11 pixels.
    font.setPixelSize(std::max(11, stage.height() / 30));
    font.setBold(true);
    return font;
}

}  // namespace

StageNotes::StageNotes(StageView& view) : QWidget(&view), view_(view) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    noticeTimer_.setSingleShot(true);
    connect(&noticeTimer_, &QTimer::timeout, this, [this] {
        notice_.clear();
        Changed();
    });
    view.installEventFilter(this);
    setGeometry(view.rect());
    hide();
}

void StageNotes::SetMarker(const QString& text) {
    if (text != marker_) {
        marker_ = text;
        Changed();
    }
}

void StageNotes::Notify(const QString& text, int ms) {
    notice_ = text;
    noticeTimer_.start(ms);
    Changed();
}

void StageNotes::Changed() {
    // Hidden while empty, so the stage's own repaints cost nothing more.
    setVisible(!marker_.isEmpty() || !notice_.isEmpty());
    raise();
    update();
}

bool StageNotes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &view_ && event->type() == QEvent::Resize) {
        setGeometry(view_.rect());
    }
    return QWidget::eventFilter(watched, event);
}

QRect StageNotes::LabelArea(const QString& text, bool topRight) const {
    if (text.isEmpty()) {
        return {};
    }
    const QRect stage = view_.StageArea();
    const QFontMetrics metrics(LabelFont(stage));
    const QSize size = metrics.size(Qt::TextSingleLine, text) + QSize(2 * kPadding, 2 * kPadding);
    const int left = topRight ? stage.right() + 1 - kMargin - size.width()
                              : stage.x() + (stage.width() - size.width()) / 2;
    return QRect(QPoint(left, stage.y() + kMargin), size);
}

QRect StageNotes::MarkerArea() const {
    return LabelArea(marker_, true);
}

QRect StageNotes::NoticeArea() const {
    return LabelArea(notice_, false);
}

void StageNotes::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(LabelFont(view_.StageArea()));
    for (const auto& [text, area] : {std::pair{marker_, MarkerArea()}, {notice_, NoticeArea()}}) {
        if (text.isEmpty()) {
            continue;
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 160));
        painter.drawRoundedRect(area, kPadding, kPadding);
        painter.setPen(Qt::white);
        painter.drawText(area, Qt::AlignCenter, text);
    }
}

}  // namespace talu::qt
