#include "app/slot_place.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "host/paths.h"
#include "host/regular_file.h"

namespace talu::app {
namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

void Mix(std::uint64_t& hash, std::string_view bytes) {
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * kFnvPrime;
    }
}

// Each item's length and kind go in too, so that items split differently never hash alike.
std::uint64_t ItemsHash(const std::vector<script::Book::Item>& items, std::size_t from,
                        std::size_t to) {
    std::uint64_t hash = kFnvOffset;
    for (std::size_t i = from; i < to; ++i) {
        const script::Book::Item& item = items[i];
        char head[48];
        const int length = std::snprintf(head, sizeof(head), "%zu:%d:", item.text.size(),
                                         static_cast<int>(item.kind));
        Mix(hash, std::string_view(head, static_cast<std::size_t>(length)));
        Mix(hash, item.text);
    }
    return hash;
}

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Reads one space-separated field from line: digits only (hex or decimal), no sign, no overflow.
template <typename Number>
bool TakeNumber(std::string_view& line, int base, std::size_t digits, Number& value) {
    const std::size_t end = std::min(line.find(' '), line.size());
    const std::string_view field = line.substr(0, end);
    if (field.empty() || (digits != 0 && field.size() != digits) ||
        (base == 16 && field.find_first_not_of("0123456789abcdef") != std::string_view::npos) ||
        (base == 10 && field.find_first_not_of("0123456789") != std::string_view::npos)) {
        return false;
    }
    const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value, base);
    if (ec != std::errc() || ptr != field.data() + field.size()) {
        return false;
    }
    line.remove_prefix(end == line.size() ? end : end + 1);
    return true;
}

bool TakeLine(std::string_view& bytes, std::string_view key, std::string_view& rest) {
    const std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos || !bytes.starts_with(key)) {
        return false;
    }
    rest = bytes.substr(key.size(), end - key.size());
    bytes.remove_prefix(end + 1);
    return true;
}

}  // namespace

std::uint64_t PlaceHash(std::string_view bytes) {
    std::uint64_t hash = kFnvOffset;
    Mix(hash, bytes);
    return hash;
}

std::optional<SlotPlace> MakeSlotPlace(const std::vector<script::Book::Item>& items, int index,
                                       std::string_view slotBytes) {
    if (index < 0 || static_cast<std::size_t>(index) > items.size()) {
        return std::nullopt;
    }
    const std::size_t at = static_cast<std::size_t>(index);
    SlotPlace place;
    place.slotHash = PlaceHash(slotBytes);
    place.itemCount = items.size();
    place.itemsHash = ItemsHash(items, 0, items.size());
    place.before = static_cast<int>(std::min<std::size_t>(kPlaceContext, at));
    place.after = static_cast<int>(std::min<std::size_t>(kPlaceContext, items.size() - at));
    place.aroundHash = ItemsHash(items, at - place.before, at + place.after);
    return place;
}

std::string FormatSlotPlace(const SlotPlace& place) {
    return "talu place 1\nslot " + Hex(place.slotHash) + "\nitems " +
           std::to_string(place.itemCount) + ' ' + Hex(place.itemsHash) + "\naround " +
           std::to_string(place.before) + ' ' + std::to_string(place.after) + ' ' +
           Hex(place.aroundHash) + '\n';
}

std::optional<SlotPlace> ParseSlotPlace(std::string_view bytes) {
    SlotPlace place;
    std::string_view line;
    if (!TakeLine(bytes, "talu place 1", line) || !line.empty() ||
        !TakeLine(bytes, "slot ", line) || !TakeNumber(line, 16, 16, place.slotHash) ||
        !line.empty() || !TakeLine(bytes, "items ", line) ||
        !TakeNumber(line, 10, 0, place.itemCount) || !TakeNumber(line, 16, 16, place.itemsHash) ||
        !line.empty() || !TakeLine(bytes, "around ", line) ||
        !TakeNumber(line, 10, 0, place.before) || !TakeNumber(line, 10, 0, place.after) ||
        !TakeNumber(line, 16, 16, place.aroundHash) || !line.empty() || !bytes.empty()) {
        return std::nullopt;
    }
    if (place.before > kPlaceContext || place.after > kPlaceContext) {
        return std::nullopt;
    }
    return place;
}

std::optional<SlotPlace> ReadSlotPlace(const std::string& insidePath) {
    const auto host = host::FindHostPath(insidePath, {});
    if (!host) {
        return std::nullopt;
    }
    const host::RegularFileRead file = host::ReadRegularFile(*host, kMaxPlaceFileBytes);
    return file.bytes ? ParseSlotPlace(*file.bytes) : std::nullopt;
}

bool SameItems(const SlotPlace& place, const std::vector<script::Book::Item>& items) {
    return items.size() == place.itemCount && ItemsHash(items, 0, items.size()) == place.itemsHash;
}

std::optional<int> FindSlotPlace(const SlotPlace& place,
                                 const std::vector<script::Book::Item>& items, int oldIndex) {
    const auto before = static_cast<std::size_t>(place.before);
    const auto after = static_cast<std::size_t>(place.after);
    std::optional<int> best;
    long bestDistance = 0;
    for (std::size_t at = before; at + after <= items.size(); ++at) {
        if (ItemsHash(items, at - before, at + after) != place.aroundHash) {
            continue;
        }
        const long distance = std::labs(static_cast<long>(at) - oldIndex);
        if (!best || distance < bestDistance) {
            best = static_cast<int>(at);
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace talu::app
