#include "frontend/qt/message_gate.h"

#include <QMessageBox>
#include <QThread>

#include "frontend/qt/ui_text.h"

namespace talu::qt {

struct MessageGate::Request {
    std::string text;
    bool withCancel = false;
    int generation = 0;
    bool done = false;
    bool ok = false;
};

MessageGate::MessageGate(QWidget* parent, const std::atomic<int>& langMode)
    : parent_(parent), handoff_(new ThreadHandoff(parent)), langMode_(langMode) {}

bool MessageGate::Ask(const std::string& text, bool withCancel) {
    if (QThread::currentThread() == parent_->thread()) {
        return Show(text, withCancel);
    }
    auto request = std::make_shared<Request>();
    request->text = text;
    request->withCancel = withCancel;
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
        }
        request->generation = generation_;
    }
    handoff_->Post([this, request] {
        {
            std::lock_guard lock(mutex_);
            if (request->done) {
                return;
            }
            if (closed_ || request->generation != generation_) {
                request->done = true;  // asked by a book that is gone
                answered_.notify_all();
                return;
            }
        }
        Answer(*request, Show(request->text, request->withCancel));
    });
    std::unique_lock lock(mutex_);
    answered_.wait(lock,
                   [&] { return request->done || closed_ || request->generation != generation_; });
    return request->done && request->ok;
}

void MessageGate::Answer(Request& request, bool ok) {
    std::lock_guard lock(mutex_);
    request.done = true;
    request.ok = ok && !closed_ && request.generation == generation_;
    answered_.notify_all();
}

bool MessageGate::Show(const std::string& text, bool withCancel) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("talu"), FromCp932(text),
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, parent_);
    NameButtons(box, langMode_.load());
    open_.emplace_back(&box);
    const int result = box.exec();
    std::erase(open_, QPointer<QMessageBox>(&box));
    return result == QMessageBox::Ok;
}

void MessageGate::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        ++generation_;
    }
    answered_.notify_all();
    for (const QPointer<QMessageBox>& box : open_) {
        if (box) {
            box->done(QMessageBox::Cancel);
        }
    }
}

void MessageGate::Reopen() {
    std::lock_guard lock(mutex_);
    closed_ = false;
}

}  // namespace talu::qt
