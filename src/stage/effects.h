#pragma once

#include <atomic>
#include <functional>

#include "host/clock.h"
#include "stage/effect_steps.h"
#include "stage/rect.h"
#include "stage/screen.h"
#include "stage/surface.h"

// Presenting the stage through a transition effect: the steps of EffectSteps, each followed by
// the effect's pause, waiting between steps while the player is not the active application.
namespace talu::stage {

/// The pause in ms after step of effect when the whole effect is given time ms (0 for none).
int StepPause(int effect, int step, int time);

/// What a presentation needs besides the pictures; the pointed-to objects are the caller's.
struct EffectOptions {
    /// Clock through which every pause and wait sleeps; must not be null.
    host::Clock* clock = nullptr;
    /// The player's application-active flag; null counts as always active. Before each step a
    /// value other than 1 makes the effect sleep 50 ms at a time while the value is 0.
    const std::atomic<int>* applicationActive = nullptr;
    /// Set to 1 while the effect runs and back to 0 at its end, when not null.
    std::atomic<int>* effectRunning = nullptr;
    /// Sleeps each pause instead of clock (the stage lets go of its lock meanwhile); returns
    /// what the clock's sleep returned. Null sleeps on clock.
    std::function<bool(int ms)> pause = nullptr;
};

/// Shows stage on screen at destination (stage pixel (x, y) at (left + x, top + y)) through
/// effect with time ms, on the calling thread. EF_NONE copies plainly. After the last step the
/// destination is copied once more whole, so the screen always ends showing the stage.
/// Nothing happens when the stage is unloaded or options.clock is null.
void PresentWithEffect(const Surface& stage, Screen& screen, const Rect& destination, int effect,
                       int time, const EffectOptions& options);

}  // namespace talu::stage
