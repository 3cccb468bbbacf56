#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "stage/pixel_format.h"

namespace talu::cli {

/// What `talu-cli picture` loads and how.
struct PictureOptions {
    /// The picture as the author names it: a host path, possibly running into an archive
    /// ("data.lzh/img/face.bmp").
    std::string file;
    /// The display format the picture is converted to.
    stage::PixelFormat format = stage::PixelFormat::Rgb565();
    /// Load flags (stage::load::k...) and the sizes they give.
    uint32_t flags = 0;
    int width = 0;
    int height = 0;
    /// The colour filter to apply after loading, if any.
    std::optional<uint32_t> filter;
    /// Host path of the PNG to write.
    std::string out;
    /// 0 Japanese, 1 English.
    int langMode = 0;
};

/// Reads the command's arguments (after "picture"); false with problem set on a usage error.
bool ParsePictureArguments(const std::vector<std::string_view>& args, PictureOptions& options,
                           std::string& problem);

/// Loads the picture exactly as a book's picture is loaded (every extension counts as bound to
/// the built-in decoders), applies the filter and writes the 16-bit result as PNG, colour-key
/// pixels transparent. Prints "WIDTHxHEIGHT", and "box TEXT" for every message. Returns the
/// process exit status: 0, or 1 on failure.
int RunPicture(const PictureOptions& options, std::ostream& out, std::ostream& err);

}  // namespace talu::cli
