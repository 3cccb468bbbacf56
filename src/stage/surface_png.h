#pragma once

#include <filesystem>

#include "stage/surface.h"

namespace talu::stage {

/// Writes a 16-bit surface as PNG: each channel widened by its loss, as the BMP writer does, and
/// colour-key pixels fully transparent. False when the file cannot be written.
bool WriteSurfacePng(const std::filesystem::path& file, const stage::Surface& surface);

}  // namespace talu::stage
