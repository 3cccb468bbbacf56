#pragma once

#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "frontend/qt/thread_handoff.h"

class QMessageBox;
class QWidget;

namespace talu::qt {

/// The player's message boxes (caption "talu"). A box asked for by the worker is shown on the
/// interface thread while only the worker waits; closing the window or opening another book
/// answers every waiting or queued box with Cancel at once, so no one waits for a box that will
/// never be seen.
class MessageGate {
  public:
    /// Boxes are shown over parent, their buttons named in langMode's language; both outlive
    /// the gate.
    MessageGate(QWidget* parent, const std::atomic<int>& langMode);

    /// Any thread: shows text (CP932) with OK, or OK and Cancel, and returns true for OK. On the
    /// interface thread the box is shown at once; elsewhere the caller waits for it. False
    /// (Cancel) once the gate is closed.
    bool Ask(const std::string& text, bool withCancel);
    /// Interface thread: every box asked for so far, shown or not, is answered with Cancel, and
    /// so is every later one until Reopen.
    void Close();
    /// Interface thread: boxes are shown again (a new book is open).
    void Reopen();
    /// True while a box is up.
    bool BoxShown() const { return !open_.empty(); }

  private:
    struct Request;
    bool Show(const std::string& text, bool withCancel);
    void Answer(Request& request, bool ok);

    QWidget* parent_;
    // The worker's boxes reach the interface thread through it; a child of parent_.
    ThreadHandoff* handoff_;
    const std::atomic<int>& langMode_;
    /// The boxes up now, innermost last (a box may open while another waits).
    std::vector<QPointer<QMessageBox>> open_;
    std::mutex mutex_;
    std::condition_variable answered_;
    int generation_ = 0;
    bool closed_ = false;
};

}  // namespace talu::qt
