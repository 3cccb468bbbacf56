#include "host/audio/soundfont.h"

#include <cstdlib>
#include <filesystem>

namespace talu::host {
namespace {

bool IsFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

}  // namespace

std::string FindSoundFont(const std::string& override) {
    if (IsFile(override)) {
        return override;
    }
    if (const char* fromEnvironment = std::getenv("SDL_SOUNDFONTS")) {
        // The variable may list several, separated by ';'; the first file wins.
        std::string list(fromEnvironment);
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t end = list.find(';', start);
            const std::string one =
                list.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (IsFile(one)) {
                return one;
            }
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
    }
    for (const char* installed :
         {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
          "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/soundfonts/default.sf2"}) {
        if (IsFile(installed)) {
            return installed;
        }
    }
    return {};
}

}  // namespace talu::host
