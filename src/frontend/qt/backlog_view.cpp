#include "frontend/qt/backlog_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QUrl>
#include <QWheelEvent>
#include <utility>
#include <vector>

namespace talu::qt {
namespace {

constexpr const char* kReturnScheme = "talu-return";

QString PageHtml(const app::BacklogEntry& entry, std::size_t index, bool canReturn, int langMode) {
    QString html = QStringLiteral("<p>") +
                   QString::fromStdString(entry.text).toHtmlEscaped().replace('\n', "<br>") +
                   QStringLiteral("</p>");
    if (!entry.chosen.empty()) {
        html += QStringLiteral("<p style=\"color:#9fc4ff\">&#x25B6; ") +
                QString::fromStdString(entry.chosen).toHtmlEscaped() + QStringLiteral("</p>");
    }
    if (canReturn) {
        html +=
            QStringLiteral(
                "<p align=\"right\"><a style=\"color:#ffd27f\" href=\"%1:%2\">%3</a></p>")
                .arg(kReturnScheme)
                .arg(index)
                .arg(langMode == 0 ? QStringLiteral("ここに戻る") : QStringLiteral("Return here"));
    }
    return html + QStringLiteral("<hr>");
}

/// Where the "Return here" links of document start and end, in order.
std::vector<std::pair<int, int>> ReturnLinks(const QTextDocument& document) {
    std::vector<std::pair<int, int>> links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref().startsWith(QLatin1String(kReturnScheme))) {
                links.emplace_back(fragment.position(), fragment.position() + fragment.length());
            }
        }
    }
    return links;
}

}  // namespace

BacklogView::BacklogView(QWidget* parent, const std::vector<app::BacklogEntry>& entries,
                         const std::vector<bool>& canReturn, const QString& face, int langMode,
                         Actions actions)
    : QTextBrowser(parent), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("backlog"));
    setOpenLinks(false);
    setContextMenuPolicy(Qt::NoContextMenu);  // the right button closes instead
    setFrameShape(QFrame::NoFrame);
    setStyleSheet(
        QStringLiteral("QTextBrowser { background: rgba(12, 14, 24, 232); color: #f2f2f2; "
                       "padding: 12px; }"));
    QFont font(face);
    font.setPixelSize(18);
    font.setStyleStrategy(QFont::PreferAntialias);
    setFont(font);
    QString html;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        html += PageHtml(entries[i], i, i < canReturn.size() && canReturn[i], langMode);
    }
    setHtml(html);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == QLatin1String(kReturnScheme) && actions_.returnTo) {
            actions_.returnTo(url.path().toULongLong());
        }
    });
    setGeometry(parent->rect());
    parent->installEventFilter(this);
    show();
    setFocus();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

bool BacklogView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QTextBrowser::eventFilter(watched, event);
}

void BacklogView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        actions_.close();
        return;
    }
    QTextBrowser::keyPressEvent(event);
    event->accept();  // no key reaches the book behind the backlog
}

void BacklogView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        actions_.close();
        return;
    }
    QTextBrowser::mousePressEvent(event);
    event->accept();
}

void BacklogView::wheelEvent(QWheelEvent* event) {
    const QScrollBar* bar = verticalScrollBar();
    if (event->angleDelta().y() < 0 && bar->value() >= bar->maximum()) {
        actions_.close();  // turned down past the last page
        return;
    }
    QTextBrowser::wheelEvent(event);
    event->accept();
}

void BacklogView::ScrollLines(int lines) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + lines * bar->singleStep());
}

void BacklogView::HighlightReturn(bool next) {
    const std::vector<std::pair<int, int>> links = ReturnLinks(*document());
    const QTextCursor now = textCursor();
    int from = 0;
    if (now.hasSelection() && viewport()->rect().intersects(cursorRect(now))) {
        from = next ? now.selectionEnd() : now.selectionStart();
    } else {  // from the edge of the part shown
        from = cursorForPosition(next ? QPoint(0, 0) : viewport()->rect().bottomRight()).position();
    }
    const std::pair<int, int>* chosen = nullptr;
    for (const std::pair<int, int>& link : links) {
        if (next && link.first >= from) {
            chosen = &link;
            break;
        }
        if (!next && link.second <= from) {
            chosen = &link;  // the last one before
        }
    }
    if (chosen == nullptr) {
        return;
    }
    QTextCursor cursor(document());
    cursor.setPosition(chosen->first);
    cursor.setPosition(chosen->second, QTextCursor::KeepAnchor);
    setTextCursor(cursor);  // scrolls to it
}

}  // namespace talu::qt
