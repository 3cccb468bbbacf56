#include "stage/picture.h"

#include "stage/colour_filter.h"

namespace talu::stage {

void Picture::Reset() {
    left = 0;
    top = 0;
    source.clear();
    transparent.clear();
    align = 0;
    valign = 0;
    alpha = 100;
    effect = 0;
    filter = script::kNoColour;
    mask.clear();
    mask.shrink_to_fit();
    maskSource.clear();
}

namespace {

// A channel field brought to 5 bits: a 6-bit channel drops its lowest bit.
uint32_t Field5(uint16_t pixel, const ChannelFormat& c) {
    const uint32_t field = (pixel & c.mask) >> c.shift;
    return c.max == 63 ? field >> 1 : field;
}

}  // namespace

bool Picture::TakeMask(const Surface& maskPicture, const std::string& maskSourceName) {
    if (!IsLoaded() || !maskPicture.IsLoaded() || maskPicture.Width() != Width() ||
        maskPicture.Height() != Height()) {
        return false;
    }
    const PixelFormat& f = maskPicture.Format();
    std::vector<uint8_t> bytes(static_cast<std::size_t>(Width()) * Height());
    std::size_t i = 0;
    for (int y = 0; y < Height(); ++y) {
        const uint16_t* row = maskPicture.Row(y);
        for (int x = 0; x < Width(); ++x) {
            const uint32_t sum =
                Field5(row[x], f.red) + Field5(row[x], f.green) + Field5(row[x], f.blue);
            bytes[i++] = static_cast<uint8_t>(sum / 3 * 8);
        }
    }
    mask = std::move(bytes);
    maskSource = maskSourceName;
    return true;
}

void Picture::WriteTagLine(std::string line, std::vector<std::string>& lines) const {
    const std::string filterLine = FilterTagText(filter);
    if (!filterLine.empty())
        lines.push_back(filterLine);
    if (!transparent.empty())
        line += "TRANSPARENT=\"" + transparent + "\"";
    line += " >";
    lines.push_back(std::move(line));
    if (!filterLine.empty())
        lines.push_back("</SUNGLASS>");
}

}  // namespace talu::stage
