#include "stage/stage_controller.h"

#include <algorithm>

#include "host/image/sdl_image_codec.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/numbers.h"
#include "stage/colour_filter.h"
#include "stage/effect_steps.h"
#include "stage/tag_values.h"

namespace talu::stage {
namespace {

constexpr int kKeepValue = -10000;
// A KICK that asks for more cycles than this is an authoring slip; shaking for hours would only
// freeze the book.
constexpr int kMaxShakeCycles = 1000;

const StageSettings kDefaultSettings;

}  // namespace

StageController::StageController(StageServices services) : services_(std::move(services)) {}

const StageSettings& StageController::Settings() const {
    return services_.settings != nullptr ? *services_.settings : kDefaultSettings;
}

bool StageController::CurtainOpen() const {
    return services_.curtainFlag != nullptr ? services_.curtainFlag->load() != 0 : curtainOpen_;
}

void StageController::SetCurtain(bool open) {
    curtainOpen_ = open;
    if (services_.curtainFlag != nullptr)
        services_.curtainFlag->store(open ? 1 : 0);
}

void StageController::Report(int code, std::string_view argument) const {
    if (services_.diagnostics == nullptr)
        return;
    const std::string item = services_.itemText ? services_.itemText() : std::string();
    services_.diagnostics->ReportScriptError(item, code, argument);
}

std::string StageController::FilePath(const script::TagRecord& tag, int id) const {
    if (services_.resolvePath) {
        return services_.resolvePath(tag, id);
    }
    std::string value;
    tag.GetAttribute(id, value);
    return value;
}

bool StageController::Load(Picture& picture, const std::string& path, uint32_t flags, int width,
                           int height) const {
    if (services_.loader != nullptr &&
        services_.loader->LoadPicture(picture, path, flags, width, height)) {
        return true;
    }
    picture.Release();
    return false;
}

bool StageController::StageSizeAllowed(int width, int height) {
    return width >= 1 && height >= 1 && width <= kMaxSurfaceSide && height <= kMaxSurfaceSide &&
           static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= host::kMaxPicturePixels;
}

void StageController::Compose(uint32_t flags) {
    Stage& stage = GetStage();
    stage.SetSmoothEdges(Settings().m_nUseAntiAlias == 1);
    stage.Compose(flags);
}

bool StageController::SetStageSize(int width, int height) {
    const int newWidth = width == kKeepValue || width == 0 ? stageWidth_ : width;
    const int newHeight = height == kKeepValue || height == 0 ? stageHeight_ : height;
    // A size no surface can have would leave the stage without layers; keep the old one.
    if (!StageSizeAllowed(newWidth, newHeight)) {
        return false;
    }
    // Fresh layers at the new size: a stage that shrinks gives its memory back.
    if (!GetStage().ResetBackground(newWidth, newHeight) ||
        !GetStage().CreateTextLayer(newWidth, newHeight)) {
        GetStage().ResetBackground(stageWidth_, stageHeight_);
        GetStage().CreateTextLayer(stageWidth_, stageHeight_);
        return false;
    }
    stageWidth_ = newWidth;
    stageHeight_ = newHeight;
    placementArea_ = Rect{0, 0, newWidth, newHeight};
    return true;
}

void StageController::CloseWindowForChange() {
    if (windowShown != 1)
        return;
    Compose(Flags());
    const StageSettings& s = Settings();
    if (s.m_nFadeEffect != 0) {
        GetStage().Present(std::nullopt, kEffectFadeIn, static_cast<int>(s.m_nFadeWait * 0.6));
    } else {
        GetStage().Present(std::nullopt, kEffectNone, 0);
    }
}

void StageController::FinishChange(int effect, bool effectOn, int time) {
    windowShown = 0;
    if (CurtainOpen())
        return;
    GetStage().SettleCharacters();
    Compose(Flags() | compose::kRebuildWindow);
    if (effectOn) {
        GetStage().Present(std::nullopt, effect, time);
    } else {
        GetStage().Present(std::nullopt, kEffectNone, 0);
    }
}

TagOutcome StageController::StageTag(const script::TagRecord& tag) {
    const int width = ReadInt(tag, script::kw::kWidth).value_or(kKeepValue);
    const int height = ReadInt(tag, script::kw::kHeight).value_or(kKeepValue);
    const int w = width == kKeepValue || width == 0 ? stageWidth_ : width;
    const int h = height == kKeepValue || height == 0 ? stageHeight_ : height;
    if (w >= 1 && h >= 1 && uint64_t(w) * uint64_t(h) > host::kMaxPicturePixels) {
        Report(script::err::kStageTooLarge, std::to_string(w) + "x" + std::to_string(h));
        return TagOutcome{true};
    }
    return TagOutcome{!SetStageSize(width, height)};
}

TagOutcome StageController::SpaceTag(const script::TagRecord& tag) {
    const auto width = ReadInt(tag, script::kw::kWidth);
    if (!width) {
        Report(script::err::kSpaceNoWidth, "");
        return TagOutcome{true};
    }
    const auto height = ReadInt(tag, script::kw::kHeight);
    if (!height) {
        Report(script::err::kSpaceNoHeight, "");
        return TagOutcome{true};
    }
    const int left = ReadInt(tag, script::kw::kLeft).value_or(0);
    const int top = ReadInt(tag, script::kw::kTop).value_or(0);
    placementArea_ =
        Rect{left, top, script::SaturatingAdd(left, *width), script::SaturatingAdd(top, *height)};
    return TagOutcome{};
}

TagOutcome StageController::BackgroundTag(const script::TagRecord& tag) {
    int effect = ReadEffect(tag, -1);
    const SizeRequest size = ReadSize(tag);
    const auto transparent = ReadKeyword(tag, script::kw::kTransparent);
    const uint32_t flags =
        (transparent == script::kw::kAuto ? load::kAutoKey : load::kOpaque) | size.flags;
    const StageSettings& s = Settings();
    CloseWindowForChange();

    Stage& stage = GetStage();
    BackgroundPicture& background = stage.Background();
    if (effect == kEffectToHeartBack) {
        effect = kEffectNormal;
        if (background.IsLoaded())
            background.Fill(0);
        Compose(Flags() | compose::kNoText | compose::kNoCharacters);
        if (!CurtainOpen()) {
            if (s.m_nBackEffect != 0) {
                stage.Present(std::nullopt, kEffectNormal, s.m_nBackWait);
            } else {
                stage.Present(std::nullopt, kEffectNone, 0);
            }
        }
    }

    std::string colourText;
    if (tag.GetAttribute(script::kw::kColor, colourText)) {
        background.colourText = colourText;
        script::Colour colour = 0;
        if (script::ParseColour(colourText, colour)) {
            // Recreating drops the key; a background left unloaded by a failed picture takes
            // the stage's size so the colour is seen at all.
            const int width = background.IsLoaded() ? background.Width() : stageWidth_;
            const int height = background.IsLoaded() ? background.Height() : stageHeight_;
            if (background.Create(width, height, stage.Format())) {
                background.Fill(colour);
                background.colourMode = 1;
            }
        }
    } else {
        background.colourMode = 0;
        const std::string source = FilePath(tag, script::kw::kSrc);
        if (!Load(background, source, flags, size.width, size.height)) {
            Report(script::err::kCannotOpenFile, source);
            return TagOutcome{true};
        }
        std::string text;
        const bool hasText = tag.GetAttribute(script::kw::kTransparent, text);
        ApplyTransparentText(background, hasText ? std::optional(text) : std::nullopt);
    }
    ApplyFilter(background, filter_);
    background.filter = filter_;
    background.effect = effect;
    background.left = ReadInt(tag, script::kw::kLeft).value_or(0);
    background.top = ReadInt(tag, script::kw::kTop).value_or(0);
    FinishChange(effect, s.m_nBackEffect != 0, s.m_nBackWait);
    return TagOutcome{};
}

TagOutcome StageController::KickTag(const script::TagRecord& tag) {
    const int limit = std::max(stageWidth_, stageHeight_);
    const int amplitude = std::clamp(ReadInt(tag, script::kw::kWidth).value_or(40), 0, limit);
    const int time = std::max(ReadInt(tag, script::kw::kTime).value_or(200), 0);
    const int count = std::clamp(ReadInt(tag, script::kw::kLoop).value_or(2), 0, kMaxShakeCycles);
    GetStage().Shake(amplitude, time, count);
    return TagOutcome{};
}

TagOutcome StageController::CurtainTag(const script::TagRecord& tag) {
    Stage& stage = GetStage();
    if (!tag.IsClosing()) {
        if (CurtainOpen()) {
            Report(script::err::kCurtainNested, "");
            return TagOutcome{true};
        }
        stage.SaveFlags();
        SetCurtain(true);
        return TagOutcome{};
    }
    SetCurtain(false);
    const int effect = ReadEffect(tag, -1);
    stage.RestoreFlags();
    stage.SettleCharacters();
    Compose(stage.Flags());
    Compose(windowShown == 0 ? Flags() | compose::kRebuildWindow : 0);
    const int time = ReadInt(tag, script::kw::kWait).value_or(Settings().m_nBackWait);
    stage.Present(std::nullopt, effect, time);
    return TagOutcome{};
}

TagOutcome StageController::SunglassTag(const script::TagRecord& tag) {
    std::string text;
    if (tag.IsClosing() || !tag.GetAttribute(script::kw::kColor, text)) {
        filter_ = script::kNoColour;
        return TagOutcome{};
    }
    script::Colour colour = 0;
    if (script::ParseColour(text, colour)) {
        filter_ = colour;
        return TagOutcome{};
    }
    // A word that names no filter leaves the current one in force.
    if (const auto word = script::FilterWordColour(script::LookupKeyword(text)))
        filter_ = *word;
    return TagOutcome{};
}

void StageController::WriteStageTags(std::vector<std::string>& lines) const {
    services_.stage->WriteStageTags(lines);
}

}  // namespace talu::stage
