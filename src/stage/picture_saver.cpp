#include "stage/picture_saver.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <vector>

#include "host/encoding.h"
#include "host/image/jpeg_writer.h"
#include "host/paths.h"
#include "script/book.h"

namespace talu::stage {
namespace {

// Position of the last single-byte occurrence of any byte of set, stepping over double-byte
// characters; npos when none.
std::size_t FindLast(std::string_view text, std::string_view set) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i += host::CharLength(text, i)) {
        if (set.find(text[i]) != std::string_view::npos) {
            found = i;
        }
    }
    return found;
}

// The file name of a path without its folders and extension.
std::string_view FileTitle(std::string_view path) {
    const std::size_t slash = FindLast(path, "\\/");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = FindLast(name, ".");
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

// Each pixel expanded as the BMP writer does, as red, green, blue rows from the top.
std::vector<uint8_t> RgbRows(const Surface& surface) {
    const PixelFormat& format = surface.Format();
    std::vector<uint8_t> rows(static_cast<std::size_t>(surface.Width()) * 3 * surface.Height());
    uint8_t* out = rows.data();
    for (int y = 0; y < surface.Height(); ++y) {
        const uint16_t* in = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x) {
            *out++ = format.red.Expand(in[x]);
            *out++ = format.green.Expand(in[x]);
            *out++ = format.blue.Expand(in[x]);
        }
    }
    return rows;
}

// Writes the file; a BMP write that fails part way is removed (the JPEG writer cleans up after
// itself).
bool Write(const Surface& surface, const std::filesystem::path& file, const SaveRequest& request) {
    if (request.format == PictureFileFormat::kJpeg) {
        const std::vector<uint8_t> rows = RgbRows(surface);
        const host::JpegImage image{surface.Width(), surface.Height(), surface.Width() * 3,
                                    /*bottomUp=*/false, rows};
        return host::WriteJpeg(file, image, request.jpegQuality);
    }
    if (!surface.WriteBmp(file)) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        return false;
    }
    return true;
}

// The written size: the surface's, or the given sides with a missing one kept in proportion.
std::optional<std::pair<int, int>> SavedSize(const Surface& surface, const SaveRequest& request) {
    const double sw = surface.Width();
    const double sh = surface.Height();
    const bool hasWidth = request.width != kSizeNotGiven;
    const bool hasHeight = request.height != kSizeNotGiven;
    double w = hasWidth ? request.width : sw;
    double h = hasHeight ? request.height : sh;
    if (hasWidth && !hasHeight) {
        h = std::trunc(w / sw * sh);
    } else if (hasHeight && !hasWidth) {
        w = std::trunc(h / sh * sw);
    }
    if (w < 1 || h < 1 || w > kMaxSurfaceSide || h > kMaxSurfaceSide) {
        return std::nullopt;
    }
    return std::pair{static_cast<int>(w), static_cast<int>(h)};
}

}  // namespace

std::string SavedPictureName(std::string_view sourceName, const SaveRequest& request) {
    if (request.folder.empty()) {
        return request.fileName;
    }
    if (request.fileName.empty()) {
        std::string name = request.folder;
        name.append(FileTitle(sourceName));
        name += request.format == PictureFileFormat::kJpeg ? ".JPG" : ".BMP";
        return name;
    }
    return script::JoinPath(request.folder, request.fileName);
}

bool SavePicture(const Surface& surface, std::string_view sourceName, const SaveRequest& request) {
    if (!surface.IsLoaded()) {
        return false;
    }
    std::optional<std::pair<int, int>> size = SavedSize(surface, request);
    if (!size) {
        return false;
    }
    std::optional<std::filesystem::path> file = host::HostPathForWriting(
        SavedPictureName(sourceName, request), host::HostPathOptions{request.bookFolder});
    std::error_code ec;
    // A link is replaced, never written through: what it leads to is not the book's.
    if (file && std::filesystem::is_symlink(*file, ec) && !std::filesystem::remove(*file, ec)) {
        return false;
    }
    // A folder of that name is never written over (nor removed after a failed write).
    if (!file ||
        (std::filesystem::exists(*file, ec) && !std::filesystem::is_regular_file(*file, ec))) {
        return false;
    }
    if (size->first == surface.Width() && size->second == surface.Height()) {
        return Write(surface, *file, request);
    }
    Surface scaled;
    if (!scaled.Create(size->first, size->second, surface.Format()) ||
        !scaled.CopyScaled(surface)) {
        return false;
    }
    return Write(scaled, *file, request);
}

}  // namespace talu::stage
