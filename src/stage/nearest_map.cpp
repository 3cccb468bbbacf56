#include "stage/nearest_map.h"

#include <algorithm>

namespace talu::stage {

std::vector<int> StretchMap(int64_t start, int64_t sourceLength, int64_t targetLength, int limit) {
    std::vector<int> map(static_cast<std::size_t>(targetLength));
    for (int64_t i = 0; i < targetLength; ++i) {
        const int64_t at = start + i * sourceLength / targetLength;
        map[static_cast<std::size_t>(i)] = (at >= 0 && at < limit) ? static_cast<int>(at) : -1;
    }
    return map;
}

std::vector<int> ScaleMap(int sourceLength, int targetLength) {
    std::vector<int> map(static_cast<std::size_t>(targetLength));
    const double ratio = static_cast<double>(sourceLength) / targetLength;
    for (int i = 0; i < targetLength; ++i) {
        map[static_cast<std::size_t>(i)] = std::min(static_cast<int>(i * ratio), sourceLength - 1);
    }
    return map;
}

}  // namespace talu::stage
