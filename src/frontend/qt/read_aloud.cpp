#include "frontend/qt/read_aloud.h"

#include <QLocale>
#include <QTextToSpeech>

#include "frontend/qt/ui_text.h"

namespace talu::qt {

/// An engine that has a voice for one language, or why none has.
struct ReadAloud::Speaker {
    std::unique_ptr<QTextToSpeech> speech;
    QString problem;
};

namespace {

QLocale::Language LanguageOf(int langMode) {
    return langMode == 0 ? QLocale::Japanese : QLocale::English;
}

/// The engine set to a voice of the language, or null.
std::unique_ptr<QTextToSpeech> EngineWithVoice(const QString& engine, QLocale::Language language) {
    auto speech = std::make_unique<QTextToSpeech>(engine);
    if (speech->state() == QTextToSpeech::Error) {
        return nullptr;
    }
    for (const QLocale& locale : speech->availableLocales()) {
        if (locale.language() == language) {
            speech->setLocale(locale);
            if (speech->locale().language() == language && !speech->availableVoices().isEmpty()) {
                return speech;
            }
        }
    }
    return nullptr;
}

}  // namespace

ReadAloud::ReadAloud(QStringList engines) : engines_(std::move(engines)) {}

ReadAloud::~ReadAloud() = default;

QStringList ReadAloud::InstalledEngines() {
    QStringList engines = QTextToSpeech::availableEngines();
    // The engine Qt picks by itself is the desktop's preferred one.
    const QString preferred = QTextToSpeech().engine();
    if (engines.removeOne(preferred)) {
        engines.prepend(preferred);
    }
    return engines;
}

ReadAloud::Speaker& ReadAloud::SpeakerFor(int langMode) {
    const int key = langMode == 0 ? 0 : 1;
    std::unique_ptr<Speaker>& speaker = speakers_[key];
    if (speaker) {
        return *speaker;
    }
    speaker = std::make_unique<Speaker>();
    for (const QString& engine : engines_) {
        speaker->speech = EngineWithVoice(engine, LanguageOf(key));
        if (speaker->speech) {
            return *speaker;
        }
    }
    speaker->problem =
        engines_.isEmpty()
            ? Pick(key,
                   "音声合成エンジンがインストールされていません (speech-dispatcher と "
                   "espeak-ng で使えます)。",
                   "No speech engine is installed (speech-dispatcher with espeak-ng gives one).")
            : Pick(key, "日本語の音声がインストールされていません。",
                   "No English voice is installed.");
    return *speaker;
}

QString ReadAloud::Problem(int langMode) {
    return SpeakerFor(langMode).problem;
}

void ReadAloud::Speak(const QString& text, int langMode) {
    Stop();
    if (QTextToSpeech* speech = SpeakerFor(langMode).speech.get()) {
        speech->say(text);
    }
}

void ReadAloud::Stop() {
    for (auto& [language, speaker] : speakers_) {
        if (speaker->speech && speaker->speech->state() == QTextToSpeech::Speaking) {
            speaker->speech->stop(QTextToSpeech::BoundaryHint::Immediate);
        }
    }
}

}  // namespace talu::qt
