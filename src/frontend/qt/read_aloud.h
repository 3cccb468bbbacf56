#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "frontend/qt/thread_handoff.h"

namespace talu::qt {

/// Speaks pages through the desktop's speech engines (Qt TextToSpeech: speech-dispatcher with
/// espeak-ng, or flite), each in the book's language. Engines can take seconds to start (the
/// speech-dispatcher one lists every voice it has), so they live on a thread of their own and
/// the window never waits for them. A build without the speech module keeps this class and
/// says why nothing can be spoken. Called on the interface thread.
class ReadAloud {
  public:
    /// engines: the speech engines to look for voices in, in order of preference.
    explicit ReadAloud(QStringList engines);
    ~ReadAloud();
    ReadAloud(const ReadAloud&) = delete;
    ReadAloud& operator=(const ReadAloud&) = delete;

    /// The engines installed, speech-dispatcher's first (the desktop's own speech service);
    /// none is started.
    static QStringList InstalledEngines();

    /// Why text in the language (0 Japanese, 1 English) cannot be spoken here, in that
    /// language; empty when it can. Nullopt while the engines are still being asked, which
    /// the first call starts.
    std::optional<QString> Problem(int langMode);
    /// call runs on the interface thread once the engines have answered (soon, when they
    /// have); dropped when this goes first.
    void WhenAnswered(std::function<void()> call);
    /// Stops what is being spoken and speaks text in the language; nothing where it cannot.
    void Speak(const QString& text, int langMode);
    /// Stops speaking at once.
    void Stop();

  private:
    struct Desk;
    void Ask();

    QStringList engines_;
    /// Per language; set when the engines have answered.
    std::array<std::optional<QString>, 2> problems_;
    bool asked_ = false;
    std::vector<std::function<void()>> waiting_;
    /// Receives the answers on the interface thread.
    ThreadHandoff answers_{nullptr};
    QThread thread_;
    /// Lives on thread_ and is used only there.
    std::unique_ptr<Desk> desk_;
    ThreadHandoff* deskContext_ = nullptr;
};

}  // namespace talu::qt
