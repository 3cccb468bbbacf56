#pragma once

#include <cstdint>

#include "stage/pixel_format.h"

// Row kernels shared by the blends, filters and effects. Each works on the channel fields of
// the pixels (shifted down to bit 0), so every intermediate fits 16 bits and the loops vectorise;
// the results equal the masked formulas ((pixel & m) x w ...) >> n & m bit for bit.
namespace talu::stage::kernels {

/// Field positions and maxima of a pixel format, in the form the kernels use.
struct Fields {
    uint16_t rShift, gShift, bShift;
    uint16_t rMax, gMax, bMax;
    explicit Fields(const PixelFormat& f)
        : rShift(f.red.shift),
          gShift(f.green.shift),
          bShift(f.blue.shift),
          rMax(f.red.max),
          gMax(f.green.max),
          bMax(f.blue.max) {}
};

/// row[x] = (front[x] x k + row[x] x (32 - k)) >> 5 per channel, k in 0..32. With keyed,
/// pixels whose front equals key stay as they are. front and row must not overlap.
void MixRow(const uint16_t* front, uint16_t* row, int count, uint16_t k, const Fields& f,
            bool keyed, uint16_t key);

/// row[x] = row[x] x k >> 5 per channel, k in 0..32.
void ScaleRow(uint16_t* row, int count, uint16_t k, const Fields& f);

/// out[x] = (out[x] x (256 - a) + front[x] x a) >> 8 per channel with a = alpha[x]. No two of
/// the arrays may overlap.
void MaskRow(const uint16_t* front, const uint8_t* alpha, uint16_t* out, int count,
             const Fields& f);

/// to[x] = from[x], except where from[x] equals key (only when keyed). from and to may overlap
/// only when not keyed.
void CopyRow(const uint16_t* from, uint16_t* to, int count, bool keyed, uint16_t key);

/// Pixels a filter row kernel leaves alone: those equal to key, when keyed.
struct KeyRule {
    bool keyed = false;
    uint16_t key = 0;
};

/// Each channel field becomes min(max, field x c >> 7) with c its tint component (0..255).
void TintRow(uint16_t* row, int count, const Fields& f, uint16_t cr, uint16_t cg, uint16_t cb,
             KeyRule rule);

/// Each pixel becomes the gray (r5 + g5 + b5) / 3 of its channels brought to 5 bits; with
/// sepia, blue becomes trunc(gray x 0.6).
void GrayRow(uint16_t* row, int count, const Fields& f, bool sepia, KeyRule rule);

/// Each pixel is combined by exclusive-or with bits.
void XorRow(uint16_t* row, int count, uint16_t bits, KeyRule rule);

}  // namespace talu::stage::kernels
