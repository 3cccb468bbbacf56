#pragma once

#include <QObject>
#include <functional>

namespace talu::qt {

/// Runs jobs on the thread this object lives in, posted from any thread; a job still waiting
/// when the object goes is dropped. Qt's queued calls do the same, but they hand the job over
/// inside Qt, where ThreadSanitizer cannot see it and reports every such job as a race; here
/// the hand-over is ours and told to the sanitizer, so what a job touches is still checked.
class ThreadHandoff : public QObject {
  public:
    /// Made as a child of the object whose thread runs the jobs (and goes with it).
    explicit ThreadHandoff(QObject* parent);

    void Post(std::function<void()> job);

  protected:
    bool event(QEvent* event) override;
};

}  // namespace talu::qt
