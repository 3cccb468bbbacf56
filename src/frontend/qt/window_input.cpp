// The window's mouse, keys and dropped files, mapped onto the session's reader commands (the
// keys through the reader's bindings).
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <optional>

#include "frontend/qt/key_router.h"
#include "frontend/qt/key_text.h"
#include "frontend/qt/main_window.h"
#include "frontend/qt/read_along.h"
#include "frontend/qt/stage_view.h"

namespace talu::qt {

void MainWindow::ClickAt(QPoint windowPoint) {
    readAlong_->Clicked();
    app::ReaderCommands* commands = Commands();
    if (commands == nullptr) {
        return;
    }
    QPoint stagePoint;
    if (view_->ToStage(view_->mapFrom(this, windowPoint), stagePoint)) {
        commands->Click(std::pair{stagePoint.x(), stagePoint.y()});
    } else {
        commands->Click();
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (!keys_->Press(*event)) {
        QWidget::keyPressEvent(event);
    }
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (!keys_->Release(*event)) {
        QWidget::keyReleaseEvent(event);
    }
}

bool MainWindow::TabIsAction(const QKeyEvent& key) {
    if (key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab) {
        return false;
    }
    const std::optional<app::ReaderAction> action = settings_.inputs.ActionForKey(KeyText(key));
    if (!action) {
        return false;
    }
    if (*action == app::ReaderAction::kChoiceNext ||
        *action == app::ReaderAction::kChoicePrevious) {
        return session_ && session_->GetPlayer().ChoicePending();
    }
    return true;
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    app::ReaderCommands* commands = Commands();
    if (event->button() == Qt::MiddleButton && commands != nullptr) {
        commands->StopOrGotoNextChoice();
        return;
    }
    QWidget::mousePressEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ClickAt(event->position().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    cursor_->SetHidden(false);
    QPoint stagePoint;
    app::ReaderCommands* commands = Commands();
    if (commands != nullptr &&
        view_->ToStage(view_->mapFrom(this, event->position().toPoint()), stagePoint)) {
        commands->PointAt(stagePoint.x(), stagePoint.y());
    }
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    ShowPopupMenu(event->globalPos());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile()) {
        event->acceptProposedAction();
        const QString file = urls.front().toLocalFile();  // the first one opens, the rest wait
        QMetaObject::invokeMethod(
            this, [this, file] { OpenBook(file.toStdString()); }, Qt::QueuedConnection);
    }
}

}  // namespace talu::qt
