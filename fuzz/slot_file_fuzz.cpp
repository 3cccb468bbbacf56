// The bookmark slot reader on arbitrary bytes: it must refuse or accept without fault, and what
// it accepts must write back to a file that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/slot_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string problem;
    const auto slot = talu::app::ParseSlotFile(bytes, problem);
    if (!slot) {
        return 0;
    }
    const std::string written = talu::app::FormatSlotFile(*slot);
    const auto again = talu::app::ParseSlotFile(written, problem);
    if (!again || talu::app::FormatSlotFile(*again) != written) {
        std::abort();
    }
    return 0;
}
