#include "stage/effect_steps.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "stage/pixel_kernels.h"

namespace talu::stage {

namespace {

// The 4 x 4 dissolve order, as (row, column) within a block.
constexpr std::array<int, 16> kCellRow = {0, 2, 0, 2, 1, 3, 1, 3, 0, 2, 0, 1, 1, 2, 3, 3};
constexpr std::array<int, 16> kCellCol = {0, 0, 2, 2, 1, 3, 3, 1, 1, 3, 3, 2, 0, 1, 0, 2};

// Slats of the blinds are 21 pixels; the front moves 20 pixels a step.
constexpr int64_t kSlat = 21;
constexpr int64_t kFrontStep = 20;

// Destinations wider or higher than this run no steps: no real screen comes near it, and the
// step count of an absurd rectangle would otherwise keep the worker busy for minutes.
constexpr int64_t kLargestSide = 2 * int64_t{kMaxSurfaceSide};

// Stage and screen pixels of one step. Every copy is cut to the part of the destination that
// lies inside both surfaces, so no rectangle a book or a window gives can reach outside them.
class Canvas {
  public:
    Canvas(const Surface& stage, Surface& screen, const Rect& d)
        : stage_(stage), screen_(screen), left_(d.left), top_(d.top) {
        const int64_t w = int64_t{d.right} - d.left;
        const int64_t h = int64_t{d.bottom} - d.top;
        x0_ = std::max<int64_t>(0, -left_);
        y0_ = std::max<int64_t>(0, -top_);
        x1_ = std::min({w, int64_t{stage.Width()}, int64_t{screen.Width()} - left_});
        y1_ = std::min({h, int64_t{stage.Height()}, int64_t{screen.Height()} - top_});
        if (!stage.IsLoaded() || !screen.IsLoaded()) {
            x1_ = x0_;
        }
    }

    bool IsEmpty() const { return x1_ <= x0_ || y1_ <= y0_; }
    int64_t X0() const { return x0_; }
    int64_t X1() const { return x1_; }
    int64_t Y0() const { return y0_; }
    int64_t Y1() const { return y1_; }
    const uint16_t* StageRow(int64_t y) const { return stage_.Row(static_cast<int>(y)); }
    uint16_t* ScreenPixel(int64_t x, int64_t y) {
        return screen_.Row(static_cast<int>(top_ + y)) + (left_ + x);
    }

    // Copies the pixels x = xStart + k * dx below xEnd in the rows y = yStart + m * dy below yEnd.
    void CopyGrid(int64_t xStart, int64_t dx, int64_t xEnd, int64_t yStart, int64_t dy,
                  int64_t yEnd) {
        const int64_t xs = FirstFrom(xStart, dx, x0_);
        const int64_t xe = std::min(xEnd, x1_);
        const int64_t ys = FirstFrom(yStart, dy, y0_);
        const int64_t ye = std::min(yEnd, y1_);
        if (xs >= xe) {
            return;
        }
        const int64_t span = xe - xs;
        for (int64_t y = ys; y < ye; y += dy) {
            const uint16_t* in = StageRow(y) + xs;
            uint16_t* out = ScreenPixel(xs, y);
            if (dx == 1) {
                std::memcpy(out, in, static_cast<std::size_t>(span) * 2);
                continue;
            }
            for (int64_t x = 0; x < span; x += dx) {
                out[x] = in[x];
            }
        }
    }

  private:
    // The first value start + k * step (k >= 0 when start < low) that is not below low.
    static int64_t FirstFrom(int64_t start, int64_t step, int64_t low) {
        if (start >= low) {
            return start;
        }
        return start + (low - start + step - 1) / step * step;
    }

    const Surface& stage_;
    Surface& screen_;
    int64_t left_;
    int64_t top_;
    int64_t x0_, x1_, y0_, y1_;
};

// An end that leaves a whole row or column to the canvas's own bounds.
constexpr int64_t kWhole = INT64_MAX;

int64_t Width(const Rect& r) {
    return int64_t{r.right} - r.left;
}
int64_t Height(const Rect& r) {
    return int64_t{r.bottom} - r.top;
}

void BlindForward(Canvas& c, int64_t i, int64_t extent, bool columns) {
    int64_t p = kFrontStep * i;
    if (p >= extent) {
        p -= kSlat * ((p - extent + kSlat) / kSlat);
    }
    if (p < 0) {
        return;
    }
    if (columns) {
        c.CopyGrid(p % kSlat, kSlat, p + 1, 0, 1, kWhole);
    } else {
        c.CopyGrid(0, 1, kWhole, p % kSlat, kSlat, p + 1);
    }
}

void BlindBackward(Canvas& c, int64_t i, int64_t extent, bool columns) {
    int64_t p = extent - kFrontStep * (i + 1);
    if (p < 0) {
        p += kSlat * ((kFrontStep * (i + 1) - extent + kFrontStep) / kSlat);
    }
    if (p >= extent) {
        return;
    }
    if (columns) {
        c.CopyGrid(p, kSlat, extent, 0, 1, kWhole);
    } else {
        c.CopyGrid(0, 1, kWhole, p, kSlat, extent);
    }
}

// EF_OVERLAP: step 0 keeps the screen's picture; steps 1..8 cross-fade from it to the stage in
// eighths, written two pixels at a time as the old routine did (an odd last column waits for the
// final copy). The kept picture is dropped after step 8.
void Overlap(Canvas& c, int64_t step, int64_t w, const PixelFormat& f,
             std::vector<uint16_t>& snapshot) {
    const int64_t sw = c.X1() - c.X0();
    const int64_t sh = c.Y1() - c.Y0();
    if (step == 0 || snapshot.size() != static_cast<std::size_t>(sw * sh)) {
        snapshot.resize(static_cast<std::size_t>(sw * sh));
        for (int64_t y = 0; y < sh; ++y) {
            std::memcpy(snapshot.data() + y * sw, c.ScreenPixel(c.X0(), c.Y0() + y),
                        static_cast<std::size_t>(sw) * 2);
        }
    }
    if (step == 0) {
        return;
    }
    const auto k = static_cast<uint16_t>(4 * step);
    const kernels::Fields fields(f);
    const int64_t count = std::min(c.X1(), w / 2 * 2) - c.X0();
    if (count > 0) {
        for (int64_t y = c.Y0(); y < c.Y1(); ++y) {
            uint16_t* out = c.ScreenPixel(c.X0(), y);
            std::memcpy(out, snapshot.data() + (y - c.Y0()) * sw,
                        static_cast<std::size_t>(count) * 2);
            kernels::MixRow(c.StageRow(y) + c.X0(), out, static_cast<int>(count), k, fields, false,
                            0);
        }
    }
    if (step == 8) {
        snapshot = {};
    }
}

}  // namespace

int StepCount(int effect, const Rect& destination) {
    const int64_t w = Width(destination);
    const int64_t h = Height(destination);
    if (effect == kEffectNone || w > kLargestSide || h > kLargestSide) {
        return 0;
    }
    int64_t count = 16;
    switch (effect) {
        case kEffectFadeIn:
            count = 8;
            break;
        case kEffectFadeFromLeft:
        case kEffectFadeFromRight:
            count = (w >> 2) + 16;
            break;
        case kEffectFadeFromTop:
        case kEffectFadeFromBottom:
            count = (h >> 2) + 16;
            break;
        case kEffectOverlap:
            count = 9;
            break;
        case kEffectFromLeft:
        case kEffectFromRight:
            count = w / 4;
            break;
        case kEffectFromTop:
        case kEffectFromBottom:
            count = h / 4;
            break;
        case kEffectBlindFromLeft:
        case kEffectBlindFromRight:
            count = w / kFrontStep + 20;
            break;
        case kEffectBlindFromTop:
        case kEffectBlindFromBottom:
            count = h / kFrontStep + 20;
            break;
        default:
            break;
    }
    return static_cast<int>(std::max<int64_t>(count, 0));
}

EffectSteps::EffectSteps(int effect, const Rect& destination)
    : effect_(effect), destination_(destination), count_(StepCount(effect, destination)) {}

Rect EffectSteps::Draw(int step, const Surface& stage, Surface& screen) {
    Canvas c(stage, screen, destination_);
    if (c.IsEmpty() || step < 0 || step >= count_) {
        return Rect{};
    }
    const int64_t i = step;
    const int64_t w = Width(destination_);
    const int64_t h = Height(destination_);
    switch (effect_) {
        case kEffectFadeIn:
            for (const int64_t cell : {2 * i, 2 * i + 1}) {
                c.CopyGrid(kCellCol[cell], 4, w, kCellRow[cell], 4, h);
            }
            break;
        case kEffectFadeFromTop:
        case kEffectFadeFromBottom:
            for (int64_t j = 0; j < 16; ++j) {
                const int64_t y = effect_ == kEffectFadeFromTop
                                      ? 4 * i - 64 + 4 * j + kCellRow[j]
                                      : h + 60 - 4 * (i + j) + kCellRow[j];
                c.CopyGrid(kCellCol[j], 4, w, y, 1, y + 1);
            }
            break;
        case kEffectFadeFromLeft:
        case kEffectFadeFromRight:
            for (int64_t j = 0; j < 16; ++j) {
                const int64_t x = effect_ == kEffectFadeFromLeft
                                      ? 4 * i - 64 + 4 * j + kCellCol[j]
                                      : w + 60 - 4 * (i + j) + kCellCol[j];
                c.CopyGrid(x, 1, x + 1, kCellRow[j], 4, h);
            }
            break;
        case kEffectOverlap:
            Overlap(c, i, w, stage.Format(), snapshot_);
            break;
        case kEffectFromLeft:
            c.CopyGrid(4 * i, 1, 4 * i + 4, 0, 1, h);
            break;
        case kEffectFromRight:
            c.CopyGrid(w - 4 * i - 4, 1, w - 4 * i, 0, 1, h);
            break;
        case kEffectFromTop:
            c.CopyGrid(0, 1, w, 4 * i, 1, 4 * i + 4);
            break;
        case kEffectFromBottom:
            c.CopyGrid(0, 1, w, h - 4 * i - 4, 1, h - 4 * i);
            break;
        case kEffectBlindFromLeft:
            BlindForward(c, i, w, true);
            break;
        case kEffectBlindFromRight:
            BlindBackward(c, i, w, true);
            break;
        case kEffectBlindFromTop:
            BlindForward(c, i, h, false);
            break;
        case kEffectBlindFromBottom:
            BlindBackward(c, i, h, false);
            break;
        default:
            c.CopyGrid(i, 16, w, 0, 1, h);
            break;
    }
    return destination_.Intersect(screen.Bounds());
}

}  // namespace talu::stage
