#pragma once

#include <cstdint>
#include <vector>

#include "stage/rect.h"
#include "stage/surface.h"

// The pixel work of a transition effect, one step at a time: which stage pixels each step
// reveals on the screen. The pauses between steps belong to PresentWithEffect.
namespace talu::stage {

/// Effect ids as books name them with EFFECT.
inline constexpr int kEffectNone = 0;
inline constexpr int kEffectNormal = 1;
inline constexpr int kEffectToHeartBack = 4;
inline constexpr int kEffectToHeartChar = 6;
inline constexpr int kEffectFadeIn = 7;
inline constexpr int kEffectFadeFromLeft = 8;
inline constexpr int kEffectFadeFromRight = 9;
inline constexpr int kEffectFadeFromTop = 10;
inline constexpr int kEffectFadeFromBottom = 11;
inline constexpr int kEffectOverlap = 12;
inline constexpr int kEffectOneBack = 13;
inline constexpr int kEffectOneChar = 14;
inline constexpr int kEffectFromLeft = 15;
inline constexpr int kEffectFromRight = 16;
inline constexpr int kEffectFromTop = 17;
inline constexpr int kEffectFromBottom = 18;
inline constexpr int kEffectBlindFromLeft = 19;
inline constexpr int kEffectBlindFromRight = 20;
inline constexpr int kEffectBlindFromTop = 21;
inline constexpr int kEffectBlindFromBottom = 22;

/// Number of steps of effect over a destination rectangle (0 for EF_NONE, which is a plain copy;
/// never negative).
int StepCount(int effect, const Rect& destination);

/// The steps of one presentation: stage pixel (x, y) belongs at destination (left + x, top + y).
/// Holds the old screen picture that EF_OVERLAP blends from, between its steps.
class EffectSteps {
  public:
    /// Prepares effect over destination; ids without a routine of their own interleave columns.
    EffectSteps(int effect, const Rect& destination);

    /// Number of steps (StepCount).
    int Count() const { return count_; }
    /// Draws step (0 <= step < Count) from stage onto screen, touching only pixels inside both
    /// surfaces. Returns the destination rectangle clipped to the screen (empty when nothing can
    /// change).
    Rect Draw(int step, const Surface& stage, Surface& screen);

  private:
    int effect_;
    Rect destination_;
    int count_;
    std::vector<uint16_t> snapshot_;
};

}  // namespace talu::stage
