#include "stage/character.h"

#include <algorithm>
#include <cstdint>

#include "script/vocabularies.h"
#include "stage/surface_blend.h"

namespace talu::stage {
namespace {

// The average of a pixel and its four neighbours, channel by channel.
uint16_t Average5(const uint16_t* centre, int pitch, const PixelFormat& f) {
    const uint16_t p[5] = {centre[0], centre[-1], centre[1], centre[-pitch], centre[pitch]};
    uint32_t out = 0;
    for (const ChannelFormat* c : {&f.red, &f.green, &f.blue}) {
        uint32_t sum = 0;
        for (uint16_t v : p)
            sum += (v & c->mask) >> c->shift;
        out |= ((sum / 5) << c->shift) & c->mask;
    }
    return static_cast<uint16_t>(out);
}

std::string PositionText(int id) {
    std::string text;
    script::PositionName(id, text);
    return text;
}

}  // namespace

void Character::Clear() {
    Release();
    Reset();
    loadFlags = 0;
    enterAlpha = 100;
    name.clear();
    hidden = 0;
    exitPending = 0;
}

void Character::SettleFlags() {
    hidden = 0;
    if (exitPending != 0)
        Clear();
}

void Character::Draw(Surface& target, bool smoothEdges) const {
    if (hidden != 0 || !IsLoaded() || !target.IsLoaded())
        return;
    const Rect whole = Bounds();
    const Rect placed = Placed();
    if (alpha != 100) {
        TranslucentCopy(*this, whole, target, placed, alpha);
        return;
    }
    if (!mask.empty()) {
        MaskBlend(target, *this, MaskBlendOptions{mask.data(), mask.size(), whole, left, top});
    } else {
        CopyTo(whole, target, placed, BlitFlags());
    }
    if (smoothEdges)
        SmoothEdges(*this, left, top, target);
}

void SmoothEdges(const Surface& source, int left, int top, Surface& target) {
    uint32_t key = 0;
    if (!source.GetSourceKey(key) || !target.IsLoaded())
        return;
    const int pitch = target.Pitch();
    // Only stage pixels with all four neighbours on the stage can be averaged.
    const int64_t firstX = std::max<int64_t>(1, int64_t{1} - left);
    const int64_t lastX = std::min<int64_t>(source.Width() - 2, int64_t{target.Width()} - 2 - left);
    const int64_t firstY = std::max<int64_t>(1, int64_t{1} - top);
    const int64_t lastY =
        std::min<int64_t>(source.Height() - 2, int64_t{target.Height()} - 2 - top);
    for (int64_t y = firstY; y <= lastY; ++y) {
        const uint16_t* above = source.Row(static_cast<int>(y - 1));
        const uint16_t* row = source.Row(static_cast<int>(y));
        const uint16_t* below = source.Row(static_cast<int>(y + 1));
        uint16_t* out = target.Row(static_cast<int>(y + top));
        for (int64_t x = firstX; x <= lastX; ++x) {
            if (row[x] != key)
                continue;
            if (row[x - 1] == key && row[x + 1] == key && above[x] == key && below[x] == key) {
                continue;
            }
            uint16_t* p = out + (x + left);
            *p = Average5(p, pitch, target.Format());
        }
    }
}

void Character::WriteTags(std::vector<std::string>& lines) const {
    if (name.empty())
        return;
    std::string effectName;
    std::string effectText;
    if (script::EffectName(effect, effectName))
        effectText = "EFFECT=\"" + effectName + "\"";
    lines.push_back("<ENTER NAME=\"" + name + "\" ALIGN=\"" + PositionText(align) + "\" VALIGN=\"" +
                    PositionText(valign) + "\" " + effectText + " ALPHA=\"" +
                    std::to_string(enterAlpha) + "\">");
    if (!IsLoaded())
        return;
    std::string line = "<ACT NAME=\"" + name + "\" SRC=\"" + source + "\" LEFT=\"" +
                       std::to_string(left) + "\" TOP=\"" + std::to_string(top) + "\" WIDTH=\"" +
                       std::to_string(Width()) + "\" HEIGHT=\"" + std::to_string(Height()) + "\" ";
    if (!maskSource.empty()) {
        line += " ALPHA=\"" + maskSource + "\" ";
    } else {
        line += " ALPHA=\"" + std::to_string(alpha) + "\" ";
    }
    WriteTagLine(std::move(line), lines);
}

}  // namespace talu::stage
