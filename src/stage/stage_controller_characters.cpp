// The ENTER, ACT and EXIT handlers of the stage controller.
#include <algorithm>
#include <cctype>

#include "script/keywords.h"
#include "script/messages.h"
#include "script/numbers.h"
#include "stage/character_placement.h"
#include "stage/colour_filter.h"
#include "stage/effect_steps.h"
#include "stage/stage_controller.h"
#include "stage/tag_values.h"

namespace talu::stage {
namespace {

bool IsAlign(int id) {
    return id == script::kw::kRight || id == script::kw::kLeft || id == script::kw::kCenter ||
           id == script::kw::kLeftSide || id == script::kw::kRightSide;
}

bool IsValign(int id) {
    return id == script::kw::kTop || id == script::kw::kMiddle || id == script::kw::kBottom ||
           id == script::kw::kFloor || id == script::kw::kRoof;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

}  // namespace

TagOutcome StageController::EnterTag(const script::TagRecord& tag) {
    std::string name;
    // An empty name would make the slot look free, so it counts as no name.
    if (!tag.GetAttribute(script::kw::kName, name) || name.empty()) {
        Report(script::err::kEnterNoName, "");
        return TagOutcome{true};
    }
    const int align = ReadKeyword(tag, script::kw::kAlign).value_or(script::kw::kCenter);
    if (!IsAlign(align)) {
        Report(script::err::kEnterBadAlign, "");
        return TagOutcome{true};
    }
    const int valign = ReadKeyword(tag, script::kw::kValign).value_or(script::kw::kFloor);
    if (!IsValign(valign))
        Report(script::err::kEnterBadValign, "");
    const int effect = ReadEffect(tag, kEffectNormal);

    Stage& stage = GetStage();
    if (stage.FindByName(name)) {
        Report(script::err::kAlreadyEntered, name);
        return TagOutcome{true};
    }
    const auto slot = stage.FindFree();
    if (!slot) {
        Report(script::err::kStageFull, std::to_string(kCharacterSlots));
        return TagOutcome{true};
    }
    Character& character = stage.CharacterAt(*slot);
    character.Clear();
    character.enterAlpha = ReadInt(tag, script::kw::kAlpha).value_or(100);
    character.align = align;
    character.valign = valign;
    character.name = name;
    character.effect = effect;
    windowShown = 0;
    return TagOutcome{};
}

void StageController::LoadMask(Character& character, const std::string& maskName) {
    character.maskSource.clear();
    if (maskName.empty()) {
        return;
    }
    Picture maskPicture;
    const uint32_t maskFlags = load::kOpaque | load::kWidthPixels | load::kHeightPixels;
    if (Load(maskPicture, maskName, maskFlags, character.Width(), character.Height())) {
        character.TakeMask(maskPicture, maskName);
    } else {
        Report(script::err::kCannotOpenFile, maskName);
    }
}

TagOutcome StageController::ActTag(const script::TagRecord& tag) {
    std::string name;
    if (!tag.GetAttribute(script::kw::kName, name) || name.empty()) {
        Report(script::err::kActNoName, "");
        return TagOutcome{true};
    }
    std::string transparentText;
    const bool hasTransparent = tag.GetAttribute(script::kw::kTransparent, transparentText);
    const bool autoKey =
        !hasTransparent || script::LookupKeyword(transparentText) == script::kw::kAuto;
    const SizeRequest size = ReadSize(tag);
    uint32_t flags = (autoKey ? load::kAutoKey : load::kOpaque) | size.flags;
    const bool silent = ReadPassMode(tag);
    const auto givenLeft = ReadInt(tag, script::kw::kLeft);
    const auto givenTop = ReadInt(tag, script::kw::kTop);

    int alpha = 100;
    std::string maskName;
    if (const auto alphaText = tag.FindAttribute(script::kw::kAlpha)) {
        if (AllDigits(*alphaText)) {
            alpha = ReadInt(tag, script::kw::kAlpha).value_or(100);
        } else {
            maskName = FilePath(tag, script::kw::kAlpha);
            flags &= ~load::kAutoKey;
        }
    }

    Stage& stage = GetStage();
    const auto slot = stage.FindByName(name);
    if (!slot) {
        Report(script::err::kNotEntered, name);
        return TagOutcome{true};
    }
    Character& character = stage.CharacterAt(*slot);
    const int effect = CharacterEffect(ReadEffect(tag, character.effect));
    if (!silent) {
        CloseWindowForChange();
    } else {
        character.hidden = 1;
    }

    const std::string source = FilePath(tag, script::kw::kSrc);
    if (!Load(character, source, flags, size.width, size.height)) {
        Report(script::err::kCannotOpenFile, source);
        return TagOutcome{true};
    }
    ApplyTransparentText(character, hasTransparent ? std::optional(transparentText) : std::nullopt);
    LoadMask(character, maskName);
    ApplyFilter(character, filter_);
    character.filter = filter_;

    Rect area = placementArea_;
    std::string putName;
    if (tag.GetAttribute(script::kw::kPut, putName)) {
        const auto putSlot = stage.FindByName(putName);
        if (!putSlot) {
            Report(script::err::kNotEntered, putName);
            return TagOutcome{true};
        }
        area = stage.CharacterAt(*putSlot).Placed();
    }
    const Placement placed =
        Place(area, character.Width(), character.Height(), character.align, character.valign);
    character.left = givenLeft ? script::SaturatingAdd(*givenLeft, area.left) : placed.left;
    character.top = givenTop ? script::SaturatingAdd(*givenTop, area.top) : placed.top;
    character.alpha = alpha;

    if (!silent) {
        const StageSettings& s = Settings();
        FinishChange(effect, s.m_nCharEffect != 0, s.m_nCharWait);
    }
    return TagOutcome{};
}

TagOutcome StageController::ExitTag(const script::TagRecord& tag) {
    std::string name = "all";
    tag.GetAttribute(script::kw::kName, name);
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool silent = ReadPassMode(tag);
    CloseWindowForChange();

    Stage& stage = GetStage();
    std::optional<int> lastEffect;
    auto leave = [&](Character& character) {
        if (silent) {
            character.exitPending = 1;
        } else {
            lastEffect = character.effect;
            character.Clear();
        }
    };
    if (lower == "all") {
        while (const auto slot = stage.FirstActive())
            leave(stage.CharacterAt(*slot));
    } else {
        const auto slot = stage.FindByName(name);
        if (!slot) {
            Report(script::err::kNotEntered, name);
            return TagOutcome{true};
        }
        leave(stage.CharacterAt(*slot));
    }
    if (silent)
        return TagOutcome{};
    const int effect = CharacterEffect(ReadEffect(tag, lastEffect.value_or(kEffectNormal)));
    const StageSettings& s = Settings();
    FinishChange(effect, s.m_nCharEffect != 0, s.m_nCharWait);
    return TagOutcome{};
}

}  // namespace talu::stage
