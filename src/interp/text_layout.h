#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/fonts/font.h"
#include "script/vocabularies.h"
#include "stage/rect.h"
#include "stage/surface.h"

// The message window's text state: where text may go, where the next character goes, and the
// font it is drawn in. One layout draws the visible text; the link page keeps a second one.
namespace talu::interp {

/// A coordinate, size or font value that a tag did not give: the current one is kept.
inline constexpr int kNotGiven = -10000;
/// Levels of INDENT a layout can hold (depth 0 is "no indent").
inline constexpr int kIndentLevels = 20;
/// Pen positions POSITION and CLIP can save.
inline constexpr int kPositionSlots = 20;
/// "ＭＳ 明朝" in CP932: the face every layout starts with.
inline constexpr std::string_view kDefaultFace = "\x82\x6C\x82\x72 \x96\xBE\x92\xA9";

/// A point in stage pixels.
struct PenPoint {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const PenPoint&, const PenPoint&) = default;
};

/// The text layout of the message window. Fields are public because the message window, the
/// text renderer and the link page all read and change them; the layout owns its font and layer.
class TextLayout {
  public:
    /// A layout with the initial values of a new message window, its font already created.
    TextLayout();

    /// The current font, created from the font fields; null only when no font is installed.
    std::unique_ptr<host::Font> font;
    /// Font face name (CP932).
    std::string face{kDefaultFace};
    /// Where text may be written, in stage pixels (right and bottom exclusive).
    stage::Rect window{20, 20, 580, 440};
    /// Top-left corner of the next character's cell.
    int penX = 20;
    int penY = 20;
    /// Pen copy for the two drawing passes of typing.
    int savedPenX = 20;
    int savedPenY = 20;
    /// 1 to draw a black shadow under every character.
    int shadow = 1;
    /// Font cell height in pixels.
    int height = 27;
    /// Distance from one line's top to the next line's top.
    int skip = 30;
    /// Text colour, red + green x 256 + blue x 65536.
    script::Colour colour = 0xFFFFFF;
    /// 0 normal, 700 bold.
    int weight = 0;
    /// 1 for italic (I), underlined (U) and struck-out (S) text.
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeout = 0;
    /// SCREEN's SHUT mode: 113 (AUTO) or 129 (NONE).
    int shutMode = 113;
    /// 1 when the last character forced a line break after itself.
    int wrapped = 0;
    /// Current INDENT depth, 0 to kIndentLevels - 1.
    int indentDepth = 0;
    /// Per level above 0, the x where its lines start.
    std::array<int, kIndentLevels> indentX{};
    /// Saved pen positions, most recent first; an empty slot holds nothing.
    std::array<std::optional<PenPoint>, kPositionSlots> positions{};
    /// The base font that the value USER restores.
    int baseHeight = 27;
    int baseSkip = 30;
    std::string baseFace{kDefaultFace};
    script::Colour baseColour = 0xFFFFFF;
    /// The picture the visible layout draws on; unloaded until the stage size is set.
    stage::Surface textLayer;

    /// Replaces the font with a new one made from face, height, weight and the style bytes.
    void RecreateFont();

    /// x where a new line starts: the current indent level's x, or the window's left edge.
    int LineStart() const;
    /// Moves the pen to the start of the next line; false when that line would not fit above the
    /// window's bottom (the pen's x has then already gone to the line start). Does nothing but
    /// succeed when the previous character already broke the line.
    bool LineBreak();
    /// Moves the pen to (x, y), kNotGiven keeping a coordinate, when the point lies inside the
    /// window; false and no move otherwise.
    bool MovePen(int x, int y);
    /// Where the next character would be written (for the wait mark): the pen, or the next
    /// line's start at the window's left when the current line is full.
    PenPoint NextCharacterPlace() const;

    /// INDENT: lines from the next one on start at the pen's x; ignored at the deepest level.
    void OpenIndent();
    /// /INDENT: back to the previous level; ignored at depth 0.
    void CloseIndent();
    /// MODE=SAVE: pushes the pen, dropping the oldest position when all slots are used.
    void SavePosition();
    /// MODE=LOAD: moves the pen to the most recent position (if it lies inside the window) and
    /// removes that position.
    void LoadPosition();
};

}  // namespace talu::interp
