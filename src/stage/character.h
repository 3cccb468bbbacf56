#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stage/picture.h"
#include "stage/rect.h"

namespace talu::stage {

/// A named picture on the stage, in one of the stage's twenty slots. The slot owns it.
class Character : public Picture {
  public:
    /// The ALPHA of the ENTER tag, written back into the ENTER line.
    int32_t enterAlpha = 100;
    /// 1 keeps the character out of compositions until the next presented change.
    int32_t hidden = 0;
    /// 1 means the character leaves at the next presented change.
    int32_t exitPending = 0;
    /// Empty while the slot is free; compared exactly.
    std::string name;

    /// True for a named character that is not about to leave.
    bool IsActive() const { return !name.empty() && exitPending == 0; }
    /// Frees the surface, resets the picture fields, empties the name and clears both flags.
    void Clear();
    /// Clears hidden and exit pending; a character that was exit pending is cleared.
    void SettleFlags();

    /// Draws the character into target (the stage surface) unless hidden or unloaded: clipped
    /// copy with its key or mask blend at alpha 100 (then edge smoothing when smoothEdges),
    /// translucent copy otherwise.
    void Draw(Surface& target, bool smoothEdges) const;

    /// Appends the ENTER line and, once a picture is loaded, the ACT line (inside the filter
    /// lines when the picture was filtered). Nothing for a free slot.
    void WriteTags(std::vector<std::string>& lines) const;
};

/// Softens the outline of a keyed character drawn at (left, top): every stage pixel under a key
/// pixel of source that has a non-key neighbour becomes the average of itself and its four
/// neighbours. Pixels outside the stage are left alone.
void SmoothEdges(const Surface& source, int left, int top, Surface& target);

}  // namespace talu::stage
