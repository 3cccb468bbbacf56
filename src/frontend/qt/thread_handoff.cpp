#include "frontend/qt/thread_handoff.h"

#include <QCoreApplication>
#include <QEvent>

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TALU_TELLS_TSAN 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define TALU_TELLS_TSAN 1
#endif
#ifdef TALU_TELLS_TSAN
#include <sanitizer/tsan_interface.h>
#endif

namespace talu::qt {
namespace {

const QEvent::Type kJobEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

struct JobEvent : QEvent {
    explicit JobEvent(std::function<void()> posted) : QEvent(kJobEvent), job(std::move(posted)) {}
    std::function<void()> job;
};

// Everything written before a job was posted is seen by the thread that runs it: Qt's event
// queue makes it so under its own lock, which the sanitizer does not see.
void Handed(void* event) {
#ifdef TALU_TELLS_TSAN
    __tsan_release(event);
#else
    (void)event;
#endif
}

void Taken(void* event) {
#ifdef TALU_TELLS_TSAN
    __tsan_acquire(event);
#else
    (void)event;
#endif
}

}  // namespace

ThreadHandoff::ThreadHandoff(QObject* parent) : QObject(parent) {}

void ThreadHandoff::Post(std::function<void()> job) {
    auto* event = new JobEvent(std::move(job));
    Handed(event);
    QCoreApplication::postEvent(this, event);
}

bool ThreadHandoff::event(QEvent* event) {
    Taken(event);  // before even its type is read
    if (event->type() != kJobEvent) {
        return QObject::event(event);
    }
    static_cast<JobEvent*>(event)->job();
    return true;
}

}  // namespace talu::qt
