#include "frontend/qt/cursor_file.h"

#include "stage/cursor_file.h"

namespace talu::qt {

std::optional<std::vector<CursorFrame>> LoadCursorFile(const QString& path) {
    const auto images = stage::LoadCursorFile(std::filesystem::path(path.toStdString()));
    if (!images) {
        return std::nullopt;
    }
    std::vector<CursorFrame> frames;
    for (const stage::CursorImage& cursor : *images) {
        const host::RgbaImage& rgba = cursor.image;
        // The copy owns its pixels; the wrapped image only borrows rgba's.
        QImage image = QImage(rgba.pixels.data(), rgba.width, rgba.height, rgba.width * 4,
                              QImage::Format_RGBA8888)
                           .copy();
        frames.push_back({std::move(image), QPoint(cursor.hotX, cursor.hotY), cursor.durationMs});
    }
    return frames;
}

}  // namespace talu::qt
