#include "script/vocabularies.h"

#include <array>
#include <cstdio>
#include <iterator>

#include "script/keywords.h"
#include "script/numbers.h"
#include "script/sjis_text.h"

namespace talu::script {
namespace {

constexpr NamedValue kPositions[] = {
    {kw::kTop, "TOP"},           {kw::kMiddle, "MIDDLE"},
    {kw::kBottom, "BOTTOM"},     {kw::kFloor, "FLOOR"},
    {kw::kRoof, "ROOF"},         {kw::kLeft, "LEFT"},
    {kw::kCenter, "CENTER"},     {kw::kRight, "RIGHT"},
    {kw::kLeftSide, "LEFTSIDE"}, {kw::kRightSide, "RIGHTSIDE"},
    {kw::kAuto, "AUTO"},         {kw::kNone, "NONE"},
};

constexpr NamedValue kEffects[] = {
    {0, "EF_NONE"},
    {1, "EF_NORMAL"},
    {4, "EF_TOHEART_BACK"},
    {6, "EF_TOHEART_CHAR"},
    {7, "EF_FADEIN"},
    {8, "EF_FADE_FROM_LEFT"},
    {9, "EF_FADE_FROM_RIGHT"},
    {10, "EF_FADE_FROM_TOP"},
    {11, "EF_FADE_FROM_BOTTOM"},
    {12, "EF_OVERLAP"},
    {13, "EF_ONE_BACK"},
    {14, "EF_ONE_CHAR"},
    {15, "EF_FROM_LEFT"},
    {16, "EF_FROM_RIGHT"},
    {17, "EF_FROM_TOP"},
    {18, "EF_FROM_BOTTOM"},
    {19, "EF_BLIND_FROM_LEFT"},
    {20, "EF_BLIND_FROM_RIGHT"},
    {21, "EF_BLIND_FROM_TOP"},
    {22, "EF_BLIND_FROM_BOTTOM"},
};

struct FilterWord {
    int id;
    Colour value;
};
constexpr FilterWord kFilterWords[] = {
    {kw::kMono, kFilterMono},  {kw::kInverse, kFilterInverse}, {kw::kSepia, kFilterSepia},
    {kw::kLight, 0xC8C8C8},    {kw::kSunset, 0x50507E},        {kw::kNight, 0x424242},
    {kw::kMidnight, 0x212121},
};

// One left-to-right pass that leaves no occurrence of the entity behind. Only "&amp;" can
// produce a new occurrence of itself ("&amp;amp;" gives "&amp;"), and only at the "&" it just
// wrote, so swallowing the "amp;" runs that follow gives the same text as replacing again and
// again, in linear time.
std::string ReplaceEntity(std::string_view text, std::string_view entity, std::string_view with) {
    std::size_t found = FindText(text, entity);
    if (found == npos) {
        return std::string(text);
    }
    const bool selfRepeating = entity == "&amp;";
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (found != npos) {
        out.append(text.substr(pos, found - pos));
        out.append(with);
        pos = found + entity.size();
        while (selfRepeating && text.compare(pos, 4, "amp;") == 0) {
            pos += 4;
        }
        found = FindText(text, entity, pos);
    }
    out.append(text.substr(pos));
    return out;
}

constexpr std::array<int, std::size(kFilterWords)> kFilterIds = [] {
    std::array<int, std::size(kFilterWords)> ids{};
    for (std::size_t i = 0; i < ids.size(); ++i) {
        ids[i] = kFilterWords[i].id;
    }
    return ids;
}();

}  // namespace

std::span<const NamedValue> PositionTable() {
    return kPositions;
}

std::span<const NamedValue> EffectTable() {
    return kEffects;
}

std::span<const int> FilterWordIds() {
    return kFilterIds;
}

bool PositionName(int id, std::string& out) {
    for (const NamedValue& p : kPositions) {
        if (p.value == id) {
            out.assign(p.name);
            return true;
        }
    }
    return false;
}

int EffectNumber(std::string_view name) {
    std::string upper = ToUpperAscii(name);
    for (const NamedValue& e : kEffects) {
        if (e.name == upper) {
            return e.value;
        }
    }
    return 1;
}

bool EffectName(int number, std::string& out) {
    for (const NamedValue& e : kEffects) {
        if (e.value == number) {
            out.assign(e.name);
            return true;
        }
    }
    return false;
}

bool ParseColour(std::string_view text, Colour& out) {
    if (text.size() < 7 || text[0] != '#') {
        return false;
    }
    std::string upper = ToUpperAscii(text.substr(0, 7));
    Colour colour = 0;
    for (int channel = 0; channel < 3; ++channel) {
        int high = HexDigit(upper[1 + channel * 2]);
        int low = HexDigit(upper[2 + channel * 2]);
        if (high < 0 || low < 0) {
            return false;
        }
        colour |= static_cast<Colour>(high * 16 + low) << (8 * channel);
    }
    out = colour;
    return true;
}

std::string ColourText(Colour colour) {
    char buffer[8];
    std::snprintf(buffer, sizeof(buffer), "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return buffer;
}

std::optional<Colour> FilterWordColour(int keywordId) {
    for (const auto& word : kFilterWords) {
        if (word.id == keywordId) {
            return word.value;
        }
    }
    return std::nullopt;
}

bool IsPassMode(std::string_view text) {
    std::string upper = ToUpperAscii(text);
    return FindText(upper, "GHOST") != npos || FindText(upper, "PASS") != npos;
}

std::string DecodeEntities(std::string_view text) {
    std::string out = ReplaceEntity(text, "&lt;", "<");
    out = ReplaceEntity(out, "&gt;", ">");
    out = ReplaceEntity(out, "&amp;", "&");
    out = ReplaceEntity(out, "&quot;", "\"");
    return ReplaceEntity(out, "&nbsp;", " ");
}

}  // namespace talu::script
