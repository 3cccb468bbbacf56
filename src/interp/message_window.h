#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/clock.h"
#include "interp/font_stack.h"
#include "interp/text_layout.h"
#include "interp/text_renderer.h"
#include "interp/window_frame.h"
#include "script/book.h"
#include "script/diagnostics.h"
#include "script/string_table.h"
#include "script/tag_record.h"
#include "stage/picture_loader.h"
#include "stage/stage_controller.h"

// The message window's tags and life: SCREEN, WINDOW, FONT, the text styles, INDENT, POSITION
// and CLIP, opening the window before text, new pages, and typing a run into it.
namespace talu::interp {

/// The parts of the message window that live as long as the display, from book to book.
struct MessageDisplay {
    /// The layout of the visible text.
    TextLayout layout;
    /// Fonts saved by FONT for /FONT.
    FontStack fonts;
    /// The frame's switches (its picture lives in the stage).
    FrameState frame;
};

/// What wrapping at spaces reads; the pointed-to objects are the interpreter's.
struct WordSources {
    /// The setting, read at every run; null keeps wrapping off.
    const int* setting = nullptr;
    /// The book being read, positioned after the run, and its variables: a run's last word may
    /// go on in the next items. Null measures the run's own text only.
    script::Book* book = nullptr;
    const script::StringTable* variables = nullptr;
};

/// What a message window works with; the pointed-to objects are the player's and outlive it.
struct MessageWindowServices {
    /// The display's part of the window; must not be null.
    MessageDisplay* display = nullptr;
    /// The link page's layout, which follows the visible one; must not be null.
    TextLayout* linkSet = nullptr;
    /// The stage and its window flags; must not be null.
    stage::StageController* controller = nullptr;
    /// Loads WINDOW pictures; null fails every load.
    const stage::PictureLoader* loader = nullptr;
    /// Where script errors go; may be null.
    script::Diagnostics* diagnostics = nullptr;
    /// The item text shown in error boxes; may be empty.
    std::function<std::string()> itemText;
    /// The path an attribute names (the book's path rules); empty takes the value as it is.
    std::function<std::string(const script::TagRecord&, int)> resolvePath;
    /// The typing speed read at every run; null reads the defaults.
    const TextSettings* textSettings = nullptr;
    /// Every typing pause sleeps here; null types without pauses.
    host::Clock* clock = nullptr;
    /// Click flag 1: the reader's click ends the pauses of the current run; may be null.
    std::atomic<int>* click = nullptr;
    /// Wrapping Latin words at spaces; the default keeps it off.
    WordSources words;
};

/// The message window of one Interpreter. Worker thread only. Installs the frame's drawer and
/// bookmark line on the stage for its lifetime.
class MessageWindow {
  public:
    explicit MessageWindow(MessageWindowServices services);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    /// SCREEN: the text rectangle of both layouts and SHUT.
    void ScreenTag(const script::TagRecord& tag);
    /// FONT and /FONT: font, colour, base font, pen and size.
    void FontTag(const script::TagRecord& tag);
    /// WINDOW and /WINDOW: the frame picture, its place, alpha or mask and SHUT.
    void WindowTag(const script::TagRecord& tag);
    /// B, I, U, S and SHADOW (by tag id) on both layouts.
    void StyleTag(int tagId, const script::TagRecord& tag);
    /// INDENT and /INDENT.
    void IndentTag(const script::TagRecord& tag);
    /// POSITION: saves or loads the pen, then moves it.
    void PositionTag(const script::TagRecord& tag);
    /// CLIP: saves or loads the pen only.
    void ClipTag(const script::TagRecord& tag);

    /// Fades the window in when it is closed; nothing when it is shown.
    void OpenWindow();
    /// Shows the stage without the old text and starts an empty page at the top.
    void NewPage();
    /// Types text into the window; false when the page filled, remainder holding the rest.
    bool TypeText(std::string_view text, std::string& remainder);
    /// Close Window command: shows the stage without frame and text (on) or as before (off).
    void HideWindow(bool on);
    /// Appends the visible layout's bookmark lines.
    void WriteState(std::vector<std::string>& lines) const;
    /// A line break the book asked for (BR, NEWLINE), which the page's text keeps as '\n';
    /// false when the page is full.
    bool LineBreak();
    /// The text typed on the page since it began (CP932, '\n' where the book broke a line;
    /// wrapping at the window's edge adds nothing).
    const std::string& PageText() const { return pageText_; }

    /// The visible layout.
    TextLayout& Layout() { return services_.display->layout; }
    /// True once a FONT tag of this book has set the base font.
    bool BaseFontTaken() const { return baseFontTaken_; }

  private:
    stage::Stage& GetStage() { return services_.controller->GetStage(); }
    void ClearFrame();
    bool LoadFrame(const script::TagRecord& tag, int left, int top);
    std::string Resolve(const script::TagRecord& tag, int id) const;
    void Report(int code, std::string_view argument) const;
    void MoveSaved(const script::TagRecord& tag);
    WordWrap WrapFor(std::string_view text);

    MessageWindowServices services_;
    bool baseFontTaken_ = false;
    uint32_t flagsBeforeHide_ = 0;
    std::string pageText_;
};

}  // namespace talu::interp
