#include "stage/pixel_kernels.h"

#include <cstring>

// Hosts with wider vector units get a clone of each kernel built for them, picked at load time.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TALU_PIXEL_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TALU_PIXEL_CLONES
#endif
#define TALU_INLINE inline __attribute__((always_inline))

namespace talu::stage::kernels {

namespace {

// The two display layouts with their fields known at compile time, so shifts are constants.
struct Layout565 {
    static constexpr uint16_t rs = 11, gs = 5, bs = 0, rm = 31, gm = 63, bm = 31;
};
struct Layout555 {
    static constexpr uint16_t rs = 10, gs = 5, bs = 0, rm = 31, gm = 31, bm = 31;
};
// Any other layout, read at run time.
struct LayoutAny {
    uint16_t rs, gs, bs, rm, gm, bm;
    explicit LayoutAny(const Fields& f)
        : rs(f.rShift), gs(f.gShift), bs(f.bShift), rm(f.rMax), gm(f.gMax), bm(f.bMax) {}
};

bool Is565(const Fields& f) {
    return f.rShift == 11 && f.gShift == 5 && f.bShift == 0 && f.rMax == 31 && f.gMax == 63 &&
           f.bMax == 31;
}
bool Is555(const Fields& f) {
    return f.rShift == 10 && f.gShift == 5 && f.bShift == 0 && f.rMax == 31 && f.gMax == 31 &&
           f.bMax == 31;
}

// Runs body with the layout that matches f.
template <typename Body>
TALU_INLINE void WithLayout(const Fields& f, Body body) {
    if (Is565(f)) {
        body(Layout565{});
    } else if (Is555(f)) {
        body(Layout555{});
    } else {
        body(LayoutAny(f));
    }
}

// a when keep, else b, as bit operations: a branch-free form the vectoriser keeps in 16-bit lanes.
TALU_INLINE uint16_t Select(bool keep, uint16_t a, uint16_t b) {
    const auto mask = static_cast<uint16_t>(-static_cast<int>(keep));
    return static_cast<uint16_t>((a & mask) | (b & ~mask));
}

template <typename L>
TALU_INLINE uint16_t Pack(const L& l, uint16_t r, uint16_t g, uint16_t b) {
    return static_cast<uint16_t>(r << l.rs | g << l.gs | b << l.bs);
}

// Field of a channel: (p >> shift) & max.
TALU_INLINE uint16_t F(uint16_t p, uint16_t shift, uint16_t max) {
    return static_cast<uint16_t>((p >> shift) & max);
}

template <typename L>
TALU_INLINE void Mix(const L& l, const uint16_t* __restrict front, uint16_t* __restrict row,
                     int count, uint16_t k, bool keyed, uint16_t key) {
    const auto nk = static_cast<uint16_t>(32 - k);
    for (int x = 0; x < count; ++x) {
        const uint16_t s = front[x];
        const uint16_t t = row[x];
        const auto r = static_cast<uint16_t>(F(s, l.rs, l.rm) * k + F(t, l.rs, l.rm) * nk);
        const auto g = static_cast<uint16_t>(F(s, l.gs, l.gm) * k + F(t, l.gs, l.gm) * nk);
        const auto b = static_cast<uint16_t>(F(s, l.bs, l.bm) * k + F(t, l.bs, l.bm) * nk);
        const uint16_t mixed = Pack(l, r >> 5, g >> 5, b >> 5);
        row[x] = Select(keyed && s == key, t, mixed);
    }
}

template <typename Op>
TALU_INLINE void MapRow(uint16_t* row, int count, KeyRule rule, Op op) {
    for (int x = 0; x < count; ++x) {
        const uint16_t p = row[x];
        row[x] = Select(rule.keyed && p == rule.key, p, op(p));
    }
}

// min(m, ((p & m) x c) >> 7) on the masked value equals min(max, (field x c) >> 7) placed back.
TALU_INLINE uint16_t Tint(uint16_t field, uint16_t c, uint16_t max) {
    const auto v = static_cast<uint16_t>(static_cast<uint16_t>(field * c) >> 7);
    return v < max ? v : max;
}

// Three 5-bit fields sum to at most 93; for those sums this multiply-shift equals sum / 3.
constexpr uint16_t DivideBy3(uint32_t sum) {
    return static_cast<uint16_t>((sum * 171) >> 9);
}
// trunc(gray x 0.6) for gray 0..31, equal to the old floating-point result.
constexpr uint16_t SepiaBlue(uint32_t gray) {
    return static_cast<uint16_t>((gray * 615) >> 10);
}

constexpr bool ShortcutsHold() {
    for (uint32_t s = 0; s <= 93; ++s) {
        if (DivideBy3(s) != s / 3) {
            return false;
        }
    }
    for (uint32_t g = 0; g < 32; ++g) {
        if (SepiaBlue(g) != g * 3 / 5) {
            return false;
        }
    }
    return true;
}
static_assert(ShortcutsHold());

// Bits a channel of this maximum drops to reach 5 bits.
TALU_INLINE uint16_t To5(uint16_t max) {
    return max == 63 ? 1 : 0;
}

}  // namespace

TALU_PIXEL_CLONES void MixRow(const uint16_t* __restrict front, uint16_t* __restrict row, int count,
                              uint16_t k, const Fields& f, bool keyed, uint16_t key) {
    WithLayout(f, [&](const auto& l) {
        if (keyed) {
            Mix(l, front, row, count, k, true, key);
        } else {
            Mix(l, front, row, count, k, false, key);
        }
    });
}

TALU_PIXEL_CLONES void ScaleRow(uint16_t* row, int count, uint16_t k, const Fields& f) {
    WithLayout(f, [&](const auto& l) {
        for (int x = 0; x < count; ++x) {
            const uint16_t p = row[x];
            const auto r = static_cast<uint16_t>(F(p, l.rs, l.rm) * k);
            const auto g = static_cast<uint16_t>(F(p, l.gs, l.gm) * k);
            const auto b = static_cast<uint16_t>(F(p, l.bs, l.bm) * k);
            row[x] = Pack(l, r >> 5, g >> 5, b >> 5);
        }
    });
}

TALU_PIXEL_CLONES void MaskRow(const uint16_t* __restrict front, const uint8_t* __restrict alpha,
                               uint16_t* __restrict out, int count, const Fields& f) {
    WithLayout(f, [&](const auto& l) {
        for (int x = 0; x < count; ++x) {
            const uint16_t a = alpha[x];
            const auto na = static_cast<uint16_t>(256 - a);
            const uint16_t s = front[x];
            const uint16_t t = out[x];
            const auto r = static_cast<uint16_t>(F(t, l.rs, l.rm) * na + F(s, l.rs, l.rm) * a);
            const auto g = static_cast<uint16_t>(F(t, l.gs, l.gm) * na + F(s, l.gs, l.gm) * a);
            const auto b = static_cast<uint16_t>(F(t, l.bs, l.bm) * na + F(s, l.bs, l.bm) * a);
            out[x] = Pack(l, r >> 8, g >> 8, b >> 8);
        }
    });
}

TALU_PIXEL_CLONES void CopyRow(const uint16_t* from, uint16_t* to, int count, bool keyed,
                               uint16_t key) {
    if (!keyed) {
        std::memmove(to, from, static_cast<std::size_t>(count) * sizeof(uint16_t));
        return;
    }
    for (int x = 0; x < count; ++x) {
        const uint16_t v = from[x];
        to[x] = v == key ? to[x] : v;
    }
}

TALU_PIXEL_CLONES void TintRow(uint16_t* row, int count, const Fields& f, uint16_t cr, uint16_t cg,
                               uint16_t cb, KeyRule rule) {
    WithLayout(f, [&](const auto& l) {
        MapRow(row, count, rule, [&](uint16_t p) {
            return Pack(l, Tint(F(p, l.rs, l.rm), cr, l.rm), Tint(F(p, l.gs, l.gm), cg, l.gm),
                        Tint(F(p, l.bs, l.bm), cb, l.bm));
        });
    });
}

TALU_PIXEL_CLONES void GrayRow(uint16_t* row, int count, const Fields& f, bool sepia,
                               KeyRule rule) {
    WithLayout(f, [&](const auto& l) {
        const uint16_t r5 = To5(l.rm), g5 = To5(l.gm), b5 = To5(l.bm);
        auto gray = [&](uint16_t p) {
            return DivideBy3((F(p, l.rs, l.rm) >> r5) + (F(p, l.gs, l.gm) >> g5) +
                             (F(p, l.bs, l.bm) >> b5));
        };
        if (sepia) {
            MapRow(row, count, rule, [&](uint16_t p) {
                const uint16_t v = gray(p);
                return Pack(l, v << r5, v << g5, SepiaBlue(v) << b5);
            });
        } else {
            MapRow(row, count, rule, [&](uint16_t p) {
                const uint16_t v = gray(p);
                return Pack(l, v << r5, v << g5, v << b5);
            });
        }
    });
}

TALU_PIXEL_CLONES void XorRow(uint16_t* row, int count, uint16_t bits, KeyRule rule) {
    MapRow(row, count, rule, [bits](uint16_t p) { return static_cast<uint16_t>(p ^ bits); });
}

}  // namespace talu::stage::kernels
