// Cursor files from a book's folder: still, animated and plain pictures, and hostile ones.
#include "stage/cursor_file.h"

#include <gtest/gtest.h>

#include "stage/icon_image.h"
#include "stage/picture_test_support.h"

namespace talu::stage {
namespace {

using testing::Put32;
using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

/// A cursor file of one w x h picture of 32 bits filled with bgra, hot spot (hx, hy).
Bytes Cursor(int w, int h, uint32_t bgra, int hx = 0, int hy = 0, int hDoubled = 0) {
    Bytes out;
    Put16(out, 0), Put16(out, 2), Put16(out, 1);
    out.insert(out.end(), {static_cast<uint8_t>(w), static_cast<uint8_t>(h), 0, 0});
    Put16(out, hx), Put16(out, hy);
    const std::size_t maskStride = (w + 31) / 32 * 4;
    Put32(out, static_cast<uint32_t>(40 + (w * 4 + maskStride) * h));
    Put32(out, 22);
    for (uint32_t v :
         {40u, static_cast<uint32_t>(w), static_cast<uint32_t>(hDoubled != 0 ? hDoubled : 2 * h),
          0x200001u, 0u, 0u, 0u, 0u, 0u, 0u}) {
        Put32(out, v);
    }
    for (int i = 0; i < w * h; ++i) {
        Put32(out, bgra);
    }
    out.insert(out.end(), maskStride * h, 0);
    return out;
}

Bytes Chunk(const char* id, const Bytes& body) {
    Bytes out(id, id + 4);
    Put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) {
        out.push_back(0);
    }
    return out;
}

Bytes Words(std::initializer_list<uint32_t> values) {
    Bytes out;
    for (uint32_t v : values) {
        Put32(out, v);
    }
    return out;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes Animated(const Bytes& rates, const Bytes& sequence, std::initializer_list<Bytes> icons) {
    Bytes frames = {'f', 'r', 'a', 'm'};
    for (const Bytes& icon : icons) {
        frames = Join({frames, Chunk("icon", icon)});
    }
    return Chunk("RIFF", Join({{'A', 'C', 'O', 'N'},
                               Chunk("anih", Words({36, 2, 3, 0, 0, 0, 0, 10, 3})),
                               Chunk("rate", rates),
                               Chunk("seq ", sequence),
                               Chunk("LIST", frames)}));
}

TEST(CursorFile, ReadsCursorsAnimationsAndPictures) {
    const auto still = ReadCursorData(Cursor(16, 16, 0x80FF0000, 3, 4));
    ASSERT_TRUE(still.has_value());
    ASSERT_EQ(still->size(), 1u);
    EXPECT_EQ(still->front().hotX, 3);
    EXPECT_EQ(still->front().hotY, 4);
    EXPECT_EQ(still->front().durationMs, 0);
    EXPECT_EQ(still->front().image.width, 16);
    EXPECT_EQ(Bytes(still->front().image.pixels.begin(), still->front().image.pixels.begin() + 4),
              (Bytes{255, 0, 0, 0x80}));

    // Two pictures shown in the order 1, 0, 1 at 6, 12 and 30 jiffies.
    const auto animated =
        ReadCursorData(Animated(Words({6, 12, 30}), Words({1, 0, 1}),
                                {Cursor(8, 8, 0xFFFF0000, 1, 1), Cursor(8, 8, 0xFF0000FF, 2, 2)}));
    ASSERT_TRUE(animated.has_value());
    ASSERT_EQ(animated->size(), 3u);
    EXPECT_EQ((*animated)[0].hotX, 2);
    EXPECT_EQ((*animated)[1].hotX, 1);
    EXPECT_EQ((*animated)[0].durationMs, 6 * 16);
    EXPECT_EQ((*animated)[2].durationMs, 30 * 16);
    EXPECT_EQ((*animated)[0].image.pixels[2], 255);  // blue

    const host::RgbaImage green{5, 5, Bytes(5 * 5 * 4, 0xFF)};
    const std::string png = host::EncodePng(green).value();
    const auto picture = ReadCursorData(Bytes(png.begin(), png.end()));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->front().hotX, 0);
    EXPECT_EQ(picture->front().image.height, 5);
    // A BMP is read by our own reader; one wider than a cursor is refused before its pixels.
    testing::BmpLayout bmp;
    bmp.width = 2;
    bmp.height = 1;
    bmp.pixels = {0, 0, 255, 0, 255, 0, 0, 0};
    const auto fromBmp = ReadCursorData(testing::MakeBmp(bmp));
    ASSERT_TRUE(fromBmp.has_value());
    EXPECT_EQ(fromBmp->front().image.pixels, (Bytes{255, 0, 0, 255, 0, 255, 0, 255}));
    bmp.width = kMaxIconSide + 1;
    bmp.pixels.resize(800);
    EXPECT_FALSE(ReadCursorData(testing::MakeBmp(bmp)).has_value());
}

TEST(CursorFile, HostileFilesAreRefusedOrKeptWithinBounds) {
    const Bytes good = Cursor(4, 4, 0xFF00FF00);
    for (const Bytes& broken :
         {Bytes{}, Bytes(good.begin(), good.begin() + 30), Cursor(4, 4, 0xFF00FF00, 0, 0, 9),
          Cursor(4, 4, 0xFF00FF00, 0, 0, -8), Chunk("RIFF", {'A', 'C', 'O', 'N', 'j', 'u', 'n'})}) {
        EXPECT_FALSE(ReadCursorData(broken).has_value());
    }
    // Rates past what an int holds in milliseconds, and a sequence far longer than any cursor.
    Bytes longSequence;
    for (int i = 0; i < 5000; ++i) {
        Put32(longSequence, 0);
    }
    const auto bounded = ReadCursorData(
        Animated(Words({0x80000000u, 0xFFFFFFFFu}), longSequence, {good, Cursor(4, 4, 0, 9, 9)}));
    ASSERT_TRUE(bounded.has_value());
    EXPECT_EQ(bounded->size(), kMaxCursorFrames);
    EXPECT_EQ((*bounded)[0].durationMs, kMaxCursorStepMs);
    EXPECT_EQ((*bounded)[1].durationMs, kMaxCursorStepMs);
    // A hot spot off the picture is brought onto it.
    const auto offPicture = ReadCursorData(Cursor(4, 4, 0, 9, 9));
    ASSERT_TRUE(offPicture.has_value());
    EXPECT_EQ(offPicture->front().hotX, 3);
}

}  // namespace
}  // namespace talu::stage
