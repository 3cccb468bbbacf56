#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "stage/background.h"
#include "stage/character.h"
#include "stage/effects.h"
#include "stage/picture.h"
#include "stage/pixel_format.h"
#include "stage/rect.h"
#include "stage/screen.h"
#include "stage/surface.h"
#include "stage/wait_icon.h"

// Everything the reader sees is composed here, back to front: background, twenty character
// slots, the message window's frame and the text layer, into one stage surface that is then
// presented on the screen plainly or through a transition effect.
namespace talu::stage {

/// Number of character slots; slot order is drawing order.
inline constexpr int kCharacterSlots = 20;
/// The colour that marks empty pixels of the text layer.
inline constexpr uint32_t kTextLayerKey = 0xFF00FF;

/// Composition flag bits.
namespace compose {
/// Leave out the text layer.
inline constexpr uint32_t kNoText = 1;
/// Leave out the message window's frame.
inline constexpr uint32_t kNoWindow = 2;
/// Passed to the window drawer: rebuild the frame's blend cache.
inline constexpr uint32_t kRebuildWindow = 4;
/// Leave out the characters.
inline constexpr uint32_t kNoCharacters = 8;
}  // namespace compose

/// Where presentations go; the pointed-to objects belong to the display and outlive the stage.
struct StageOutput {
    /// The front buffer; null presents nothing.
    Screen* screen = nullptr;
    /// Clock and flags every effect and shake sleeps through; a null clock presents nothing.
    EffectOptions effects;
};

/// One presentation as the stage performed it: the rectangle (none for the whole stage), the
/// effect id (0 plain) and the time in ms.
struct PresentCall {
    std::optional<Rect> rect;
    int effect = 0;
    int time = 0;
};

/// The stage's layers and their composition. One per display; owns the stage surface, the
/// background, the character slots, the message window's frame picture with its blend cache,
/// and the text layer.
class Stage {
  public:
    /// Draws the message window into the stage surface during composition (flags as given to
    /// Compose); installed by the message window, which reaches its pictures through the stage.
    /// It runs under the stage's lock, so it must not call the stage's locking members.
    using WindowDrawer = std::function<void(Stage& stage, Surface& target, uint32_t flags)>;
    /// Appends the frame's WINDOW line to a stage snapshot.
    using LineWriter = std::function<void(std::vector<std::string>& lines)>;
    /// Told of every presentation before it is shown (for traces and tests).
    using PresentListener = std::function<void(const PresentCall& call)>;

    explicit Stage(const PixelFormat& format = PixelFormat::Rgb565()) : format_(format) {}

    /// Creates the stage surface (black), the background (black, colour mode) and the text
    /// layer at width x height. False when a surface cannot be created.
    bool Create(int width = kScreenWidth, int height = kScreenHeight);
    /// The pixel layout every stage picture takes.
    const PixelFormat& Format() const { return format_; }
    /// Replaces where presentations go.
    void SetOutput(const StageOutput& output) { output_ = output; }
    /// The current output.
    const StageOutput& Output() const { return output_; }

    /// The composed picture; owned by the stage.
    Surface& StageSurface() { return stageSurface_; }
    const Surface& StageSurface() const { return stageSurface_; }
    /// The back layer; owned by the stage.
    BackgroundPicture& Background() { return background_; }
    const BackgroundPicture& Background() const { return background_; }
    /// Character slot 0..kCharacterSlots-1; owned by the stage.
    Character& CharacterAt(int slot) { return characters_[slot]; }
    const Character& CharacterAt(int slot) const { return characters_[slot]; }
    /// The first slot whose name equals name exactly (exit-pending ones too), or none.
    std::optional<int> FindByName(std::string_view name) const;
    /// The first slot with an empty name, or none.
    std::optional<int> FindFree() const;
    /// The first active slot, or none.
    std::optional<int> FirstActive() const;
    /// Clears hidden and exit pending on every slot (leaving characters are cleared).
    void SettleCharacters();
    /// A reading ends (a bookmark load, another book): the characters, the message window's
    /// frame and its blend cache go and the next composition draws every layer. withIcons
    /// clears the wait icons too, which a bookmark restores from its own lines.
    void ClearReading(bool withIcons);

    /// The message window's frame picture (WINDOW tag); owned by the stage, filled by the window.
    Picture& WindowFrame() { return windowFrame_; }
    const Picture& WindowFrame() const { return windowFrame_; }
    /// The frame's blend cache: the last translucent blend of the frame over the stage.
    Surface& WindowBlendCache() { return windowBlendCache_; }
    /// The click-wait icon of page waits (P); owned by the stage, kept across books.
    WaitIconList& PageIcons() { return pageIcons_; }
    const WaitIconList& PageIcons() const { return pageIcons_; }
    /// The click-wait icon of line waits (BR and W); owned by the stage, kept across books.
    WaitIconList& LineIcons() { return lineIcons_; }
    const WaitIconList& LineIcons() const { return lineIcons_; }
    /// The stage-sized layer message text is drawn on; key kTextLayerKey marks empty pixels.
    Surface& TextLayer() { return textLayer_; }
    const Surface& TextLayer() const { return textLayer_; }
    /// Runs draw(stage surface, text layer) while holding the stage, so another thread never
    /// reads a half-drawn surface; draw must not call back into the stage.
    template <typename Draw>
    auto DrawLocked(Draw&& draw) {
        Hold hold(*this);
        return draw(stageSurface_, textLayer_);
    }
    /// Recreates the text layer at width x height, filled with its key. False when it fails.
    bool CreateTextLayer(int width, int height);
    /// Makes the background width x height black in colour mode (STAGE). False when it fails.
    bool ResetBackground(int width, int height);
    /// Installs the message window's drawer (empty: composition draws no window).
    void SetWindowDrawer(WindowDrawer drawer) { windowDrawer_ = std::move(drawer); }
    /// Installs the writer of the frame's snapshot line (empty: none written).
    void SetWindowLineWriter(LineWriter writer) { windowLineWriter_ = std::move(writer); }
    /// Installs the presentation listener (empty: none).
    void SetPresentListener(PresentListener listener) { presentListener_ = std::move(listener); }

    /// Draws every layer into the stage surface as flags allow and remembers the flags.
    void Compose(uint32_t flags);
    /// Composes with flags, runs read(stage surface) and composes again with the flags before,
    /// all under the stage's lock, so no other thread sees the passing composition.
    template <typename Read>
    auto ReadComposedWith(uint32_t flags, Read&& read) {
        std::lock_guard lock(mutex_);
        const uint32_t remembered = flags_;
        ComposeLocked(flags);
        auto result = read(static_cast<const Surface&>(stageSurface_));
        ComposeLocked(remembered);
        return result;
    }
    /// Composes again with the remembered flags.
    void Recompose() { Compose(flags_); }
    /// The flags of the last composition.
    uint32_t Flags() const { return flags_; }
    /// Copies the remembered flags to the saved copy (CURTAIN opens).
    void SaveFlags() { savedFlags_ = flags_; }
    /// Copies the saved flags back (CURTAIN closes).
    void RestoreFlags() { flags_ = savedFlags_; }
    /// Character edges are smoothed in compositions (the setting m_nUseAntiAlias).
    void SetSmoothEdges(bool on) { smoothEdges_ = on; }

    /// Shows rect of the stage surface (the whole visible stage when none) on the screen
    /// through effect (0 or EF_NONE plain) over time ms. Nothing without a loaded stage surface,
    /// a screen or a clock.
    void Present(const std::optional<Rect>& rect, int effect, int time);
    /// KICK: shakes the stage on the screen by amplitude pixels, count cycles of four moves,
    /// sleeping trunc(time / 4) ms after each move, then one plain copy.
    void Shake(int amplitude, int time, int count);

    /// Appends the background's lines, the frame's line, an empty line and every named
    /// character's lines.
    void WriteStageTags(std::vector<std::string>& lines) const;

  private:
    // Holds the stage's lock and the screen's notifications, and lets go of the lock first: the
    // frontend hears of a change only once the stage is free. Pause lets go of both while it
    // sleeps, so every step of an effect or a shake reaches the frontend as it is shown.
    class Hold {
      public:
        explicit Hold(Stage& stage);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        /// Sleeps ms on clock without the stage; false when the clock is interrupted.
        bool Pause(host::Clock& clock, int ms);

      private:
        Screen* screen_;
        std::unique_lock<std::mutex> lock_;
    };

    Rect VisibleRect() const;
    bool CreateTextLayerLocked(int width, int height);
    void ComposeLocked(uint32_t flags);

    PixelFormat format_;
    StageOutput output_;
    // Guards the stage surface and the text layer between the worker, the wait-icon thread and
    // the interface thread. Nothing called under it (window drawer, screen, effect steps, clock)
    // comes back into the stage, so it need not be recursive. Taken before the screen's lock,
    // never while holding it; the screen's changed callback runs with neither held (Hold).
    mutable std::mutex mutex_;
    Surface stageSurface_;
    BackgroundPicture background_;
    std::array<Character, kCharacterSlots> characters_;
    Picture windowFrame_;
    Surface windowBlendCache_;
    Surface textLayer_;
    WaitIconList pageIcons_{"P"};
    WaitIconList lineIcons_{"BR"};
    uint32_t flags_ = 0;
    uint32_t savedFlags_ = 0;
    bool smoothEdges_ = true;
    WindowDrawer windowDrawer_;
    LineWriter windowLineWriter_;
    PresentListener presentListener_;
};

}  // namespace talu::stage
