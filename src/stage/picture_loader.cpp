#include "stage/picture_loader.h"

#include <cmath>
#include <cstring>

#include "host/encoding.h"
#include "script/messages.h"
#include "stage/archive_lookup.h"
#include "stage/bmp_reader.h"
#include "stage/builtin_plugins.h"
#include "stage/extension_map.h"

namespace talu::stage {
namespace {

constexpr uint32_t kKeyColour = 0xFF00FF;
constexpr uint8_t kKeyBgr[3] = {0xFF, 0x00, 0xFF};

// The key colour is the picture's top-left pixel: the first pixel of the last stored row.
// A palette picture changes that pixel's palette entry; a 24-bit one every pixel of its colour.
void ApplyAutomaticKey(Bitmap& bitmap) {
    const std::size_t stride = static_cast<std::size_t>(bitmap.Stride());
    const uint8_t* topLeft = bitmap.bits.data() + (bitmap.height - 1) * stride;
    if (bitmap.bitCount == 8) {
        if (*topLeft >= bitmap.PaletteCount()) {
            return;
        }
        std::memcpy(&bitmap.palette[std::size_t{*topLeft} * 4], kKeyBgr, 3);
        return;
    }
    uint8_t key[3];
    std::memcpy(key, topLeft, 3);
    for (int y = 0; y < bitmap.height; ++y) {
        uint8_t* pixel = bitmap.bits.data() + y * stride;
        for (int x = 0; x < bitmap.width; ++x, pixel += 3) {
            if (std::memcmp(pixel, key, 3) == 0) {
                std::memcpy(pixel, kKeyBgr, 3);
            }
        }
    }
}

// A side of the loaded picture: in pixels, in percent of the picture's own, or its own.
// Percentages are truncated as the old double arithmetic did (given x 0.01 x side).
std::optional<int> TargetSide(bool inPixels, bool inPercent, int given, int own) {
    const double side = inPixels ? given : inPercent ? std::trunc(given * 0.01 * own) : own;
    if (side < 1 || side > kMaxSurfaceSide) {
        return std::nullopt;
    }
    return static_cast<int>(side);
}

}  // namespace

bool PictureLoader::LoadPicture(Picture& picture, std::string_view path, uint32_t flags, int width,
                                int height) const {
    picture.source = std::string(path);
    picture.loadFlags = flags;
    std::optional<Bitmap> bitmap = ReadBitmap(path);
    picture.mask.clear();
    if (!bitmap) {
        picture.Release();
        return false;
    }
    const bool autoKey = (flags & load::kAutoKey) != 0;
    if (autoKey) {
        ApplyAutomaticKey(*bitmap);
    }
    std::optional<int> w =
        TargetSide(flags & load::kWidthPixels, flags & load::kWidthPercent, width, bitmap->width);
    std::optional<int> h = TargetSide(flags & load::kHeightPixels, flags & load::kHeightPercent,
                                      height, bitmap->height);
    if (!w || !h || !picture.FromDib(bitmap->View(), services_.format, *w, *h)) {
        picture.Release();
        return false;
    }
    if (autoKey) {
        picture.SetSourceKey(kKeyColour);
    }
    return true;
}

std::optional<Bitmap> PictureLoader::ReadBitmap(std::string_view path) const {
    if (services_.plugins == nullptr) {
        return std::nullopt;
    }
    std::optional<OpenedFile> opened =
        OpenPossiblyArchived(path, services_.bookFolder, *services_.plugins);
    if (!opened) {
        return std::nullopt;
    }
    return Decode(path, opened->bytes);
}

std::optional<Bitmap> PictureLoader::Decode(std::string_view path,
                                            std::span<const uint8_t> bytes) const {
    std::optional<std::string> extension = ExtensionOf(path);
    if (!extension) {
        ReportError(script::err::kNoPluginForFormat, path);
        return std::nullopt;
    }
    if (*extension == "BMP") {
        BmpResult read = ReadBmp(bytes);
        if (read.failure == BmpFailure::kShortFile) {
            ShowNotice("ファイルが短い");
        }
        return std::move(read.bitmap);
    }
    std::string library(kBuiltInImageLibrary);
    if (!services_.everyExtensionBound) {
        std::optional<std::string> bound =
            services_.extensions != nullptr ? services_.extensions->Find(*extension) : std::nullopt;
        if (!bound) {
            ReportError(script::err::kNoPluginForFormat, path);
            return std::nullopt;
        }
        library = std::move(*bound);
    }
    // Any library name stands for the built-in decoders; only a format none of them reads
    // counts as a missing plug-in.
    const Plugin* decoder = services_.plugins->ImageDecoderFor(path);
    if (decoder == nullptr) {
        ReportError(script::err::kPluginNotFound, library);
        return std::nullopt;
    }
    return decoder->GetPicture(bytes, *extension);
}

void PictureLoader::ReportError(int code, std::string_view argument) const {
    if (services_.diagnostics != nullptr) {
        const std::string item = services_.itemText ? services_.itemText() : std::string();
        services_.diagnostics->ReportScriptError(item, code, argument);
    }
}

void PictureLoader::ShowNotice(std::string_view utf8) const {
    if (services_.diagnostics != nullptr) {
        services_.diagnostics->ShowPlainBox(host::Utf8ToCp932(utf8));
    }
}

}  // namespace talu::stage
