// The slot's backlog reader on arbitrary bytes: it keeps what it can read without fault, and what
// it keeps writes back to a log that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/backlog_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto entries = talu::app::ParseBacklog(bytes);
    if (talu::app::ParseBacklog(talu::app::FormatBacklog(entries)) != entries) {
        std::abort();
    }
    return 0;
}
