#pragma once

#include <filesystem>

#include "stage/surface.h"

namespace talu::stage {

/// Writes a 16-bit surface as PNG: each channel widened to the full 8 bits (a full field is 255,
/// as on screen) and colour-key pixels fully transparent. Every PNG of the stage is written here.
/// False when the file cannot be written.
bool WriteSurfacePng(const std::filesystem::path& file, const stage::Surface& surface);

}  // namespace talu::stage
