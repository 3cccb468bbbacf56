#include "qt/speech_recorder.h"

#include <QTextToSpeechEngine>
#include <QTextToSpeechPlugin>
#include <QtPlugin>
#include <mutex>

namespace talu::test {

namespace {

std::mutex logMutex;
SpeechLog log;

}  // namespace

SpeechLog RecordedSpeech() {
    std::lock_guard lock(logMutex);
    return log;
}

void ClearRecordedSpeech() {
    std::lock_guard lock(logMutex);
    log = SpeechLog();
}

namespace {

class RecorderEngine : public QTextToSpeechEngine {
  public:
    using QTextToSpeechEngine::QTextToSpeechEngine;

    QList<QLocale> availableLocales() const override { return {kJapanese}; }
    QList<QVoice> availableVoices() const override {
        return {
            createVoice(QStringLiteral("recorder"), kJapanese, QVoice::Female, QVoice::Adult, {})};
    }
    void say(const QString& text) override {
        {
            std::lock_guard lock(logMutex);
            log.said << text;
            log.language = locale_.language();
        }
        Change(QTextToSpeech::Speaking);
    }
    void stop(QTextToSpeech::BoundaryHint) override {
        {
            std::lock_guard lock(logMutex);
            ++log.stops;
        }
        Change(QTextToSpeech::Ready);
    }
    void pause(QTextToSpeech::BoundaryHint) override {}
    void resume() override {}
    double rate() const override { return 0; }
    bool setRate(double) override { return true; }
    double pitch() const override { return 0; }
    bool setPitch(double) override { return true; }
    QLocale locale() const override { return locale_; }
    bool setLocale(const QLocale& locale) override {
        if (locale.language() != QLocale::Japanese) {
            return false;
        }
        locale_ = locale;
        return true;
    }
    double volume() const override { return 1; }
    bool setVolume(double) override { return true; }
    QVoice voice() const override { return availableVoices().front(); }
    bool setVoice(const QVoice&) override { return true; }
    QTextToSpeech::State state() const override { return state_; }
    QTextToSpeech::ErrorReason errorReason() const override {
        return QTextToSpeech::ErrorReason::NoError;
    }
    QString errorString() const override { return {}; }

  private:
    void Change(QTextToSpeech::State state) {
        state_ = state;
        emit stateChanged(state);
    }
    inline static const QLocale kJapanese{QLocale::Japanese, QLocale::Japan};
    QLocale locale_{QLocale::Japanese, QLocale::Japan};
    QTextToSpeech::State state_ = QTextToSpeech::Ready;
};

}  // namespace

}  // namespace talu::test

class SpeechRecorderPlugin : public QObject, public QTextToSpeechPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.qt.speech.tts.plugin/6.0" FILE "speech_recorder.json")
    Q_INTERFACES(QTextToSpeechPlugin)

  public:
    QTextToSpeechEngine* createTextToSpeechEngine(const QVariantMap&, QObject* parent,
                                                  QString*) const override {
        return new talu::test::RecorderEngine(parent);
    }
};

Q_IMPORT_PLUGIN(SpeechRecorderPlugin)

#include "speech_recorder.moc"
