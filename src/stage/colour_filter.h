#pragma once

#include <cstdint>
#include <string>

#include "stage/surface.h"

// Colour filters tint a picture once, right after it is loaded: MONO, INVERSE, SEPIA, or a tint
// colour 0x00BBGGRR where a component of 128 keeps its channel.
namespace talu::stage {

/// Filters every pixel of surface in place, leaving pixels equal to its key as they are.
/// The no-filter value (0x1000000) and values that are neither a tint nor MONO, INVERSE or SEPIA
/// change nothing. False when the surface is unloaded; the caller records the value either way.
bool ApplyFilter(Surface& surface, uint32_t filter);

/// The opening SUNGLASS line that re-creates filter ("<SUNGLASS COLOR=\"MONO\">",
/// "<SUNGLASS COLOR=\"#C8C8C8\">" ...), or an empty text when filter sets nothing.
std::string FilterTagText(uint32_t filter);

}  // namespace talu::stage
