#include "frontend/qt/read_aloud.h"

#include <QLocale>
#include <QTextToSpeech>
#include <map>
#include <utility>

#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

QLocale::Language LanguageOf(int langMode) {
    return langMode == 0 ? QLocale::Japanese : QLocale::English;
}

/// A locale of the engine in the language that has a voice, if any. Leaves the engine there.
std::optional<QLocale> VoiceLocale(QTextToSpeech& speech, QLocale::Language language) {
    for (const QLocale& locale : speech.availableLocales()) {
        if (locale.language() == language) {
            speech.setLocale(locale);
            if (speech.locale().language() == language && !speech.availableVoices().isEmpty()) {
                return locale;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

/// The engines and what each language speaks with; on the speech thread only.
struct ReadAloud::Desk {
    struct Voice {
        QTextToSpeech* speech = nullptr;
        QLocale locale;
    };
    std::vector<std::unique_ptr<QTextToSpeech>> engines;
    std::map<int, Voice> voices;

    /// Starts every engine and finds a voice for each language; the problems, by language.
    std::array<QString, 2> Survey(const QStringList& names) {
        for (const QString& name : names) {
            auto speech = std::make_unique<QTextToSpeech>(name);
            if (speech->state() == QTextToSpeech::Error) {
                continue;
            }
            for (int lang = 0; lang < 2; ++lang) {
                if (voices.count(lang) == 0) {
                    if (std::optional<QLocale> locale = VoiceLocale(*speech, LanguageOf(lang))) {
                        voices[lang] = Voice{speech.get(), *locale};
                    }
                }
            }
            engines.push_back(std::move(speech));
        }
        std::array<QString, 2> problems;
        for (int lang = 0; lang < 2; ++lang) {
            if (voices.count(lang) == 0) {
                problems[lang] =
                    names.isEmpty()
                        ? Pick(lang,
                               "音声合成エンジンがインストールされていません (speech-dispatcher "
                               "と espeak-ng で使えます)。",
                               "No speech engine is installed (speech-dispatcher with espeak-ng "
                               "gives one).")
                        : Pick(lang, "日本語の音声がインストールされていません。",
                               "No English voice is installed.");
            }
        }
        return problems;
    }

    void Stop() {
        for (const auto& speech : engines) {
            if (speech->state() == QTextToSpeech::Speaking) {
                speech->stop(QTextToSpeech::BoundaryHint::Immediate);
            }
        }
    }

    void Speak(const QString& text, int langMode) {
        Stop();
        const auto voice = voices.find(langMode);
        if (voice != voices.end()) {
            voice->second.speech->setLocale(voice->second.locale);
            voice->second.speech->say(text);
        }
    }
};

ReadAloud::ReadAloud(QStringList engines)
    : engines_(std::move(engines)), desk_(std::make_unique<Desk>()) {
    deskContext_ = new ThreadHandoff(nullptr);
    deskContext_->moveToThread(&thread_);
    thread_.start();
}

ReadAloud::~ReadAloud() {
    // The desk and its engines go on the thread they were made on, then the thread ends.
    deskContext_->Post(
        [desk = std::shared_ptr<Desk>(std::move(desk_))]() mutable { desk.reset(); });
    thread_.quit();
    thread_.wait();
    delete deskContext_;
}

QStringList ReadAloud::InstalledEngines() {
    QStringList engines = QTextToSpeech::availableEngines();
    engines.sort();  // Qt lists them in no particular order
    if (engines.removeOne(QStringLiteral("speechd"))) {
        engines.prepend(QStringLiteral("speechd"));
    }
    return engines;
}

void ReadAloud::Ask() {
    if (asked_) {
        return;
    }
    asked_ = true;
    deskContext_->Post([this, desk = desk_.get(), names = engines_] {
        const std::array<QString, 2> problems = desk->Survey(names);
        answers_.Post([this, problems] {
            problems_[0] = problems[0];
            problems_[1] = problems[1];
            for (const std::function<void()>& call : std::exchange(waiting_, {})) {
                call();
            }
        });
    });
}

std::optional<QString> ReadAloud::Problem(int langMode) {
    Ask();
    return problems_[langMode == 0 ? 0 : 1];
}

void ReadAloud::WhenAnswered(std::function<void()> call) {
    Ask();
    if (problems_[0]) {
        call();
    } else {
        waiting_.push_back(std::move(call));
    }
}

void ReadAloud::Speak(const QString& text, int langMode) {
    Ask();
    const int lang = langMode == 0 ? 0 : 1;
    deskContext_->Post([desk = desk_.get(), text, lang] { desk->Speak(text, lang); });
}

void ReadAloud::Stop() {
    if (asked_) {
        deskContext_->Post([desk = desk_.get()] { desk->Stop(); });
    }
}

}  // namespace talu::qt
