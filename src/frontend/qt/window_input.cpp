// The window's mouse, keys and dropped files, mapped onto the session's reader commands.
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <optional>

#include "frontend/qt/key_commands.h"
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
    if (event->key() == Qt::Key_Alt) {
        altAlone_ = !event->isAutoRepeat();
        return;
    }
    altAlone_ = false;
    if (ReadingKey(*event)) {
        return;
    }
    if (app::ReaderCommands* commands = Commands()) {
        commands->LeaveFastForward();  // every key ends fast-forward first
    }
    if (BacklogKey(*event)) {
        return;
    }
    const KeyAction action = ActionForKey(event->key(), event->modifiers());
    switch (action.kind) {
        case KeyAction::kClick:
            PressKey();
            return;
        case KeyAction::kClose:
            close();
            return;
        case KeyAction::kToggleFullScreen:
            SetDisplayMode(!display_->FullScreen(), desktop_.windowScale);
            return;
        case KeyAction::kCommand:
            RunCommand(action.command);
            return;
        case KeyAction::kNone:
            QWidget::keyPressEvent(event);
            return;
    }
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control && !event->isAutoRepeat()) {
        CtrlLetGo();
        return;
    }
    if (event->key() == Qt::Key_Alt && altAlone_ && !event->isAutoRepeat()) {
        altAlone_ = false;
        ShowPopupMenu(display_->FullScreen() ? QPoint(0, 0) : mapToGlobal(QPoint(0, 0)));
        return;
    }
    QWidget::keyReleaseEvent(event);
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
