#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "stage/archive_lookup.h"
#include "stage/plugin_list.h"

// Where the music a BGM tag names comes from. Nobody has the book's CD any more, so a CD track
// ("...02.cda") plays the ripped track file beside the book instead.
namespace talu::app {

/// How the music is played; shown in traces.
enum class MusicBackend { kMidi, kCd, kStream };

const char* BackendName(MusicBackend backend);

/// The back-end for a source, by its extension (MID and MIDI, CDA, anything else).
MusicBackend BackendOf(std::string_view source);

/// The track number of a CD source: the two digits six characters from its end; nullopt when
/// they are not digits.
std::optional<int> CdTrackNumber(std::string_view source);

/// The inside path of the ripped file for a CD track: the first of trackNN, TrackNN and NN with
/// the extension ogg, flac, wav or mp3 (any case) in the book's folder, then in its "cd" folder.
std::optional<std::string> FindCdTrackFile(int track, std::string_view bookFolder);

/// Opens the music a source names (relative to the book's folder, archive members too); for a
/// CD source, its ripped track. nullopt when there is none.
std::optional<stage::OpenedFile> OpenMusicFile(std::string_view source, std::string_view bookFolder,
                                               const stage::PluginList& plugins);

}  // namespace talu::app
