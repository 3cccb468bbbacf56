#include "stage/effects.h"

namespace talu::stage {

namespace {

// How long an inactive player sleeps between looks at the active flag.
constexpr int kInactivePollMs = 50;

bool Pause(const EffectOptions& options, int ms) {
    return options.pause ? options.pause(ms) : options.clock->SleepMs(ms);
}

void WaitWhileInactive(const EffectOptions& options) {
    if (options.applicationActive == nullptr || options.applicationActive->load() == 1) {
        return;
    }
    while (options.applicationActive->load() == 0 && Pause(options, kInactivePollMs)) {
    }
}

}  // namespace

int StepPause(int effect, int step, int time) {
    int pause = 0;
    switch (effect) {
        case kEffectNone:
            return 0;
        case kEffectFadeIn:
            pause = time;
            break;
        case kEffectFadeFromLeft:
        case kEffectFadeFromRight:
        case kEffectFadeFromTop:
        case kEffectFadeFromBottom:
            pause = step % 4 == 0 ? time / 7 : 0;
            break;
        case kEffectOverlap:
            pause = time / 2;
            break;
        case kEffectFromLeft:
        case kEffectFromRight:
        case kEffectFromTop:
        case kEffectFromBottom:
            pause = step % 2 == 1 ? time / 8 : 0;
            break;
        case kEffectBlindFromLeft:
        case kEffectBlindFromRight:
        case kEffectBlindFromTop:
        case kEffectBlindFromBottom:
            pause = time / 4;
            break;
        default:
            pause = time / 3;
            break;
    }
    return pause > 0 ? pause : 0;
}

void PresentWithEffect(const Surface& stage, Screen& screen, const Rect& destination, int effect,
                       int time, const EffectOptions& options) {
    if (!stage.IsLoaded() || options.clock == nullptr) {
        return;
    }
    const Rect whole{0, 0, destination.Width(), destination.Height()};
    if (effect == kEffectNone) {
        screen.Present(stage, whole, destination, 0);
        return;
    }
    if (options.effectRunning != nullptr) {
        options.effectRunning->store(1);
    }
    EffectSteps steps(effect, destination);
    // An interrupted clock means the book is closing: the final copy below shows the end at once.
    for (int i = 0; i < steps.Count() && !options.clock->Interrupted(); ++i) {
        WaitWhileInactive(options);
        screen.Draw([&](Surface& buffer) { return steps.Draw(i, stage, buffer); });
        if (const int pause = StepPause(effect, i, time); pause > 0) {
            Pause(options, pause);
        }
    }
    // Sizes that the step patterns do not tile (an odd width, a height not a multiple of four)
    // would otherwise leave a few old pixels on the screen.
    screen.Present(stage, whole, destination, 0);
    if (options.effectRunning != nullptr) {
        options.effectRunning->store(0);
    }
}

}  // namespace talu::stage
