#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/fonts/font.h"
#include "script/keywords.h"
#include "script/vocabularies.h"
#include "stage/pixel_format.h"
#include "stage/rect.h"

// The message window's text state: where text may go, where the next character goes, and the
// font it is drawn in. One layout draws the visible text; the link page keeps a second one.
namespace talu::interp {

/// A coordinate, size or font value that a tag did not give: the current one is kept.
inline constexpr int kNotGiven = -10000;
/// Levels of INDENT a layout can hold (depth 0 is "no indent").
inline constexpr int kIndentLevels = 20;
/// Pen positions POSITION and CLIP can save.
inline constexpr int kPositionSlots = 20;
/// The text layer's colour key: pixels of this colour are empty.
inline constexpr script::Colour kTextKey = 0xFF00FF;
/// What a text colour that would turn into the key is drawn in instead.
inline constexpr script::Colour kKeyStandIn = 0xF500F5;
/// Width and height SetWindow uses when they are not given.
inline constexpr int kDefaultWindowWidth = 600;
inline constexpr int kDefaultWindowHeight = 440;
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
    /// SCREEN's SHUT mode: kw::kAuto or kw::kNone.
    int shutMode = script::kw::kAuto;
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

    /// INDENT: lines from the next one on start at the pen's x; ignored at the deepest level.
    void OpenIndent();
    /// /INDENT: back to the previous level; ignored at depth 0.
    void CloseIndent();
    /// MODE=SAVE: pushes the pen, dropping the oldest position when all slots are used.
    void SavePosition();
    /// MODE=LOAD: moves the pen to the most recent position (if it lies inside the window) and
    /// removes that position.
    void LoadPosition();

    /// Window rectangle (left, top, left + width, top + height), kNotGiven width and height
    /// standing for 600 and 440; the pen goes to (left, top).
    void SetWindow(int left, int top, int width, int height);
    /// Takes a non-empty face and given height and skip, then recreates the font (always).
    void SetFont(std::string_view newFace, int newHeight, int newSkip);
    /// Takes colour for the text, or kKeyStandIn when it would give the key's pixel value in
    /// layerFormat (the format of the layer the text is drawn on).
    void SetColour(script::Colour newColour, const stage::PixelFormat& layerFormat);
    /// Replaces each given base value (kNotGiven or an empty face keeps it).
    void SetBase(std::string_view newFace, int newHeight, int newSkip,
                 std::optional<script::Colour> newColour);
    /// Copies one base value back (HEIGHT, SKIP, SRC or COLOR by attribute id); the font is not
    /// recreated.
    void RestoreFromBase(int attributeId);
    /// "+n" or "-n" adds n to height and skip and recreates the font; other texts change nothing.
    void AdjustSize(std::string_view text);
    /// Switches B, I, U, S or SHADOW (by tag id) on or off; the font is not recreated here.
    void SetStyle(int tagId, bool on);
    /// Appends the bookmark lines that restore this layout: SCREEN, base and current FONT, styles.
    void WriteState(std::vector<std::string>& lines) const;
};

}  // namespace talu::interp
