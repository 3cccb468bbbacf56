// The pages-read file on arbitrary bytes: read in time and memory that grow with its length, it
// keeps what it trusts, and what it keeps writes back to a file that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/page_ranges.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    talu::app::PageRanges pages;
    pages.Read(bytes);
    // Every range costs at least two bytes of the file ("0,"), the header aside.
    if (pages.RangeCount() > size / 2 + 1) {
        std::abort();
    }
    const std::string written = pages.Text();
    talu::app::PageRanges again;
    if (!again.Read(written) || again.Text() != written) {
        std::abort();
    }
    return 0;
}
