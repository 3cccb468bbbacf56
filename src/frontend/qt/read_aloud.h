#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <memory>

namespace talu::qt {

/// Speaks pages through the desktop's speech engines (Qt TextToSpeech: speech-dispatcher with
/// espeak-ng, or flite), each in the book's language. A build without the speech module keeps
/// this class and says why nothing can be spoken.
class ReadAloud {
  public:
    /// engines: the speech engines to look for a voice in, in order of preference.
    explicit ReadAloud(QStringList engines);
    ~ReadAloud();
    ReadAloud(const ReadAloud&) = delete;
    ReadAloud& operator=(const ReadAloud&) = delete;

    /// The engines installed, the desktop's default first.
    static QStringList InstalledEngines();

    /// Why text in the language (0 Japanese, 1 English) cannot be spoken here, in that
    /// language; empty when it can. The first answer for a language is kept.
    QString Problem(int langMode);
    /// Stops what is being spoken and speaks text in the language; nothing where it cannot.
    void Speak(const QString& text, int langMode);
    /// Stops speaking at once.
    void Stop();

  private:
    struct Speaker;
    /// The language's speaker, found at its first use.
    Speaker& SpeakerFor(int langMode);

    QStringList engines_;
    std::map<int, std::unique_ptr<Speaker>> speakers_;
};

}  // namespace talu::qt
