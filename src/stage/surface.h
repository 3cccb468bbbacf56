#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "stage/dib_view.h"
#include "stage/pixel_format.h"
#include "stage/rect.h"

// The off-screen picture every part of the stage works on: an owned 16-bit buffer in the
// display's format, standing for the old system-memory surface with its fill, key and blit.
namespace talu::stage {

/// The colour value that names no colour (NativeColour then reads pixel (0,0) back).
inline constexpr uint32_t kInvalidColour = 0xFFFFFFFF;
/// Largest width or height a surface may have; bigger requests fail like any platform refusal.
inline constexpr int kMaxSurfaceSide = 16384;

/// CopyTo flag: source pixels equal to the source surface's key leave the target unchanged.
inline constexpr uint32_t kCopyKeySource = 1u << 1;

/// A 16-bit picture buffer with a pixel format and an optional source colour key.
/// Not copyable; moving hands the buffer over and leaves the source unloaded.
class Surface {
  public:
    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;
    ~Surface() = default;

    /// Allocates a width x height buffer (contents zero) in format; any previous buffer and key are
    /// dropped. False, leaving the surface unloaded, for sizes outside 1..kMaxSurfaceSide or when
    /// memory runs out.
    bool Create(int width, int height, const PixelFormat& format);
    /// Frees the buffer and forgets the key; the surface becomes unloaded. Always succeeds.
    void Release();
    /// True while a buffer is held.
    bool IsLoaded() const { return !pixels_.empty(); }

    /// Width in pixels (0 when unloaded).
    int Width() const { return width_; }
    /// Height in pixels (0 when unloaded).
    int Height() const { return height_; }
    /// Pixels per row in memory; may exceed Width (0 when unloaded).
    int Pitch() const { return pitch_; }
    /// The whole surface as a rectangle (0, 0, Width, Height).
    Rect Bounds() const { return Rect{0, 0, width_, height_}; }

    /// The pixel layout (meaningful only while loaded).
    const PixelFormat& Format() const { return format_; }

    /// Row y of the buffer (0 <= y < Height, only while loaded; rows lie Pitch pixels apart and
    /// stay valid until Release, Create or a move); owned by the surface.
    uint16_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * pitch_; }
    /// Row y of the buffer, read only.
    const uint16_t* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * pitch_;
    }

    /// The raw 16-bit value of a 24-bit colour (red in bits 0-7) in this surface's format.
    /// kInvalidColour gives the raw value of pixel (0,0); an unloaded surface gives kInvalidColour.
    uint32_t NativeColour(uint32_t colour) const;
    /// Sets every pixel to the native value of colour.
    void Fill(uint32_t colour);
    /// Sets every pixel of rect (clipped to the surface) to the native value of colour.
    void FillRect(const Rect& rect, uint32_t colour);

    /// Makes the native value of colour this surface's source key; later copies pass
    /// kCopyKeySource through BlitFlags.
    void SetSourceKey(uint32_t colour);
    /// The raw key value; false (value untouched) when the surface has no key.
    bool GetSourceKey(uint32_t& value) const;
    /// 0, or kCopyKeySource once a key is set: the flags every copy from this surface passes.
    uint32_t BlitFlags() const { return hasKey_ ? kCopyKeySource : 0; }

    /// Copies source (a rectangle of this surface) to targetRect of target, clipped to both
    /// surfaces; different sizes stretch by nearest neighbour. With kCopyKeySource and a key set,
    /// key pixels are skipped. Copying within one surface reads the source before writing.
    /// False when nothing could be copied (unloaded surfaces, empty or fully clipped rectangles).
    bool CopyTo(const Rect& source, Surface& target, const Rect& targetRect, uint32_t flags) const;
    /// Fills this loaded surface from the whole of source by nearest-neighbour sampling, copying
    /// raw values. False when either surface is unloaded.
    bool CopyScaled(const Surface& source);

    /// Creates this surface in format from a 4-, 8- or 24-bit bitmap, scaled to width x height
    /// (0 keeps the bitmap's size). False, leaving the surface unloaded, for other depths, sizes
    /// out of range or too few pixel bytes.
    bool FromDib(const DibView& dib, const PixelFormat& format, int width = 0, int height = 0);
    /// The surface as a 24-bit BMP file image (pixel data at offset 1078); empty when unloaded.
    std::vector<uint8_t> EncodeBmp() const;
    /// Writes EncodeBmp to a host file; false when unloaded or the file cannot be written.
    bool WriteBmp(const std::filesystem::path& file) const;

  private:
    std::vector<uint16_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    int pitch_ = 0;
    PixelFormat format_;
    bool hasKey_ = false;
    uint16_t key_ = 0;
};

}  // namespace talu::stage
