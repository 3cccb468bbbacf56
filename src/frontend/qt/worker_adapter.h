#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <string>

#include "app/shell.h"
#include "frontend/qt/thread_handoff.h"

namespace talu::qt {

class MessageGate;

/// The window as the book's worker sees it: every call that may come from the worker reaches
/// the window only through a queued call on the interface thread, and a call made for a book
/// that has since been closed or replaced is dropped there.
class WorkerAdapter : public app::Shell {
  public:
    /// What the window does on the interface thread; every member must be set.
    struct Window {
        /// Queued calls run in its thread and die with it.
        QObject* context = nullptr;
        /// Boxes; outlives the adapter.
        MessageGate* gate = nullptr;
        /// The screen changed: paint later (called on the drawing thread, must not block).
        std::function<void()> screenChanged;
        std::function<void(int width, int height)> stageSize;
        std::function<void()> close;
        /// The caption; empty for the application's own.
        std::function<void(const QString& caption)> title;
        /// CURSOR: loads the cursor at an inside path (any thread); false when it cannot.
        std::function<bool(const std::string& insidePath)> loadCursor;
        std::function<void()> formComplete;
        std::function<void()> autoBookmark;
        /// COMMAND: a program (host path or name), its arguments and working folder.
        std::function<void(const QString& program, const QString& parameters,
                           const QString& folder)>
            startProgram;
        /// The open book's inside folder (the interface thread's view).
        std::function<std::string()> bookFolder;
        /// A bookmark load ends the reading, and is over.
        std::function<void()> readingEnds;
        std::function<void()> readingResumes;
        /// Skip or auto started or ended: the window looks at the mode again.
        std::function<void()> modeChanged;
        /// A page has been typed and waits for the reader.
        std::function<void(const app::ShownPage& page)> pageShown;
    };

    /// The window's context must exist already.
    explicit WorkerAdapter(Window window)
        : window_(std::move(window)), handoff_(new ThreadHandoff(window_.context)) {}

    /// Interface thread: the open book is closed or replaced; what its worker still posts is
    /// dropped.
    void BookChanged() { ++book_; }

    void Post(app::PlayerMessage message) override;
    bool ShowMessage(const std::string& text, bool withCancel) override;
    void ScreenChanged() override { window_.screenChanged(); }
    void SetStageSize(int width, int height) override;
    void RequestClose() override;
    void SetTitle(const std::string& title) override;
    bool SetCursor(const std::string& insidePath) override;
    void StartProgram(const std::string& program, const std::string& parameters,
                      const std::string& folder) override;
    void OpenWebAddress(const std::string& address) override;
    void ReadingEnds() override { window_.readingEnds(); }
    void ReadingResumes() override { window_.readingResumes(); }
    void PageShown(const app::ShownPage& page) override;
    void ModeChanged(const app::ModeChange& change) override;

  private:
    /// Runs call on the interface thread, unless the book changed meanwhile.
    void Queue(std::function<void()> call);

    Window window_;
    // The worker's calls reach the interface thread through it; a child of the context.
    ThreadHandoff* handoff_;
    std::atomic<int> book_{0};
};

}  // namespace talu::qt
