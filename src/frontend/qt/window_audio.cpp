#include "frontend/qt/window_audio.h"

#include "frontend/qt/thread_handoff.h"
#include "frontend/qt/ui_text.h"
#include "script/messages.h"

namespace talu::qt {

std::unique_ptr<host::SdlAudioDevice> MakeWindowAudio(QWidget& window, MessageGate& gate,
                                                      const app::Settings& settings) {
    // The device calls from its own threads, some holding its lock: the box waits for the
    // interface thread, and no one waits for the box.
    ThreadHandoff* handoff = new ThreadHandoff(&window);
    const auto tell = [handoff, &gate](std::function<std::string()> text) {
        handoff->Post([&gate, text = std::move(text)] { gate.Ask(text(), false); });
    };
    host::SdlAudioDevice::Options options;
    options.soundFont = settings.soundFont;
    options.onOpenFailed = [tell, &settings](const std::string& problem) {
        tell([&settings, problem] {
            return ToCp932(Pick(settings.langMode,
                                "サウンドデバイスを開けません。音楽と効果音なしで続けます。",
                                "The sound device cannot be opened; the book goes on without "
                                "music and sound.") +
                           "\n(" + QString::fromStdString(problem) + ")");
        });
    };
    options.onMusicFailed = [tell, &settings](const std::string&) {
        tell([&settings] { return script::UnsupportedMusicMessage(settings.langMode); });
    };
    return std::make_unique<host::SdlAudioDevice>(std::move(options));
}

}  // namespace talu::qt
