#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/vocabularies.h"
#include "stage/rect.h"
#include "stage/surface.h"

namespace talu::stage {

/// Load flags of LoadPicture (bit values).
namespace load {
/// Set by the attribute reader for opaque pictures; the loader does not test it.
inline constexpr uint32_t kOpaque = 1;
/// Automatic transparency: the top-left pixel's colour becomes the key.
inline constexpr uint32_t kAutoKey = 2;
/// The width is given in pixels.
inline constexpr uint32_t kWidthPixels = 4;
/// The height is given in pixels.
inline constexpr uint32_t kHeightPixels = 8;
/// The width is given in percent (only when kWidthPixels is absent).
inline constexpr uint32_t kWidthPercent = 16;
/// The height is given in percent (only when kHeightPixels is absent).
inline constexpr uint32_t kHeightPercent = 32;
}  // namespace load

/// A surface with the attributes a book gives a picture; the base of background, character and
/// wait-icon pictures. The surface and the mask belong to the picture.
class Picture : public Surface {
  public:
    /// Clears position, source and transparency texts, alignment and mask; alpha 100, effect 0,
    /// no filter. The surface itself is kept.
    void Reset();

    /// Transition effect id.
    int32_t effect = 0;
    /// Translucency in percent, 0..100.
    int32_t alpha = 100;
    /// Colour filter value, script::kNoColour when none.
    uint32_t filter = script::kNoColour;
    /// The file name as the tag gave it (SRC).
    std::string source;
    /// The TRANSPARENT attribute's text as given.
    std::string transparent;
    /// Position on the stage.
    int32_t left = 0;
    int32_t top = 0;
    /// The stage rectangle the picture covers at its position.
    Rect Placed() const { return RectAt(left, top, Width(), Height()); }
    /// Alignment keyword ids, 0 when not given.
    int32_t align = 0;
    int32_t valign = 0;
    /// The flags of the last load (load::k...).
    uint32_t loadFlags = 0;
    /// One alpha byte per pixel, width x height, or empty when the picture has no mask.
    std::vector<uint8_t> mask;
    /// The mask file name.
    std::string maskSource;

    /// Turns an opaque mask picture of this picture's exact size into one opacity byte per
    /// pixel (channels reduced to 5 bits, averaged, times 8), kept in mask with its file name.
    /// False, mask untouched, when the sizes differ or either surface is unloaded.
    bool TakeMask(const Surface& maskPicture, const std::string& maskSourceName);

    /// Appends the picture's bookmark line: line (the tag and its attributes up to here) with
    /// TRANSPARENT and the closing " >", between the SUNGLASS lines of the picture's filter.
    void WriteTagLine(std::string line, std::vector<std::string>& lines) const;
};

}  // namespace talu::stage
