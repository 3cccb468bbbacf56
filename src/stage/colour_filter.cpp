#include "stage/colour_filter.h"

#include "script/vocabularies.h"
#include "stage/pixel_kernels.h"

namespace talu::stage {

namespace {

using script::kFilterInverse;
using script::kFilterMono;
using script::kFilterSepia;

constexpr uint32_t kLargestTint = 0xFFFFFF;

// Runs kernel on every row of surface, sparing the key pixels.
template <typename Kernel>
void EachRow(Surface& surface, Kernel kernel) {
    kernels::KeyRule rule;
    uint32_t key = 0;
    rule.keyed = surface.GetSourceKey(key);
    rule.key = static_cast<uint16_t>(key);
    for (int y = 0; y < surface.Height(); ++y) {
        kernel(surface.Row(y), surface.Width(), rule);
    }
}

}  // namespace

bool ApplyFilter(Surface& surface, uint32_t filter) {
    if (!surface.IsLoaded()) {
        return false;
    }
    const bool tint = filter <= kLargestTint;
    if (!tint && filter != kFilterMono && filter != kFilterSepia && filter != kFilterInverse) {
        return true;
    }
    const PixelFormat& f = surface.Format();
    const kernels::Fields fields(f);
    if (filter == kFilterInverse) {
        const auto all = static_cast<uint16_t>(f.red.mask | f.green.mask | f.blue.mask);
        EachRow(surface, [all](uint16_t* row, int n, kernels::KeyRule rule) {
            kernels::XorRow(row, n, all, rule);
        });
    } else if (tint) {
        const auto r = static_cast<uint16_t>(filter & 0xFF);
        const auto g = static_cast<uint16_t>((filter >> 8) & 0xFF);
        const auto b = static_cast<uint16_t>((filter >> 16) & 0xFF);
        EachRow(surface, [&](uint16_t* row, int n, kernels::KeyRule rule) {
            kernels::TintRow(row, n, fields, r, g, b, rule);
        });
    } else {
        const bool sepia = filter == kFilterSepia;
        EachRow(surface, [&](uint16_t* row, int n, kernels::KeyRule rule) {
            kernels::GrayRow(row, n, fields, sepia, rule);
        });
    }
    return true;
}

std::string FilterTagText(uint32_t filter) {
    std::string value;
    if (filter == kFilterMono) {
        value = "MONO";
    } else if (filter == kFilterInverse) {
        value = "INVERSE";
    } else if (filter == kFilterSepia) {
        value = "SEPIA";
    } else if (filter <= kLargestTint) {
        value = script::ColourText(filter);
    } else {
        return {};
    }
    return "<SUNGLASS COLOR=\"" + value + "\">";
}

}  // namespace talu::stage
