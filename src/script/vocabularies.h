#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The small fixed vocabularies of attribute values: positions, transition effects, colours,
// pass modes and the entities of text runs, read and written in their fixed spellings.
namespace talu::script {

/// A colour as the engine keeps it: red in bits 0-7, green 8-15, blue 16-23.
using Colour = std::uint32_t;

/// The filter value that means "no colour".
inline constexpr Colour kNoColour = 0x1000000;
inline constexpr Colour kFilterMono = 0x1000001;
inline constexpr Colour kFilterInverse = 0x1000002;
inline constexpr Colour kFilterSepia = 0x1000003;

/// A fixed value and its upper-case name.
struct NamedValue {
    int value;
    std::string_view name;
};

/// The position and mode words by keyword id (for the authors' reference).
std::span<const NamedValue> PositionTable();
/// The transition effects by number (for the authors' reference).
std::span<const NamedValue> EffectTable();
/// The keyword ids of the colour-filter words, in the order of their filter values.
std::span<const int> FilterWordIds();

/// Upper-case text of the position and mode ids (TOP, MIDDLE, ..., AUTO, NONE).
bool PositionName(int id, std::string& out);

/// The effect number of a name in any case; unknown names give 1 (EF_NORMAL).
int EffectNumber(std::string_view name);
/// The upper-case name of an effect number; false for numbers outside the catalogue.
bool EffectName(int number, std::string& out);

/// Reads "#RRGGBB" (either case; characters after the seventh are ignored).
bool ParseColour(std::string_view text, Colour& out);
/// "#RRGGBB" in upper-case hexadecimal.
std::string ColourText(Colour colour);
/// The filter value of a colour-filter word (mono, inverse, sepia, light, sunset, night,
/// midnight) given by its keyword id.
std::optional<Colour> FilterWordColour(int keywordId);

/// True when the upper-case text contains "GHOST" or "PASS".
bool IsPassMode(std::string_view text);

/// Decodes &lt; &gt; &amp; &quot; &nbsp; in that order, each until none is left.
std::string DecodeEntities(std::string_view text);

}  // namespace talu::script
