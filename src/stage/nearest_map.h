#pragma once

#include <cstdint>
#include <vector>

// Nearest-neighbour sampling tables: entry i is the source index that target index i reads.
namespace talu::stage {

/// The blit's stretch: target i of length targetLength reads start + i x sourceLength /
/// targetLength (exact integer division); entries outside 0..limit-1 are -1 (nothing to read).
std::vector<int> StretchMap(int64_t start, int64_t sourceLength, int64_t targetLength, int limit);

/// Picture scaling: target i reads trunc(i x ratio) with ratio = sourceLength / targetLength in
/// double precision, kept below sourceLength. Both lengths must be positive.
std::vector<int> ScaleMap(int sourceLength, int targetLength);

}  // namespace talu::stage
