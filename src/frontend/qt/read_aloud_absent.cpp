// The read-aloud of a build made without Qt TextToSpeech: the setting stays disabled and says
// why.
#include "frontend/qt/read_aloud.h"

#include "frontend/qt/ui_text.h"

namespace talu::qt {

struct ReadAloud::Desk {};

ReadAloud::ReadAloud(QStringList engines) : engines_(std::move(engines)) {}

ReadAloud::~ReadAloud() = default;

QStringList ReadAloud::InstalledEngines() {
    return {};
}

std::optional<QString> ReadAloud::Problem(int langMode) {
    return Pick(langMode,
                "この talu は音声合成なしで作られました (Qt TextToSpeech がありませんでした)。",
                "This build of talu has no speech support (Qt TextToSpeech was missing when it "
                "was built).");
}

void ReadAloud::WhenAnswered(std::function<void()> call) {
    call();
}

void ReadAloud::Speak(const QString&, int) {}

void ReadAloud::Stop() {}

}  // namespace talu::qt
