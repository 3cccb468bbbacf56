#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "script/diagnostics.h"
#include "stage/bitmap.h"
#include "stage/extension_map.h"
#include "stage/picture.h"
#include "stage/pixel_format.h"
#include "stage/plugin_list.h"

namespace talu::stage {

/// What picture loading needs from the player around it. The pointed-to objects are the
/// player's and must outlive the loader.
struct PictureServices {
    /// Image decoders and archive extractors.
    const PluginList* plugins = nullptr;
    /// The PLUGIN tags' bindings; ignored when everyExtensionBound.
    const ExtensionMap* extensions = nullptr;
    /// Tools read every format without PLUGIN tags, as if each extension were bound.
    bool everyExtensionBound = false;
    /// Where errors 16 and 18 and the reader's notices go; may be null.
    script::Diagnostics* diagnostics = nullptr;
    /// The item text shown in error boxes (the item the book fetched last); may be empty.
    std::function<std::string()> itemText;
    /// The display's pixel layout, which every loaded picture takes.
    PixelFormat format = PixelFormat::Rgb565();
    /// Inside folder of the open book, against which relative paths resolve.
    std::string bookFolder;
};

/// Turns the files books name into pictures: our BMP reader, the image decoders for other
/// formats, archive members, automatic transparency and scaling.
class PictureLoader {
  public:
    explicit PictureLoader(PictureServices services) : services_(std::move(services)) {}

    /// The services, for changes such as a new book folder.
    PictureServices& Services() { return services_; }

    /// Loads path into picture (its surface is replaced) with load flags (load::k...) and the
    /// width and height those flags give. False, with the picture unloaded, on any failure;
    /// the caller reports error 0.
    bool LoadPicture(Picture& picture, std::string_view path, uint32_t flags, int width,
                     int height) const;
    /// Reads a picture file of any format into a bitmap; reports errors 16 and 18 itself.
    std::optional<Bitmap> ReadBitmap(std::string_view path) const;

  private:
    std::optional<Bitmap> Decode(std::string_view path, std::span<const uint8_t> bytes) const;
    void ReportError(int code, std::string_view argument) const;
    void ShowNotice(std::string_view utf8) const;

    PictureServices services_;
};

}  // namespace talu::stage
