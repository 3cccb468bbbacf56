#include "stage/stage.h"

#include <algorithm>
#include <cstdint>

#include "stage/effect_steps.h"

namespace talu::stage {

Stage::Hold::Hold(Stage& stage) : screen_(stage.output_.screen) {
    if (screen_ != nullptr) {
        screen_->HoldNotifications();
    }
    lock_ = std::unique_lock(stage.mutex_);
}

Stage::Hold::~Hold() {
    lock_.unlock();
    if (screen_ != nullptr) {
        screen_->ReleaseNotifications();
    }
}

bool Stage::Hold::Pause(host::Clock& clock, int ms) {
    lock_.unlock();
    if (screen_ != nullptr) {
        screen_->ReleaseNotifications();
    }
    const bool slept = clock.SleepMs(ms);
    if (screen_ != nullptr) {
        screen_->HoldNotifications();
    }
    lock_.lock();
    return slept;
}

bool Stage::Create(int width, int height) {
    std::lock_guard lock(mutex_);
    if (!stageSurface_.Create(width, height, format_))
        return false;
    if (!background_.MakeBlack(width, height, format_))
        return false;
    return CreateTextLayerLocked(width, height);
}

void Stage::ClearReading(bool withIcons) {
    std::lock_guard lock(mutex_);
    for (Character& character : characters_) {
        character.Clear();
    }
    windowFrame_.Release();
    windowFrame_.Reset();
    windowBlendCache_.Release();
    flags_ = 0;
    savedFlags_ = 0;
    if (withIcons) {
        pageIcons_.ClearFrames();
        lineIcons_.ClearFrames();
    }
}

bool Stage::CreateTextLayer(int width, int height) {
    std::lock_guard lock(mutex_);
    return CreateTextLayerLocked(width, height);
}

bool Stage::CreateTextLayerLocked(int width, int height) {
    textLayer_.Release();
    if (!textLayer_.Create(width, height, format_))
        return false;
    textLayer_.Fill(kTextLayerKey);
    textLayer_.SetSourceKey(kTextLayerKey);
    return true;
}

bool Stage::ResetBackground(int width, int height) {
    std::lock_guard lock(mutex_);
    return background_.MakeBlack(width, height, format_);
}

std::optional<int> Stage::FindByName(std::string_view name) const {
    for (int i = 0; i < kCharacterSlots; ++i) {
        if (!characters_[i].name.empty() && characters_[i].name == name)
            return i;
    }
    return std::nullopt;
}

std::optional<int> Stage::FindFree() const {
    for (int i = 0; i < kCharacterSlots; ++i) {
        if (characters_[i].name.empty())
            return i;
    }
    return std::nullopt;
}

std::optional<int> Stage::FirstActive() const {
    for (int i = 0; i < kCharacterSlots; ++i) {
        if (characters_[i].IsActive())
            return i;
    }
    return std::nullopt;
}

void Stage::SettleCharacters() {
    for (Character& c : characters_)
        c.SettleFlags();
}

void Stage::Compose(uint32_t flags) {
    std::lock_guard lock(mutex_);
    ComposeLocked(flags);
}

void Stage::ComposeLocked(uint32_t flags) {
    flags_ = flags;
    if (!stageSurface_.IsLoaded())
        return;
    stageSurface_.Fill(0);
    if (background_.IsLoaded()) {
        background_.CopyTo(background_.Bounds(), stageSurface_, background_.Placed(),
                           background_.BlitFlags());
    }
    if ((flags & compose::kNoCharacters) == 0) {
        for (const Character& c : characters_) {
            if (c.IsLoaded())
                c.Draw(stageSurface_, smoothEdges_);
        }
    }
    if ((flags & compose::kNoWindow) == 0 && windowDrawer_) {
        windowDrawer_(*this, stageSurface_, flags);
    }
    if ((flags & compose::kNoText) == 0 && textLayer_.IsLoaded()) {
        textLayer_.CopyTo(textLayer_.Bounds(), stageSurface_, textLayer_.Bounds(),
                          textLayer_.BlitFlags());
    }
}

Rect Stage::VisibleRect() const {
    Rect visible = stageSurface_.Bounds();
    if (output_.screen != nullptr) {
        visible = visible.Intersect(Rect{0, 0, output_.screen->Width(), output_.screen->Height()});
    }
    return visible;
}

void Stage::Present(const std::optional<Rect>& rect, int effect, int time) {
    if (presentListener_)
        presentListener_(PresentCall{rect, effect, time});
    if (output_.screen == nullptr || output_.effects.clock == nullptr)
        return;
    Hold hold(*this);
    if (!stageSurface_.IsLoaded())
        return;
    if (rect.has_value() || effect == kEffectNone) {
        const Rect area = rect.value_or(VisibleRect());
        output_.screen->Present(stageSurface_, area, area, 0);
        return;
    }
    EffectOptions options = output_.effects;
    options.pause = [&hold, &options](int ms) { return hold.Pause(*options.clock, ms); };
    PresentWithEffect(stageSurface_, *output_.screen, VisibleRect(), effect, time, options);
}

void Stage::Shake(int amplitude, int time, int count) {
    Screen* screen = output_.screen;
    host::Clock* clock = output_.effects.clock;
    if (screen == nullptr || clock == nullptr)
        return;
    Hold hold(*this);
    if (!stageSurface_.IsLoaded())
        return;
    const Rect s = VisibleRect();
    const Rect d = s;
    const int a = amplitude;
    const int pause = time / 4;
    const Rect moves[4][2] = {
        {{s.left, s.top, s.right, s.bottom - a}, {d.left, d.top + a, d.right, d.bottom}},
        {{s.left + a, s.top, s.right, s.bottom}, {d.left, d.top, d.right - a, d.bottom}},
        {{s.left, s.top + a, s.right, s.bottom}, {d.left, d.top, d.right, d.bottom - a}},
        {{s.left, s.top, s.right - a, s.bottom}, {d.left + a, d.top, d.right, d.bottom}},
    };
    // An interrupted clock means the book is closing: the plain copy below ends the shake.
    for (int cycle = 0; cycle < count && !clock->Interrupted(); ++cycle) {
        for (const auto& move : moves) {
            screen->Present(stageSurface_, move[0], move[1], 0);
            hold.Pause(*clock, pause);
        }
    }
    screen->Present(stageSurface_, s, d, 0);
}

void Stage::WriteStageTags(std::vector<std::string>& lines) const {
    background_.WriteTags(lines);
    if (windowLineWriter_)
        windowLineWriter_(lines);
    lines.emplace_back();
    for (const Character& c : characters_)
        c.WriteTags(lines);
}

}  // namespace talu::stage
