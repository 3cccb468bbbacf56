#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/book.h"

// Beside a bookmark slot, tale.03.place: a fingerprint of the book file the slot's position
// names and of the items around the saved one, so that a load into an edited book finds the same
// text again. ASCII, LF line ends, four lines:
//   talu place 1
//   slot HASH             the hash of the .bmk's bytes it belongs to
//   items COUNT HASH      the position file's items
//   around BEFORE AFTER HASH   the items just before and from the saved index
// HASH is 16 lower-case hex digits (64-bit FNV-1a).
namespace talu::app {

/// A place file larger than this is not read: the four lines fit in far less.
inline constexpr std::size_t kMaxPlaceFileBytes = 256;
/// How many items on each side of the saved index the place keeps.
inline constexpr int kPlaceContext = 4;

struct SlotPlace {
    std::uint64_t slotHash = 0;
    std::size_t itemCount = 0;
    std::uint64_t itemsHash = 0;
    int before = 0;
    int after = 0;
    std::uint64_t aroundHash = 0;

    bool operator==(const SlotPlace&) const = default;
};

/// 64-bit FNV-1a of bytes.
std::uint64_t PlaceHash(std::string_view bytes);

/// The place of index in items, for the slot whose file holds slotBytes; nullopt when index is
/// not within items (a slot at the top of a book keeps no place).
std::optional<SlotPlace> MakeSlotPlace(const std::vector<script::Book::Item>& items, int index,
                                       std::string_view slotBytes);

std::string FormatSlotPlace(const SlotPlace& place);
/// Reads the four lines strictly; anything else is nullopt.
std::optional<SlotPlace> ParseSlotPlace(std::string_view bytes);
/// The place at an inside path: a regular file, never a link, of at most kMaxPlaceFileBytes that
/// parses; nullopt for anything else and for a missing file.
std::optional<SlotPlace> ReadSlotPlace(const std::string& insidePath);

/// True when items are the ones the place was taken from.
bool SameItems(const SlotPlace& place, const std::vector<script::Book::Item>& items);
/// The index in items where the items around the place stand again, the nearest to oldIndex;
/// nullopt when they stand nowhere.
std::optional<int> FindSlotPlace(const SlotPlace& place,
                                 const std::vector<script::Book::Item>& items, int oldIndex);

}  // namespace talu::app
