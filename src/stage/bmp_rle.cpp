#include "stage/bmp_rle.h"

namespace talu::stage {
namespace {

// Escape codes that follow a zero count byte.
constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfBitmap = 1;
constexpr uint8_t kDelta = 2;

class RleWriter {
  public:
    explicit RleWriter(Bitmap& out) : out_(out) {}

    // Room for count more pixels on the current row.
    bool Fits(int count) const { return y_ < out_.height && x_ + count <= out_.width; }
    void Put(uint8_t index) {
        out_.bits[static_cast<std::size_t>(y_) * out_.Stride() + static_cast<std::size_t>(x_)] =
            index;
        ++x_;
    }
    void NextLine() {
        x_ = 0;
        ++y_;
    }
    bool Move(int dx, int dy) {
        x_ += dx;
        y_ += dy;
        return x_ <= out_.width && y_ <= out_.height;
    }

  private:
    Bitmap& out_;
    int x_ = 0;
    int y_ = 0;
};

// The index of pixel n of a run or literal: every byte holds one (RLE8) or two (RLE4) pixels,
// the high nibble first.
uint8_t Nibble(uint8_t value, int n, int bits) {
    if (bits == 8) {
        return value;
    }
    return (n % 2 == 0) ? static_cast<uint8_t>(value >> 4) : static_cast<uint8_t>(value & 0x0F);
}

}  // namespace

bool DecodeRle(std::span<const uint8_t> data, int bits, Bitmap& out) {
    RleWriter writer(out);
    std::size_t at = 0;
    while (at + 2 <= data.size()) {
        const uint8_t count = data[at];
        const uint8_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            if (!writer.Fits(count)) {
                return false;
            }
            for (int n = 0; n < count; ++n) {
                writer.Put(Nibble(value, n, bits));
            }
            continue;
        }
        if (value == kEndOfLine) {
            writer.NextLine();
        } else if (value == kEndOfBitmap) {
            return true;
        } else if (value == kDelta) {
            if (at + 2 > data.size() || !writer.Move(data[at], data[at + 1])) {
                return false;
            }
            at += 2;
        } else {
            // A literal run of value pixels, padded to a whole number of 16-bit words.
            const std::size_t bytes = bits == 8 ? value : (value + 1u) / 2;
            if (at + bytes > data.size() || !writer.Fits(value)) {
                return false;
            }
            for (int n = 0; n < value; ++n) {
                writer.Put(Nibble(data[at + static_cast<std::size_t>(n * bits / 8)], n, bits));
            }
            at += (bytes + 1) & ~std::size_t{1};
        }
    }
    return true;
}

}  // namespace talu::stage
