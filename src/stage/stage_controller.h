#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/diagnostics.h"
#include "script/tag_record.h"
#include "script/vocabularies.h"
#include "stage/picture_loader.h"
#include "stage/rect.h"
#include "stage/stage.h"
#include "stage/stage_settings.h"

// The gateway through which tag handlers change the stage. Every change follows one sequence:
// close the message window, change, forget the window, settle the characters, compose, present.
namespace talu::stage {

/// What the controller works with; the pointed-to objects are the player's and outlive it.
struct StageServices {
    /// The layers; must not be null.
    Stage* stage = nullptr;
    /// Loads the pictures books name; null fails every load.
    const PictureLoader* loader = nullptr;
    /// The current speeds and switches; null reads the defaults.
    const StageSettings* settings = nullptr;
    /// Where script errors go; may be null.
    script::Diagnostics* diagnostics = nullptr;
    /// The item text shown in error boxes; may be empty.
    std::function<std::string()> itemText;
    /// Click flag 3, set while a CURTAIN is open; null keeps the state inside the controller.
    std::atomic<int>* curtainFlag = nullptr;
    /// The file an attribute of a tag names, its FOLDER applied; null takes the value as it is.
    std::function<std::string(const script::TagRecord&, int)> resolvePath;
};

/// What a handler tells the interpreter: whether the tag failed (a failed stage tag brings up
/// the debug window).
struct TagOutcome {
    bool failed = false;
};

/// Stage state of one Interpreter and the handlers of the stage's tags. Worker thread only.
class StageController {
  public:
    explicit StageController(StageServices services);

    /// The layers.
    Stage& GetStage() { return *services_.stage; }
    /// The settings read now (the defaults when none were given).
    const StageSettings& Settings() const;

    /// The composition flag that hides the text layer while the window is closed (1 or 0).
    uint32_t textShutMask = compose::kNoText;
    /// The composition flag that hides the frame while the window is closed (2 or 0).
    uint32_t frameShutMask = compose::kNoWindow;
    /// 1 while the message window is on screen.
    int windowShown = 0;
    /// textShutMask | frameShutMask: the flags stage changes compose with.
    uint32_t Flags() const { return textShutMask | frameShutMask; }

    /// Stage width set by STAGE (640 at start).
    int StageWidth() const { return stageWidth_; }
    /// Stage height set by STAGE (480 at start).
    int StageHeight() const { return stageHeight_; }
    /// Where characters are aligned (SPACE); the whole stage after every STAGE.
    const Rect& PlacementArea() const { return placementArea_; }
    /// True while a CURTAIN is open.
    bool CurtainOpen() const;
    /// The current colour filter (script::kNoColour for none).
    uint32_t Filter() const { return filter_; }
    /// Sets the current colour filter; pictures already loaded keep theirs.
    void SetFilter(uint32_t filter) { filter_ = filter; }

    /// Sets the stage size (-10000 or 0 keep a side), the placement area, a black background
    /// and a new text layer. False, keeping the old size, for a size a surface or a picture
    /// cannot have or when a surface could not be created.
    bool SetStageSize(int width, int height);
    /// Stage-change step 1: when the window is shown, composes with Flags() and presents the
    /// fade (or plainly when fades are off).
    void CloseWindowForChange();
    /// Stage-change steps 3 and 4: forgets the window and, unless a CURTAIN is open, settles the
    /// characters, composes with Flags() | 4 and presents with effect over time when effectOn,
    /// plainly otherwise.
    void FinishChange(int effect, bool effectOn, int time);

    /// STAGE: WIDTH and HEIGHT; result 8. A size of more pixels than a picture may have
    /// (host::kMaxPicturePixels) is refused with error 26 and the stage kept as it was.
    TagOutcome StageTag(const script::TagRecord& tag);
    /// SPACE: the placement area; errors 14 and 15.
    TagOutcome SpaceTag(const script::TagRecord& tag);
    /// BACKGROUND: colour or picture, effect, position; error 0.
    TagOutcome BackgroundTag(const script::TagRecord& tag);
    /// KICK: shakes the stage.
    TagOutcome KickTag(const script::TagRecord& tag);
    /// CURTAIN and its closing form; error 24 when nested.
    TagOutcome CurtainTag(const script::TagRecord& tag);
    /// SUNGLASS and its closing form: sets or clears the current colour filter.
    TagOutcome SunglassTag(const script::TagRecord& tag);
    /// ENTER: names a character in a free slot; errors 6 to 10.
    TagOutcome EnterTag(const script::TagRecord& tag);
    /// ACT: loads and places a character's picture; errors 0, 11 and 12.
    TagOutcome ActTag(const script::TagRecord& tag);
    /// EXIT: one character or all leave; error 12.
    TagOutcome ExitTag(const script::TagRecord& tag);

    /// ICON: the opening tag adds a frame from source (SRC resolved against FOLDER) to the
    /// MODE's list, error 0 when it cannot be loaded; the closing tag clears that list. Returns
    /// the icons-enabled value the tag sets: on for an opening tag, off for a closing tag of
    /// another MODE, none otherwise.
    std::optional<bool> IconTag(const script::TagRecord& tag, const std::string& source);
    /// SNAP: saves the stage, or NAME's picture, to a file inside bookFolder's tree; error 0
    /// for a path outside it, 12 for a missing character. The inside path written, if any.
    std::optional<std::string> SnapTag(const script::TagRecord& tag, std::string_view bookFolder,
                                       std::span<const std::string> bookFiles);

    /// Appends the stage's snapshot lines (background, frame, characters).
    void WriteStageTags(std::vector<std::string>& lines) const;

  private:
    static bool StageSizeAllowed(int width, int height);
    void Report(int code, std::string_view argument) const;
    /// The file attribute id of tag names, as every file attribute is resolved.
    std::string FilePath(const script::TagRecord& tag, int id) const;
    bool Load(Picture& picture, const std::string& path, uint32_t flags, int width,
              int height) const;
    void SetCurtain(bool open);
    void Compose(uint32_t flags);
    /// ACT's ALPHA file: the character's mask at its size (none for an empty name).
    void LoadMask(Character& character, const std::string& maskName);

    StageServices services_;
    int stageWidth_ = kScreenWidth;
    int stageHeight_ = kScreenHeight;
    Rect placementArea_{0, 0, kScreenWidth, kScreenHeight};
    uint32_t filter_ = script::kNoColour;
    bool curtainOpen_ = false;
};

}  // namespace talu::stage
