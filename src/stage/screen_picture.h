#pragma once

#include "host/image/sdl_image_codec.h"
#include "stage/screen.h"

namespace talu::stage {

/// A width x height picture of the whole screen (taken under its lock), each pixel the average
/// of the screen pixels it covers: a recognisable small copy of what the reader sees. An empty
/// picture before the screen is created.
host::RgbaImage ShrunkScreenPicture(const Screen& screen, int width, int height);

}  // namespace talu::stage
