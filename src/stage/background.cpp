#include "stage/background.h"

namespace talu::stage {

bool BackgroundPicture::MakeBlack(int width, int height, const PixelFormat& format) {
    Release();
    if (!Create(width, height, format))
        return false;
    colourText = "#000000";
    Fill(0);
    colourMode = 1;
    return true;
}

void BackgroundPicture::WriteTags(std::vector<std::string>& lines) const {
    if (colourMode == 1) {
        lines.push_back("<BACKGROUND COLOR=\"" + colourText + "\">");
        return;
    }
    // A background whose picture failed to load has nothing to restore; writing its name would
    // only repeat the failure when the bookmark is read back.
    if (!IsLoaded())
        return;
    WriteTagLine("<BACKGROUND SRC=\"" + source + "\" WIDTH=\"" + std::to_string(Width()) +
                     "\" HEIGHT=\"" + std::to_string(Height()) + "\" ",
                 lines);
}

}  // namespace talu::stage
