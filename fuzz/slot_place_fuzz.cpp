// The slot's place on arbitrary bytes: the reader takes only what it writes back the same, and a
// place taken from any items (the input's lines) is found again where it was taken.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/slot_place.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (const auto place = talu::app::ParseSlotPlace(bytes)) {
        if (talu::app::ParseSlotPlace(talu::app::FormatSlotPlace(*place)) != place) {
            std::abort();
        }
    }
    std::vector<talu::script::Book::Item> items;
    for (std::size_t start = 0; start < bytes.size() && items.size() < 64;) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        items.push_back({bytes.substr(start, end - start)});
        start = end + 1;
    }
    const int index = static_cast<int>(size % (items.size() + 1));
    const auto place = talu::app::MakeSlotPlace(items, index, bytes);
    if (!place || !talu::app::SameItems(*place, items) ||
        talu::app::FindSlotPlace(*place, items, index) != index ||
        talu::app::ParseSlotPlace(talu::app::FormatSlotPlace(*place)) != place) {
        std::abort();
    }
    return 0;
}
