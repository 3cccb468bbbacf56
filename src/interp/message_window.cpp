#include "interp/message_window.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "host/encoding.h"
#include "interp/font_tag.h"
#include "interp/text_placement.h"
#include "interp/word_lookahead.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/numbers.h"
#include "script/sjis_text.h"
#include "script/vocabularies.h"
#include "stage/effect_steps.h"
#include "stage/tag_values.h"

namespace talu::interp {
namespace {

constexpr uint32_t kComposeNoText = stage::compose::kNoText;
constexpr uint32_t kComposeNoWindow = stage::compose::kNoWindow;
constexpr uint32_t kComposeRebuild = stage::compose::kRebuildWindow;

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int FadeTime(const stage::StageSettings& settings) {
    return static_cast<int>(settings.m_nFadeWait * 0.6);
}

}  // namespace

MessageWindow::MessageWindow(MessageWindowServices services) : services_(std::move(services)) {
    MessageDisplay* display = services_.display;
    stage::StageController* controller = services_.controller;
    GetStage().SetWindowDrawer(
        [display, controller](stage::Stage& stage, stage::Surface& target, uint32_t flags) {
            const FrameLayers layers{stage.WindowFrame(), stage.WindowBlendCache()};
            DrawWindowFrame(target, layers, display->frame, controller->Settings(), flags);
        });
    GetStage().SetWindowLineWriter([display, controller](std::vector<std::string>& lines) {
        if (auto line = WindowLine(controller->GetStage().WindowFrame(), display->frame)) {
            lines.push_back(std::move(*line));
        }
    });
}

MessageWindow::~MessageWindow() {
    GetStage().SetWindowDrawer({});
    GetStage().SetWindowLineWriter({});
}

void MessageWindow::ScreenTag(const script::TagRecord& tag) {
    const int left = tag.AttributeInt(script::kw::kLeft, 0);
    const int top = tag.AttributeInt(script::kw::kTop, 0);
    int width = tag.AttributeInt(script::kw::kWidth, 0);
    int height = tag.AttributeInt(script::kw::kHeight, 0);
    width = width == 0 ? kNotGiven : width;
    height = height == 0 ? kNotGiven : height;
    TextLayout& layout = Layout();
    layout.SetWindow(left, top, width, height);
    const auto shut = tag.FindAttribute(script::kw::kShut);
    if (shut && script::LookupKeyword(*shut) == script::kw::kNone) {
        layout.shutMode = script::kw::kNone;
        services_.controller->textShutMask = 0;
    } else {
        layout.shutMode = script::kw::kAuto;
        services_.controller->textShutMask = kComposeNoText;
    }
    services_.linkSet->SetWindow(left, top, width, height);
}

void MessageWindow::FontTag(const script::TagRecord& tag) {
    ApplyFontTag(tag, FontTagTargets{Layout(), services_.linkSet, services_.display->fonts,
                                     baseFontTaken_, GetStage().Format()});
}

void MessageWindow::WindowTag(const script::TagRecord& tag) {
    services_.display->frame.shown = tag.IsClosing() ? 0 : 1;
    if (tag.IsClosing()) {
        ClearFrame();
        return;
    }
    const auto left = tag.FindAttribute(script::kw::kLeft);
    const auto top = tag.FindAttribute(script::kw::kTop);
    if (!left || !top) {
        ClearFrame();
        services_.controller->windowShown = 0;
        return;
    }
    LoadFrame(tag, script::ParseSignedDigits(*left), script::ParseSignedDigits(*top));
}

void MessageWindow::ClearFrame() {
    stage::Picture& frame = GetStage().WindowFrame();
    frame.Release();
    frame.mask.clear();
    frame.maskSource.clear();
    frame.alpha = 0;
    frame.left = 0;
    frame.top = 0;
    GetStage().WindowBlendCache().Release();
}

bool MessageWindow::LoadFrame(const script::TagRecord& tag, int left, int top) {
    int alpha = 100;
    std::string maskPath;
    if (const auto alphaText = tag.FindAttribute(script::kw::kAlpha);
        alphaText && !alphaText->empty()) {
        if (AllDigits(*alphaText)) {
            alpha = script::ParseDigits(*alphaText);
        } else {
            maskPath = Resolve(tag, script::kw::kAlpha);
        }
    }
    const std::string source = Resolve(tag, script::kw::kSrc);
    const auto transparent = tag.FindAttribute(script::kw::kTransparent);
    uint32_t flags = stage::load::kOpaque;
    if (maskPath.empty() &&
        (!transparent || script::LookupKeyword(*transparent) == script::kw::kAuto)) {
        flags = stage::load::kAutoKey;
    }
    const stage::SizeRequest size = stage::ReadSize(tag);
    flags |= size.flags;

    // Loaded aside, so that a picture that cannot be read leaves the old frame in place.
    stage::Picture picture;
    if (services_.loader == nullptr ||
        !services_.loader->LoadPicture(picture, source, flags, size.width, size.height)) {
        Report(script::err::kCannotOpenFile, source);
        return false;
    }
    if (transparent) {
        stage::ApplyTransparentText(picture, std::string(*transparent));
    }
    picture.left = left;
    picture.top = top;
    picture.alpha = alpha;
    const auto shut = tag.FindAttribute(script::kw::kShut);
    const bool shutNone = shut && script::LookupKeyword(*shut) == script::kw::kNone;
    services_.display->frame.shutMode = shutNone ? script::kw::kNone : script::kw::kAuto;
    services_.controller->frameShutMask = shutNone ? 0 : kComposeNoWindow;
    if (!maskPath.empty()) {
        stage::Picture maskPicture;
        if (services_.loader->LoadPicture(maskPicture, maskPath, stage::load::kOpaque, 0, 0)) {
            picture.TakeMask(maskPicture, maskPath);
        } else {
            Report(script::err::kCannotOpenFile, maskPath);
        }
    }
    GetStage().WindowFrame() = std::move(picture);
    GetStage().WindowBlendCache().Release();  // it blended the old picture
    services_.controller->windowShown = 0;
    return true;
}

void MessageWindow::StyleTag(int tagId, const script::TagRecord& tag) {
    const bool on = !tag.IsClosing();
    Layout().SetStyle(tagId, on);
    services_.linkSet->SetStyle(tagId, on);
    Layout().RecreateFont();
}

void MessageWindow::IndentTag(const script::TagRecord& tag) {
    if (tag.IsClosing()) {
        Layout().CloseIndent();
    } else {
        Layout().OpenIndent();
    }
}

void MessageWindow::MoveSaved(const script::TagRecord& tag) {
    const auto mode = tag.FindAttribute(script::kw::kMode);
    if (!mode) {
        return;
    }
    const int word = script::LookupKeyword(*mode);
    if (word == script::kw::kSave) {
        Layout().SavePosition();
    } else if (word == script::kw::kLoad) {
        Layout().LoadPosition();
    }
}

void MessageWindow::PositionTag(const script::TagRecord& tag) {
    MoveSaved(tag);
    TextLayout& layout = Layout();
    stage::Rect area = layout.window;
    const auto name = tag.FindAttribute(script::kw::kName);
    if (name && script::LookupKeyword(*name) == script::kw::kStage) {
        area = stage::Rect{0, 0, services_.controller->StageWidth(),
                           services_.controller->StageHeight()};
    }
    const int x =
        PositionValue(tag.FindAttribute(script::kw::kLeft), area.left, area.right, layout.penX);
    const int y =
        PositionValue(tag.FindAttribute(script::kw::kTop), area.top, area.bottom, layout.penY);
    layout.MovePen(x, y);
}

void MessageWindow::ClipTag(const script::TagRecord& tag) {
    MoveSaved(tag);
}

void MessageWindow::OpenWindow() {
    stage::StageController& controller = *services_.controller;
    if (controller.windowShown != 0) {
        return;
    }
    stage::Stage& stage = GetStage();
    stage.Compose(controller.textShutMask | kComposeRebuild);
    const stage::StageSettings& settings = controller.Settings();
    if (settings.m_nFadeEffect != 0) {
        stage.Present(std::nullopt, stage::kEffectFadeIn, FadeTime(settings));
    } else {
        stage.Present(std::nullopt, 0, 0);
    }
    stage.Compose(0);
    stage.Present(std::nullopt, 0, 0);
    controller.windowShown = 1;
}

void MessageWindow::NewPage() {
    stage::StageController& controller = *services_.controller;
    stage::Stage& stage = GetStage();
    if (controller.windowShown == 0) {
        stage.Compose(kComposeNoText | kComposeRebuild);
        controller.windowShown = 1;
    } else {
        stage.Compose(kComposeNoText);
    }
    stage.Present(std::nullopt, 0, 0);
    TextLayout& layout = Layout();
    layout.penX = layout.LineStart();
    layout.penY = layout.window.top;
    stage.DrawLocked([](stage::Surface&, stage::Surface& textLayer) { textLayer.Fill(kTextKey); });
    pageText_.clear();
}

bool MessageWindow::LineBreak() {
    if (!Layout().LineBreak()) {
        return false;
    }
    pageText_ += '\n';
    return true;
}

bool MessageWindow::TypeText(std::string_view text, std::string& remainder) {
    OpenWindow();
    // The caller may hand its pending text in as both input and remainder.
    const std::string input(text);
    stage::Stage& stage = GetStage();
    TextLayout& layout = Layout();
    const bool atPageStart = layout.penX == layout.LineStart() && layout.penY == layout.window.top;
    std::vector<stage::Rect> rectangles;
    const WordWrap wrap = WrapFor(input);
    bool fitted = stage.DrawLocked([&](stage::Surface& composed, stage::Surface& textLayer) {
        return PlaceRun(layout, TypingTargets{textLayer, composed}, input, remainder, rectangles,
                        &wrap);
    });
    // What did not fit is typed again on the next page, so only the part placed here counts.
    pageText_.append(input, 0, input.size() - std::min(input.size(), remainder.size()));
    if (!fitted && rectangles.empty() && atPageStart) {
        // Not even an empty page takes this character (a window smaller than one cell): drop
        // it, or every new page would hand the same text back and the book would never go on.
        // (A space the run ended with may have been dropped already.)
        remainder.erase(0, remainder.empty() ? 0 : host::CharLength(remainder, 0));
        fitted = remainder.empty();
    }
    if (services_.controller->CurtainOpen()) {
        return fitted;
    }
    if (services_.click != nullptr) {
        services_.click->store(0);
    }
    RevealOptions options;
    options.clock = services_.clock;
    options.click = services_.click;
    options.present = [&stage](const stage::Rect& rect) { stage.Present(rect, 0, 0); };
    const TextSettings settings =
        services_.textSettings != nullptr ? *services_.textSettings : TextSettings{};
    RevealRun(rectangles, settings, options);
    return fitted;
}

WordWrap MessageWindow::WrapFor(std::string_view text) {
    WordWrap wrap;
    const WordSources& words = services_.words;
    wrap.on = words.setting != nullptr && *words.setting != 0;
    if (wrap.on && words.book != nullptr && words.variables != nullptr && EndsInWord(text)) {
        wrap.continuation = MeasureContinuation(
            LookaheadSources{*words.book, *words.variables, Layout(), services_.display->fonts,
                             baseFontTaken_, GetStage().Format()});
    }
    return wrap;
}

void MessageWindow::HideWindow(bool on) {
    stage::Stage& stage = GetStage();
    if (on) {
        flagsBeforeHide_ = stage.Flags();
        stage.Compose(kComposeNoText | kComposeNoWindow);
    } else {
        stage.Compose(flagsBeforeHide_);
    }
    stage.Present(std::nullopt, 0, 0);  // the reader sees the window go and come back
}

void MessageWindow::WriteState(std::vector<std::string>& lines) const {
    services_.display->layout.WriteState(lines);
}

std::string MessageWindow::Resolve(const script::TagRecord& tag, int id) const {
    if (services_.resolvePath) {
        return services_.resolvePath(tag, id);
    }
    std::string value;
    tag.GetAttribute(id, value);
    return value;
}

void MessageWindow::Report(int code, std::string_view argument) const {
    if (services_.diagnostics != nullptr) {
        services_.diagnostics->ReportScriptError(
            services_.itemText ? services_.itemText() : std::string(), code, argument);
    }
}

}  // namespace talu::interp
