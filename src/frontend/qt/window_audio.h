#pragma once

#include <QWidget>
#include <memory>

#include "app/settings.h"
#include "frontend/qt/message_gate.h"
#include "host/audio/sdl_audio_device.h"

namespace talu::qt {

/// The sound card the window's books are heard on. Making it costs nothing: the device opens at
/// the book's first music or effect, off the interface thread. A device that cannot open, and
/// music that cannot be decoded, are told in a box over window (in the language in force then);
/// the book goes on without them. window and gate outlive the device's callbacks' use: a box
/// asked for after window is gone is dropped.
std::unique_ptr<host::SdlAudioDevice> MakeWindowAudio(QWidget& window, MessageGate& gate,
                                                      const app::Settings& settings);

}  // namespace talu::qt
