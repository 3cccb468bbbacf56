// Any bytes as a cursor file: the reader must refuse or decode without reading outside its input,
// and what it decodes must keep within the caps it promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "stage/cursor_file.h"
#include "stage/icon_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace talu::stage;
    const auto frames = ReadCursorData(std::span<const std::uint8_t>(data, size));
    if (!frames) {
        return 0;
    }
    if (frames->empty() || frames->size() > kMaxCursorFrames) {
        std::abort();
    }
    for (const CursorImage& frame : *frames) {
        const auto& image = frame.image;
        if (image.width < 1 || image.width > kMaxIconSide || image.height < 1 ||
            image.height > kMaxIconSide ||
            image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4 ||
            frame.hotX < 0 || frame.hotX >= image.width || frame.hotY < 0 ||
            frame.hotY >= image.height || frame.durationMs < 0 ||
            frame.durationMs > kMaxCursorStepMs) {
            std::abort();
        }
    }
    return 0;
}
