#pragma once

#include <string>

namespace talu::host {

/// The General MIDI soundfont MIDI music is played with: override when it names a file,
/// otherwise SDL_SOUNDFONTS when it names one, otherwise the first of the soundfonts Debian's
/// packages install (the small TimGM6mb first, as it loads fastest). Empty when there is none.
std::string FindSoundFont(const std::string& override = {});

}  // namespace talu::host
