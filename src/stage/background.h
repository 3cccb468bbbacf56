#pragma once

#include <string>

#include "stage/picture.h"

namespace talu::stage {

/// The stage's back layer: a picture, or a plain colour filled into its surface.
class BackgroundPicture : public Picture {
  public:
    /// The colour text the background was last filled with, as the tag wrote it.
    std::string colourText;
    /// 1 while the background is a plain colour, 0 while it shows a picture.
    int colourMode = 0;

    /// Releases the surface and creates it at width x height filled with black, in colour mode
    /// with the colour text "#000000" and no key. False (surface unloaded) when creation fails.
    bool MakeBlack(int width, int height, const PixelFormat& format);
    /// Appends the lines that re-create this background (colour form, or picture form wrapped in
    /// the filter lines); nothing when it is neither a colour nor a loaded picture.
    void WriteTags(std::vector<std::string>& lines) const;
};

}  // namespace talu::stage
