#include "frontend/qt/worker_adapter.h"

#include <QDesktopServices>
#include <QMetaObject>
#include <QUrl>
#include <type_traits>
#include <variant>

#include "frontend/qt/message_gate.h"
#include "frontend/qt/ui_text.h"
#include "host/paths.h"

namespace talu::qt {

void WorkerAdapter::Queue(std::function<void()> call) {
    handoff_->Post([this, call = std::move(call), book = book_.load()] {
        if (book == book_.load()) {
            call();
        }
    });
}

void WorkerAdapter::Post(app::PlayerMessage message) {
    // Every message type must be handled here: a new one fails to compile until it is.
    std::visit(
        [this](const auto& posted) {
            using Posted = std::decay_t<decltype(posted)>;
            if constexpr (std::is_same_v<Posted, app::FormCompleteMessage>) {
                Queue(window_.formComplete);
            } else {
                static_assert(std::is_same_v<Posted, app::AutoBookmarkMessage>);
                Queue(window_.autoBookmark);
            }
        },
        message);
}

bool WorkerAdapter::ShowMessage(const std::string& text, bool withCancel) {
    return window_.gate->Ask(text, withCancel);
}

void WorkerAdapter::SetStageSize(int width, int height) {
    Queue([this, width, height] { window_.stageSize(width, height); });
}

void WorkerAdapter::RequestClose() {
    Queue(window_.close);
}

void WorkerAdapter::SetTitle(const std::string& title) {
    const QString caption = title.empty() ? QString() : FromCp932(title);
    Queue([this, caption] { window_.title(caption); });
}

bool WorkerAdapter::SetCursor(const std::string& insidePath) {
    return window_.loadCursor(insidePath);
}

void WorkerAdapter::StartProgram(const std::string& program, const std::string& parameters,
                                 const std::string& folder) {
    const std::string bookFolder = window_.bookFolder();
    const auto found = host::FindHostPath(program, host::HostPathOptions{bookFolder});
    const QString executable = found ? QString::fromStdString(found->string()) : FromCp932(program);
    const auto directory =
        host::FindHostPath(folder.empty() ? bookFolder : folder, host::HostPathOptions{bookFolder});
    const QString workingDirectory = directory ? QString::fromStdString(directory->string()) : "";
    const QString arguments = FromCp932(parameters);
    Queue([this, executable, arguments, workingDirectory] {
        window_.startProgram(executable, arguments, workingDirectory);
    });
}

void WorkerAdapter::ModeChanged(const app::ModeChange&) {
    // Never dropped with a closed book: the window reads the mode as it is when this runs, so
    // a marker never outlives its mode.
    handoff_->Post(window_.modeChanged);
}

void WorkerAdapter::PageShown(const app::ShownPage& page) {
    Queue([this, page] { window_.pageShown(page); });
}

void WorkerAdapter::OpenWebAddress(const std::string& address) {
    const QUrl url(FromCp932(address));
    Queue([url] { QDesktopServices::openUrl(url); });
}

}  // namespace talu::qt
