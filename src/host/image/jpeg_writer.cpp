#include "host/image/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace talu::host {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The library's standard handler ends the program on any error; a failed snapshot must not
// end the book, so errors jump back here and the write fails instead.
struct ErrorManager {
    jpeg_error_mgr standard;
    std::jmp_buf escape;
};

[[noreturn]] void OnLibraryError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(manager->escape, 1);
}

// Only trivially destructible objects live in this frame, so the jump back is well defined.
bool Compress(std::FILE* out, const JpegImage& image, int quality) {
    jpeg_compress_struct cinfo{};
    ErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = OnLibraryError;
    // Zeroed first: an error inside jpeg_create_compress lands here with no memory manager.
    if (setjmp(errors.escape) != 0) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const JDIMENSION rowBytes = cinfo.image_width * 3;
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                rowBytes, 1);
    for (int y = 0; y < image.height; ++y) {
        const int stored = image.bottomUp ? image.height - 1 - y : y;
        std::memcpy(row[0], image.rows.data() + static_cast<std::size_t>(stored) * image.stride,
                    rowBytes);
        jpeg_write_scanlines(&cinfo, row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool Valid(const JpegImage& image) {
    // JPEG frames hold at most 65500 pixels a side.
    constexpr int kMaxSide = 65500;
    return image.width > 0 && image.height > 0 && image.width <= kMaxSide &&
           image.height <= kMaxSide && image.stride >= image.width * 3 &&
           image.rows.size() >= static_cast<std::size_t>(image.stride) * image.height;
}

}  // namespace

bool WriteJpeg(const std::filesystem::path& file, const JpegImage& image, int quality) {
    if (!Valid(image)) {
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(file.c_str(), "wb"));
    if (!out) {
        return false;
    }
    bool written = Compress(out.get(), image, quality) && std::fflush(out.get()) == 0 &&
                   !std::ferror(out.get());
    written = std::fclose(out.release()) == 0 && written;
    if (!written) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
    }
    return written;
}

}  // namespace talu::host
