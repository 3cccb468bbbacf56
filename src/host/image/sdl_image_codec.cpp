#include "host/image/sdl_image_codec.h"

#include <SDL.h>
#include <SDL_image.h>

#include <array>
#include <climits>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <system_error>

namespace talu::host {
namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfaceHandle = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// The formats SDL2_image reads, by the extensions books give them. needs names the optional
// library the format depends on (0 when SDL2_image reads it by itself). Each goes to its own
// loader: SDL2_image's own sniffing ignores the type asked for and would, say, hand a JPEG that
// mentions "<svg" to the SVG reader.
struct FormatName {
    std::string_view extension;
    SDL_Surface* (*load)(SDL_RWops*);
    int needs;
};

constexpr std::array kFormats = {
    FormatName{"PNG", IMG_LoadPNG_RW, IMG_INIT_PNG},
    FormatName{"JPG", IMG_LoadJPG_RW, IMG_INIT_JPG},
    FormatName{"JPEG", IMG_LoadJPG_RW, IMG_INIT_JPG},
    FormatName{"JPE", IMG_LoadJPG_RW, IMG_INIT_JPG},
    FormatName{"JFIF", IMG_LoadJPG_RW, IMG_INIT_JPG},
    FormatName{"TIF", IMG_LoadTIF_RW, IMG_INIT_TIF},
    FormatName{"TIFF", IMG_LoadTIF_RW, IMG_INIT_TIF},
    FormatName{"WEBP", IMG_LoadWEBP_RW, IMG_INIT_WEBP},
    FormatName{"AVIF", IMG_LoadAVIF_RW, IMG_INIT_AVIF},
    FormatName{"JXL", IMG_LoadJXL_RW, IMG_INIT_JXL},
    FormatName{"GIF", IMG_LoadGIF_RW, 0},
    FormatName{"TGA", IMG_LoadTGA_RW, 0},
    FormatName{"PCX", IMG_LoadPCX_RW, 0},
    FormatName{"ICO", IMG_LoadICO_RW, 0},
    FormatName{"CUR", IMG_LoadCUR_RW, 0},
    FormatName{"LBM", IMG_LoadLBM_RW, 0},
    FormatName{"IFF", IMG_LoadLBM_RW, 0},
    FormatName{"PNM", IMG_LoadPNM_RW, 0},
    FormatName{"PPM", IMG_LoadPNM_RW, 0},
    FormatName{"PGM", IMG_LoadPNM_RW, 0},
    FormatName{"PBM", IMG_LoadPNM_RW, 0},
    FormatName{"XPM", IMG_LoadXPM_RW, 0},
    FormatName{"XCF", IMG_LoadXCF_RW, 0},
    FormatName{"XV", IMG_LoadXV_RW, 0},
    FormatName{"QOI", IMG_LoadQOI_RW, 0},
    FormatName{"SVG", IMG_LoadSVG_RW, 0},
};

// Optional format libraries are looked up once per process; they stay loaded until exit.
int AvailableLibraries() {
    static const int available = IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG | IMG_INIT_TIF |
                                          IMG_INIT_WEBP | IMG_INIT_JXL | IMG_INIT_AVIF);
    return available;
}

const FormatName* FindFormat(std::string_view extension) {
    for (const FormatName& format : kFormats) {
        if (format.extension == extension) {
            return &format;
        }
    }
    return nullptr;
}

std::uint32_t BigEndian16(std::span<const std::uint8_t> b, std::size_t at) {
    return (std::uint32_t{b[at]} << 8) | b[at + 1];
}

std::uint32_t BigEndian32(std::span<const std::uint8_t> b, std::size_t at) {
    return (BigEndian16(b, at) << 16) | BigEndian16(b, at + 2);
}

// The JPEG frame size from the first start-of-frame marker, walking the segment lengths.
std::optional<std::pair<std::uint32_t, std::uint32_t>> JpegSize(std::span<const std::uint8_t> b) {
    std::size_t at = 2;
    while (at + 9 <= b.size()) {
        if (b[at] != 0xFF) {
            return std::nullopt;
        }
        std::uint8_t marker = b[at + 1];
        bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            return std::pair{BigEndian16(b, at + 7), BigEndian16(b, at + 5)};
        }
        at += 2 + BigEndian16(b, at + 2);
    }
    return std::nullopt;
}

// The picture size a header declares, for the formats that keep it near the start, so that a
// header asking for gigabytes is refused before the decoder allocates them.
std::optional<std::pair<std::uint32_t, std::uint32_t>> DeclaredSize(
    std::span<const std::uint8_t> b) {
    if (b.size() >= 24 && std::memcmp(b.data(), "\x89PNG\r\n\x1A\n", 8) == 0) {
        return std::pair{BigEndian32(b, 16), BigEndian32(b, 20)};
    }
    if (b.size() >= 10 && std::memcmp(b.data(), "GIF8", 4) == 0) {
        return std::pair{std::uint32_t{b[6]} | (std::uint32_t{b[7]} << 8),
                         std::uint32_t{b[8]} | (std::uint32_t{b[9]} << 8)};
    }
    if (b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8) {
        return JpegSize(b);
    }
    return std::nullopt;
}

// The format our own header check names, for the formats whose signature it knows.
const FormatName* FormatOfHeader(std::span<const std::uint8_t> b) {
    if (b.size() >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1A\n", 8) == 0) {
        return FindFormat("PNG");
    }
    if (b.size() >= 4 && std::memcmp(b.data(), "GIF8", 4) == 0) {
        return FindFormat("GIF");
    }
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
        return FindFormat("JPG");
    }
    return nullptr;
}

bool TooLarge(std::uint64_t width, std::uint64_t height, const DecodeOptions& options) {
    const auto maxSide = static_cast<std::uint64_t>(options.maxSide);
    return width > maxSide || height > maxSide || width * height > options.maxPixels;
}

std::optional<DecodedImage> Decode(std::span<const std::uint8_t> bytes,
                                   const DecodeOptions& options) {
    if (auto declared = DeclaredSize(bytes)) {
        if (TooLarge(declared->first, declared->second, options)) {
            return std::nullopt;
        }
    }
    AvailableLibraries();
    // As the old plug-ins did, the header decides for the formats it names, so a misnamed PNG
    // still opens; the extension decides for the rest.
    const FormatName* format = FormatOfHeader(bytes);
    if (format == nullptr && !options.extension.empty()) {
        format = FindFormat(options.extension);
    }
    if (format == nullptr) {
        return std::nullopt;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (stream == nullptr) {
        return std::nullopt;
    }
    SurfaceHandle loaded(format->load(stream));
    SDL_RWclose(stream);
    if (!loaded || loaded->w <= 0 || loaded->h <= 0 ||
        TooLarge(static_cast<std::uint64_t>(loaded->w), static_cast<std::uint64_t>(loaded->h),
                 options)) {
        return std::nullopt;
    }
    const Uint32 wanted = options.keepAlpha ? SDL_PIXELFORMAT_BGRA32 : SDL_PIXELFORMAT_BGR24;
    SurfaceHandle converted(SDL_ConvertSurfaceFormat(loaded.get(), wanted, 0));
    loaded.reset();
    if (!converted || SDL_LockSurface(converted.get()) != 0) {
        return std::nullopt;
    }
    DecodedImage image;
    image.width = converted->w;
    image.height = converted->h;
    image.bitsPerPixel = options.keepAlpha ? 32 : 24;
    image.stride = ((image.width * image.bitsPerPixel + 31) / 32) * 4;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * image.bitsPerPixel / 8;
    image.rows.assign(static_cast<std::size_t>(image.stride) * image.height, 0);
    const auto* source = static_cast<const std::uint8_t*>(converted->pixels);
    for (int y = 0; y < image.height; ++y) {
        // SDL rows run top-down; bitmap rows bottom-up.
        std::memcpy(
            image.rows.data() + static_cast<std::size_t>(image.height - 1 - y) * image.stride,
            source + static_cast<std::size_t>(y) * converted->pitch, rowBytes);
    }
    SDL_UnlockSurface(converted.get());
    return image;
}

}  // namespace

bool CanDecodeExtension(std::string_view extension) {
    const FormatName* format = FindFormat(extension);
    return format != nullptr && (format->needs & AvailableLibraries()) == format->needs;
}

std::optional<DecodedImage> DecodeImage(std::span<const std::uint8_t> bytes,
                                        const DecodeOptions& options) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    // A picture that does not fit in memory is one the player cannot open, not the end of it.
    try {
        return Decode(bytes, options);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

namespace {

bool ValidImage(const RgbaImage& image) {
    return image.width > 0 && image.height > 0 && image.width <= INT_MAX / 4 &&
           image.pixels.size() == static_cast<std::size_t>(image.width) * 4 * image.height;
}

SurfaceHandle SurfaceOver(const RgbaImage& image) {
    // SDL only reads the pixels here, but its API takes them as writable.
    void* pixels = const_cast<std::uint8_t*>(image.pixels.data());
    return SurfaceHandle(SDL_CreateRGBSurfaceWithFormatFrom(
        pixels, image.width, image.height, 32, image.width * 4, SDL_PIXELFORMAT_RGBA32));
}

// An SDL stream that appends to a string, so a PNG can be made in memory and then put in place
// atomically by the caller.
struct StringStream {
    std::string* bytes;
    Sint64 position = 0;
};

StringStream& StreamOf(SDL_RWops* ops) {
    return *static_cast<StringStream*>(ops->hidden.unknown.data1);
}

Sint64 StreamSize(SDL_RWops* ops) {
    return static_cast<Sint64>(StreamOf(ops).bytes->size());
}

Sint64 StreamSeek(SDL_RWops* ops, Sint64 offset, int whence) {
    StringStream& stream = StreamOf(ops);
    const Sint64 base = whence == RW_SEEK_SET   ? 0
                        : whence == RW_SEEK_CUR ? stream.position
                                                : static_cast<Sint64>(stream.bytes->size());
    if (base + offset < 0) {
        return -1;
    }
    stream.position = base + offset;
    return stream.position;
}

std::size_t StreamRead(SDL_RWops*, void*, std::size_t, std::size_t) {
    return 0;
}

std::size_t StreamWrite(SDL_RWops* ops, const void* data, std::size_t size, std::size_t count) {
    StringStream& stream = StreamOf(ops);
    const std::size_t length = size * count;
    const auto at = static_cast<std::size_t>(stream.position);
    if (stream.bytes->size() < at + length) {
        stream.bytes->resize(at + length);
    }
    std::memcpy(stream.bytes->data() + at, data, length);
    stream.position += static_cast<Sint64>(length);
    return count;
}

int StreamClose(SDL_RWops* ops) {
    SDL_FreeRW(ops);
    return 0;
}

}  // namespace

std::optional<std::string> EncodePng(const RgbaImage& image) {
    if (!ValidImage(image)) {
        return std::nullopt;
    }
    SurfaceHandle surface = SurfaceOver(image);
    SDL_RWops* out = surface ? SDL_AllocRW() : nullptr;
    if (out == nullptr) {
        return std::nullopt;
    }
    std::string bytes;
    StringStream stream{&bytes};
    out->size = StreamSize;
    out->seek = StreamSeek;
    out->read = StreamRead;
    out->write = StreamWrite;
    out->close = StreamClose;
    out->type = SDL_RWOPS_UNKNOWN;
    out->hidden.unknown.data1 = &stream;
    const bool saved = IMG_SavePNG_RW(surface.get(), out, 1) == 0;  // frees out
    if (!saved || bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

bool WritePng(const std::filesystem::path& file, const RgbaImage& image) {
    const std::optional<std::string> bytes = EncodePng(image);
    if (!bytes) {
        return false;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    // Closing flushes the last bytes: a full disk shows up only there.
    out.close();
    if (out) {
        return true;
    }
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec)) {  // never a device such as /dev/full
        std::filesystem::remove(file, ec);
    }
    return false;
}

}  // namespace talu::host
