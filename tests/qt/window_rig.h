#pragma once

// What the window's widget tests share: a window whose settings and books live in a scratch
// folder, and a hand that answers the modal boxes and dialogs it brings up.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "frontend/qt/main_window.h"
#include "frontend/qt/qt_settings_store.h"
#include "interp/interpreter.h"

namespace talu::test {

/// Runs act on the next turn of the event loop, never inside the caller's own call.
inline void Later(QObject* context, std::function<void()> act) {
    QTimer::singleShot(0, context, std::move(act));
}

/// Presses a button of modal when it is a message box.
inline void Press(QWidget& modal, QMessageBox::StandardButton which) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
        Later(box, [box, which] { box->button(which)->click(); });
    }
}

/// Deals with the modal boxes and dialogs as they come up (also inside nested event loops):
/// each is named (a box by its text, a dialog by its title) and handed to handle, which acts
/// on it later through Later, never inside this timer's call.
class ModalDriver : public QObject {
  public:
    explicit ModalDriver(std::function<void(QWidget&)> handle) : handle_(std::move(handle)) {
        connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
        timer_.start(5);
    }
    /// Presses which on every box.
    explicit ModalDriver(QMessageBox::StandardButton which)
        : ModalDriver([which](QWidget& modal) { Press(modal, which); }) {}
    QStringList seen;

  private:
    void Look() {
        QWidget* modal = QApplication::activeModalWidget();
        // Boxes live on the stack, so a later one may reuse a gone one's address.
        if (modal == nullptr ||
            std::any_of(handled_.begin(), handled_.end(),
                        [modal](const QPointer<QWidget>& p) { return p == modal; })) {
            return;
        }
        handled_.emplace_back(modal);
        auto* box = qobject_cast<QMessageBox*>(modal);
        seen << (box != nullptr ? box->text() : modal->windowTitle());
        handle_(*modal);
    }
    std::function<void(QWidget&)> handle_;
    QTimer timer_;
    std::vector<QPointer<QWidget>> handled_;
};

/// The player's window, in English and in a window, over a scratch folder. A test class
/// derives from it beside QObject, opens the window in init and closes it in cleanup.
class WindowRig {
  protected:
    QTemporaryDir dir_;
    std::unique_ptr<qt::QtSettingsStore> store_;
    app::Settings settings_;
    qt::DesktopSettings desktop_;
    std::unique_ptr<qt::MainWindow> window_;

    void OpenWindow() {
        store_ = std::make_unique<qt::QtSettingsStore>(SettingsFile());
        settings_.langMode = 1;
        qt::LaunchOptions launch;
        launch.display = qt::DisplayChoice::kWindow;
        window_ = std::make_unique<qt::MainWindow>(settings_, desktop_, *store_, launch);
        window_->show();
    }

    void CloseWindow() {
        window_.reset();
        store_.reset();
        QFile::remove(SettingsFile());
    }

    std::filesystem::path Folder() const {
        return std::filesystem::path(dir_.path().toStdString());
    }
    QString SettingsFile() const { return dir_.filePath("talu.conf"); }

    /// Writes a file of the scratch folder and returns its path.
    std::filesystem::path Write(const std::string& name, const std::string& bytes) {
        const std::filesystem::path path = Folder() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    /// Waits until a book is open and its worker ended (the book waits for the reader).
    bool Idle() {
        return QTest::qWaitFor(
            [&] {
                return window_->Session() != nullptr &&
                       window_->Session()->GetInterpreter() != nullptr &&
                       !window_->Session()->GetPlayer().WorkerRunning();
            },
            5000);
    }
};

}  // namespace talu::test
