#pragma once

#include <array>
#include <string>
#include <vector>

#include "interp/script_variables.h"
#include "interp/text_layout.h"
#include "script/tag_record.h"
#include "script/vocabularies.h"
#include "stage/rect.h"
#include "stage/surface.h"

// A group of A tags as the reader meets it: the links that VIEW lets through, which of them
// ENABLE allows, where each was drawn on the composed stage, and the one the mouse points at.
namespace talu::interp {

/// The most links one group can show; later A tags of the group are ignored.
inline constexpr int kMaxLinks = 100;
/// Colour of the link under the mouse.
inline constexpr script::Colour kHighlightedLinkColour = 0xFFFFFF;
/// Colour of every other link, disabled ones included.
inline constexpr script::Colour kLinkColour = 0xA0A0A0;

/// The Interpreter's link page. Build runs on the worker; Hover and Take on the interface
/// thread while no worker runs.
class LinkSet {
  public:
    /// The layout links are placed with; the message window keeps it in step with the visible
    /// one (rectangle, font, styles).
    TextLayout& Layout() { return layout_; }

    /// Reads a folded link group: the shown links, their enabled flags and the start point
    /// (the record's LEFT and TOP). Rectangles are emptied and nothing is highlighted.
    void Build(const script::TagRecord& record, ScriptVariables& variables);
    /// True when the first shown link has no text: that link is then taken into chosen and the
    /// group needs no display.
    bool ResolveAtOnce(script::TagRecord& chosen);
    /// Draws every shown link on target (the composed stage) and records its rectangle.
    void DrawLinks(stage::Surface& target);
    /// Highlights the first enabled link whose rectangle holds (x, y), or none; redraws on
    /// target when the highlight changed and then returns true.
    bool Hover(int x, int y, stage::Surface& target);
    /// Index of the highlighted link, -1 for none.
    int Highlighted() const { return highlighted_; }
    /// The keys' highlight: moves it step (+1 or -1) links on among those that can be chosen
    /// (enabled and drawn), in their order and round the ends; from none, down starts at the
    /// first and up at the last. Redraws on target as Hover does; false when nothing changed.
    bool MoveHighlight(int step, stage::Surface& target);
    /// Copies the highlighted link's HREF, ALT and ANSWER into chosen (at their own ids) and
    /// empties the set; false and nothing copied when no link is highlighted.
    bool Take(script::TagRecord& chosen);

    /// Wraps the links' Latin words at spaces (on) or breaks them anywhere (off, as books were
    /// laid out with); the worker sets it before Build.
    void WrapAtSpaces(bool on) { wrapAtSpaces_ = on; }

    /// Number of shown links.
    int Count() const { return static_cast<int>(texts_.size()); }
    /// Text of shown link i (0 <= i < Count()).
    const std::string& Text(int i) const { return texts_[static_cast<std::size_t>(i)]; }
    /// Whether shown link i can be chosen.
    bool Enabled(int i) const { return enabled_[static_cast<std::size_t>(i)] != 0; }
    /// Where shown link i was drawn; empty when it was not drawn.
    const stage::Rect& RectOf(int i) const { return rects_[static_cast<std::size_t>(i)]; }

  private:
    bool Choosable(int i) const;
    stage::Rect PlaceLink(const std::string& text, script::Colour colour, stage::Surface& target);
    // True when the line breaks before the character at pos: a space meeting width, or a word
    // that fits on a line of its own only.
    bool WrapLinkAt(std::string_view text, std::size_t pos, int width, bool wordGoesOn);

    TextLayout layout_;
    std::vector<std::string> texts_;
    script::TagRecord links_;
    std::array<int, kMaxLinks> enabled_{};
    std::array<stage::Rect, kMaxLinks> rects_{};
    int highlighted_ = -1;
    PenPoint start_;
    bool wrapAtSpaces_ = false;
};

}  // namespace talu::interp
