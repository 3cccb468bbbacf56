#include "interp/interpreter.h"

#include <algorithm>
#include <iterator>

#include "interp/state_snapshot.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/numbers.h"
#include "script/sjis_text.h"
#include "script/variable_expansion.h"
#include "stage/plugin_tag.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;

constexpr int kStyleTags[] = {kw::kB, kw::kI, kw::kU, kw::kS, kw::kShadow};

bool IsStyleTag(int id) {
    return std::ranges::find(kStyleTags, id) != std::end(kStyleTags);
}

stage::PictureServices PictureServicesOf(const InterpreterServices& services) {
    stage::PictureServices pictures;
    pictures.plugins = services.plugins;
    pictures.extensions = services.extensions;
    pictures.diagnostics = services.diagnostics;
    pictures.format = services.stage->Format();
    return pictures;
}

}  // namespace

Interpreter::Interpreter(InterpreterServices services)
    : services_(std::move(services)),
      archives_(services_.plugins != nullptr
                    ? std::optional<stage::PluginArchiveSource>(std::in_place, *services_.plugins)
                    : std::nullopt),
      book_(script::BookServices{services_.diagnostics, services_.debugFeed,
                                 archives_ ? &*archives_ : nullptr, services_.programFolder}),
      variables_(book_, services_.diagnostics, *services_.clock),
      loader_(PictureServicesOf(services_)),
      controller_(stage::StageServices{services_.stage, &loader_, &settings_.stage,
                                       services_.diagnostics, [this] { return ItemText(); },
                                       &(*services_.clicks)[3],
                                       [this](const script::TagRecord& record, int id) {
                                           return book_.ResolvePath(record, id);
                                       }}) {
    loader_.Services().itemText = [this] { return ItemText(); };
    book_.SetVariableTable(&variables_.Variables());

    MessageWindowServices window;
    window.display = services_.display;
    window.linkSet = &links_.Layout();
    window.controller = &controller_;
    window.loader = &loader_;
    window.diagnostics = services_.diagnostics;
    window.itemText = [this] { return ItemText(); };
    window.resolvePath = [this](const script::TagRecord& record, int id) {
        return book_.ResolvePath(record, id);
    };
    window.textSettings = &settings_.text;
    window.clock = services_.clock;
    window.click = &(*services_.clicks)[1];
    window.words = WordSources{&settings_.wrapAtSpaces, &book_, &variables_.Variables()};
    window_ = std::make_unique<MessageWindow>(std::move(window));
    controller_.SetStageSize(services_.startWidth, services_.startHeight);
}

bool Interpreter::Open(std::string_view insidePath) {
    if (!book_.OpenPath(insidePath)) {
        return false;
    }
    loader_.Services().bookFolder = book_.Folder();
    services_.display->fonts = FontStack();
    variables_.LoadMemos(book_.Path(), services_.bookmarkSlot);
    return true;
}

void Interpreter::PrepareBookmarked(std::string_view bookPath, int slot) {
    loader_.Services().bookFolder = std::string(script::FolderOf(bookPath));
    // The reading starts afresh: no text, pen and fonts of the page the reader left.
    *services_.display = MessageDisplay{};
    window_->NewPage();
    variables_.LoadMemos(bookPath, slot);
}

bool Interpreter::ReopenAt(std::string_view file, int index) {
    if (!book_.RestorePosition(file, index)) {
        return false;
    }
    loader_.Services().bookFolder = book_.Folder();
    return true;
}

bool Interpreter::CurtainOpen() const {
    return (*services_.clicks)[3].load() != 0;
}

void Interpreter::AddWaitMark(script::TagRecord& record) {
    // Where the next character would go: the pen when a character of the font's height still
    // fits on the line, else the start of the next line (or of this one at the bottom).
    const TextLayout& layout = window_->Layout();
    int x = layout.penX;
    int y = layout.penY;
    if (static_cast<long long>(x) + layout.height > layout.window.right) {
        x = layout.window.left;
        if (static_cast<long long>(y) + layout.skip < layout.window.bottom) {
            y += layout.skip;
        }
    }
    record.AddAttribute(kw::kLeft, std::to_string(x));
    record.AddAttribute(kw::kTop, std::to_string(y));
}

int Interpreter::Step(script::TagRecord& record) {
    // Relative picture paths follow the book file being read, also after a jump to another
    // folder.
    if (loader_.Services().bookFolder != book_.Folder()) {
        loader_.Services().bookFolder = book_.Folder();
    }
    if (services_.readSettings) {
        services_.readSettings(settings_);
        links_.WrapAtSpaces(settings_.wrapAtSpaces != 0);
    }
    if (formBuilding_) {
        settings_.text.m_nTextEffect = 0;
    }
    if (pageBreak_) {
        pageBreak_ = false;
        NewPage();
        return step::kGoOn;
    }
    if (!pendingText_.empty()) {
        std::string text = pendingText_;
        if (services_.onTypeText) {
            services_.onTypeText(text);
        }
        if (window_->TypeText(text, pendingText_)) {
            pendingText_.clear();
            return step::kGoOn;
        }
        pageBreak_ = true;
        record.SetCommand(kw::kP);
        AddWaitMark(record);
        return step::kPageWait;
    }
    if (!book_.FetchTag(record)) {
        return step::kBookEnd;
    }
    int id = 0;
    record.GetCommand(id);
    script::ExpandVariables(record, variables_.Variables());
    return ExecuteTag(id, record);
}

int Interpreter::TypeRun(std::string_view text, script::TagRecord& record) {
    if (services_.onTypeText) {
        services_.onTypeText(text);
    }
    std::string rest;
    if (window_->TypeText(text, rest)) {
        return step::kGoOn;
    }
    pendingText_ = std::move(rest);
    pageBreak_ = true;
    AddWaitMark(record);
    return step::kPageWait;
}

int Interpreter::StageTag(const stage::TagOutcome& outcome) {
    if (outcome.failed && services_.onStageFailure) {
        services_.onStageFailure();
    }
    return step::kGoOn;
}

int Interpreter::WaitTag(script::TagRecord& record) {
    if (auto time = record.FindAttribute(kw::kTime)) {
        const int ms = script::ParseDigits(*time);
        if (!(services_.fastForward && services_.fastForward())) {
            services_.clock->SleepMs(ms);  // a click does not shorten it
        }
        return step::kGoOn;
    }
    AddWaitMark(record);
    return CurtainOpen() ? step::kGoOn : step::kClickWait;
}

int Interpreter::BreakTag(script::TagRecord& record) {
    AddWaitMark(record);
    if (window_->LineBreak()) {
        return CurtainOpen() ? step::kGoOn : step::kLineWait;
    }
    pageBreak_ = true;
    return CurtainOpen() ? step::kGoOn : step::kPageWait;
}

int Interpreter::PageTag(script::TagRecord& record) {
    if (services_.onSavePoint) {
        services_.onSavePoint();
    }
    AddWaitMark(record);
    pageBreak_ = true;
    return CurtainOpen() ? step::kGoOn : step::kPageWait;
}

int Interpreter::LinkTag(script::TagRecord& record) {
    if (record.FindAttribute(kw::kName)) {
        return step::kGoOn;  // an anchor
    }
    TextLayout& layout = window_->Layout();
    if (!record.AttributeText(kw::kAlt).empty()) {
        if (layout.penX != layout.window.left) {
            layout.LineBreak();
        }
        record.AddAttribute(kw::kLeft, std::to_string(layout.penX));
        record.AddAttribute(kw::kTop, std::to_string(layout.penY));
    }
    std::string rest;
    window_->TypeText("", rest);  // opens the window when it is closed
    return step::kLinks;
}

int Interpreter::BookmarkTag(const script::TagRecord& record) {
    const bool hasAnswer = record.FindAttribute(kw::kAnswer).has_value();
    const bool hasMode = record.FindAttribute(kw::kMode).has_value();
    const bool hasAlt = record.FindAttribute(kw::kAlt).has_value();
    if (hasAnswer) {
        variables_.SetByAnswer(record, variables_.Bookmarks());
    }
    int result = step::kGoOn;
    bool topPage = false;
    if (hasMode) {
        const int mode = script::LookupKeyword(record.AttributeText(kw::kMode));
        if (mode == kw::kManual || mode == kw::kSemiAuto || mode == kw::kAuto) {
            bookmarkMode_ = mode;
            result = mode == kw::kManual ? step::kGoOn : step::kAutoBookmark;
        }
        topPage = mode == kw::kTopPage;
    }
    if (hasAlt) {
        bookmarkComment_ = record.AttributeText(kw::kAlt);
    }
    if (topPage) {
        if (services_.onTopPage) {
            services_.onTopPage();
        }
    } else if (!hasAnswer && !hasMode && !hasAlt && services_.onSavePoint) {
        services_.onSavePoint();
    }
    return result;
}

void Interpreter::WriteReaderState(std::vector<std::string>& lines) const {
    services_.stage->LineIcons().WriteIconTags(lines);
    services_.stage->PageIcons().WriteIconTags(lines);
    if (!cursorFile_.empty()) {
        lines.push_back("<CURSOR SRC=\"" + cursorFile_ + "\">");
    }
    if (!title_.empty()) {
        lines.push_back("<TITLE ALT=\"" + title_ + "\">");
    }
}

void Interpreter::WriteStateLines(std::vector<std::string>& lines) const {
    WritePluginTags(registeredPlugins_, lines);
    WriteReaderState(lines);
    SnapshotSources sources;
    sources.controller = &controller_;
    sources.windowLines = [this](std::vector<std::string>& out) { window_->WriteState(out); };
    WriteSnapshot(sources, lines);
}

void Interpreter::CursorTag(const script::TagRecord& record) {
    const std::string path = book_.ResolvePath(record, kw::kSrc);
    if (services_.loadCursor && services_.loadCursor(path)) {
        cursorFile_ = path;
    }
}

void Interpreter::Choose(const script::TagRecord& chosen) {
    variables_.TakeLink(chosen);
}

void Interpreter::OpenForm() {
    form_.emplace();
    if (!formBuilding_) {
        savedTextEffect_ = settings_.text.m_nTextEffect;
    }
    formBuilding_ = true;
    settings_.text.m_nTextEffect = 0;
}

void Interpreter::EndFormBuilding() {
    if (formBuilding_) {
        formBuilding_ = false;
        settings_.text.m_nTextEffect = savedTextEffect_;
    }
}

void Interpreter::AddInput(const script::TagRecord& record) {
    if (!form_) {
        if (services_.diagnostics != nullptr) {
            services_.diagnostics->ReportScriptError(ItemText(), script::err::kInputOutsideForm,
                                                     "");
        }
        return;
    }
    TextLayout& layout = window_->Layout();
    const PenPoint pen{layout.penX, layout.penY};
    FormControl control = ControlFromInput(record, pen, layout.height);
    control.font = FontOf(layout);
    const PenPoint next = PenAfterControl(form_->Add(std::move(control)), pen, layout.height);
    layout.MovePen(next.x, next.y);
}

void Interpreter::Redisplay() {
    if (services_.readSettings) {
        services_.readSettings(settings_);
    }
    stage::Stage& stage = Controller().GetStage();
    stage.Compose(stage.Flags());
    stage.Present(std::nullopt, 0, 0);
}

void Interpreter::ShowForm() {
    EndFormBuilding();
    if (form_) {
        form_->Show(variables_.Variables());
    }
}

int Interpreter::FormCommand(int id) {
    return form_ ? form_->Command(id) : 0;
}

void Interpreter::SubmitForm() {
    if (form_) {
        form_->Submit(variables_.Variables());
    }
}

void Interpreter::CloseForm() {
    form_.reset();
    EndFormBuilding();
}

void Interpreter::PluginTag(const script::TagRecord& record) {
    const std::string itemText = ItemText();
    stage::BindExtension(record, stage::PluginTagContext{*services_.extensions, *services_.plugins,
                                                         services_.diagnostics, itemText});
    auto src = record.FindAttribute(kw::kSrc);
    auto name = record.FindAttribute(kw::kName);
    if (src && name) {
        registeredPlugins_.push_back(script::ToUpperAscii(*src) + '\t' +
                                     script::ToUpperAscii(*name));
    }
}

int Interpreter::ExecuteTag(int id, script::TagRecord& record) {
    const bool closing = record.IsClosing();
    const bool graphics = settings_.useGpx != 0;
    if (IsStyleTag(id)) {
        window_->StyleTag(id, record);
        return step::kGoOn;
    }
    switch (id) {
        case kw::kText:
            return TypeRun(record.AttributeText(kw::kSrc), record);
        case kw::kBackground:
            return graphics ? StageTag(controller_.BackgroundTag(record)) : step::kGoOn;
        case kw::kAct:
            return graphics ? StageTag(controller_.ActTag(record)) : step::kGoOn;
        case kw::kEnter:
            return graphics ? StageTag(controller_.EnterTag(record)) : step::kGoOn;
        case kw::kExit:
            return graphics ? StageTag(controller_.ExitTag(record)) : step::kGoOn;
        case kw::kStage: {
            // A refused size leaves the window as it is: only a changed stage resizes it.
            const stage::TagOutcome outcome = controller_.StageTag(record);
            return outcome.failed ? StageTag(outcome) : step::kStageSize;
        }
        case kw::kSpace:
            return StageTag(controller_.SpaceTag(record));
        case kw::kKick:
            return StageTag(controller_.KickTag(record));
        case kw::kCurtain:
            return StageTag(controller_.CurtainTag(record));
        case kw::kSunglass:
            return StageTag(controller_.SunglassTag(record));
        case kw::kW:
            return WaitTag(record);
        case kw::kBr:
            return BreakTag(record);
        case kw::kP:
            return PageTag(record);
        case kw::kScreen:
            window_->ScreenTag(record);
            return step::kGoOn;
        case kw::kFont:
            window_->FontTag(record);
            return step::kGoOn;
        case kw::kWindow:
            window_->WindowTag(record);
            return step::kGoOn;
        case kw::kIndent:
            window_->IndentTag(record);
            return step::kGoOn;
        case kw::kPosition:
            window_->PositionTag(record);
            return step::kGoOn;
        case kw::kClip:
            window_->ClipTag(record);
            return step::kGoOn;
        case kw::kNewPage:
            NewPage();
            return step::kGoOn;
        case kw::kNewLine:
            window_->LineBreak();  // a full page is ignored here
            return step::kGoOn;
        case kw::kA:
            return LinkTag(record);
        case kw::kQuestion:
            variables_.Question(record);
            return step::kGoOn;
        case kw::kEvent:
            variables_.Event(record);
            return step::kGoOn;
        case kw::kMemo:
            variables_.Memo(record);
            return step::kGoOn;
        case kw::kPlugin:
            PluginTag(record);
            return step::kGoOn;
        case kw::kBookmark:
            return BookmarkTag(record);
        case kw::kTitle:
            if (auto alt = record.FindAttribute(kw::kAlt)) {
                title_ = std::string(*alt);
                if (services_.onTitle) {
                    services_.onTitle(title_);
                }
            }
            return step::kGoOn;
        case kw::kCursor:
            CursorTag(record);
            return step::kGoOn;
        case kw::kCommand:
            if (services_.onCommand) {
                services_.onCommand(record.AttributeText(kw::kSrc),
                                    record.AttributeText(kw::kFolder));
            }
            return step::kGoOn;
        case kw::kIcon:
            if (auto enabled = controller_.IconTag(record, book_.ResolvePath(record, kw::kSrc))) {
                iconsEnabled_ = *enabled;
            }
            return step::kGoOn;
        case kw::kSnap:
            if (auto written = controller_.SnapTag(record, book_.Folder(), book_.HostFilesRead());
                written && services_.onSnap) {
                services_.onSnap(*written);
            }
            return step::kGoOn;
        case kw::kEnd:
            book_.SeekIndex(static_cast<int>(book_.Items().size()));
            return step::kEndTag;
        case kw::kSound:
            if (services_.playSound &&
                services_.playSound(record, book_.ResolvePath(record, kw::kSrc))) {
                return step::kGoOn;
            }
            return step::kSound;
        case kw::kBgm:
            return step::kBgm;
        case kw::kTrap:
            return step::kTrap;
        case kw::kWait:
            return step::kSpeeds;
        case kw::kTimer:
            return step::kTimer;
        case kw::kForm:
            if (!closing) {
                OpenForm();
            } else if (!form_) {
                return step::kGoOn;  // a stray /FORM would wait for a form that is not there
            }
            return step::kForm;
        case kw::kInput:
            AddInput(record);
            return step::kInput;
        default:
            return step::kGoOn;  // comments, reader-only tags, unknown
    }
}

}  // namespace talu::interp
