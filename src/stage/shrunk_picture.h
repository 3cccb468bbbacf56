#pragma once

#include "host/image/sdl_image_codec.h"
#include "stage/surface.h"

namespace talu::stage {

/// A width x height picture of a whole surface, each pixel the average of four surface pixels
/// spread over the area it covers: a recognisable small copy of what the reader saw. An empty
/// picture for an empty surface or size.
host::RgbaImage ShrunkPicture(const Surface& surface, int width, int height);

}  // namespace talu::stage
