#include "app/music_files.h"

#include <cstdio>

#include "host/paths.h"
#include "stage/extension_map.h"

namespace talu::app {

const char* BackendName(MusicBackend backend) {
    switch (backend) {
        case MusicBackend::kMidi:
            return "midi";
        case MusicBackend::kCd:
            return "cd";
        case MusicBackend::kStream:
            break;
    }
    return "stream";
}

MusicBackend BackendOf(std::string_view source) {
    const std::string extension = stage::ExtensionOf(source).value_or("");
    if (extension == "CDA") {
        return MusicBackend::kCd;
    }
    if (extension == "MID" || extension == "MIDI") {
        return MusicBackend::kMidi;
    }
    return MusicBackend::kStream;
}

std::optional<int> CdTrackNumber(std::string_view source) {
    if (source.size() < 6) {
        return std::nullopt;
    }
    const char tens = source[source.size() - 6];
    const char ones = source[source.size() - 5];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') {
        return std::nullopt;
    }
    return (tens - '0') * 10 + (ones - '0');
}

std::optional<std::string> FindCdTrackFile(int track, std::string_view bookFolder) {
    char number[8];
    std::snprintf(number, sizeof(number), "%02d", track);
    const host::HostPathOptions options{bookFolder};
    for (const char* folder : {"", "cd\\"}) {
        for (const std::string& name :
             {std::string("track") + number, std::string("Track") + number, std::string(number)}) {
            for (const char* extension : {".ogg", ".flac", ".wav", ".mp3"}) {
                const std::string inside = std::string(folder) + name + extension;
                if (host::FindHostPath(inside, options)) {
                    return inside;
                }
            }
        }
    }
    return std::nullopt;
}

std::optional<stage::OpenedFile> OpenMusicFile(std::string_view source, std::string_view bookFolder,
                                               const stage::PluginList& plugins) {
    if (BackendOf(source) == MusicBackend::kCd) {
        const std::optional<int> track = CdTrackNumber(source);
        std::optional<std::string> file;
        if (track) {
            file = FindCdTrackFile(*track, bookFolder);
        }
        if (!file) {
            return std::nullopt;
        }
        return stage::OpenPossiblyArchived(*file, bookFolder, plugins);
    }
    return stage::OpenPossiblyArchived(source, bookFolder, plugins);
}

}  // namespace talu::app
