#include "stage/screen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "pixel_test_support.h"

namespace talu::stage {
namespace {

using testing::Solid;

TEST(ScreenTest, PresentAndDrawCopyClipAndGatherWhatChanged) {
    Screen screen;
    Surface out;
    const Surface red = Solid(20, 20, PixelFormat::Rgb565(), 0x0000FF);
    EXPECT_FALSE(screen.CopyOut(out));  // not created yet
    EXPECT_FALSE(screen.Present(red, red.Bounds(), red.Bounds(), 0));
    ASSERT_TRUE(screen.Create(PixelFormat::Rgb565(), 64, 48));
    int changes = 0;
    screen.SetChangedCallback([&] { ++changes; });
    ASSERT_TRUE(screen.Present(red, red.Bounds(), Rect{50, 40, 70, 60}, 0));
    ASSERT_TRUE(screen.CopyOut(out));
    EXPECT_EQ(out.Row(47)[63], 0xF800);
    EXPECT_EQ(out.Row(39)[63], 0);
    EXPECT_FALSE(screen.Present(red, red.Bounds(), Rect{64, 0, 84, 20}, 0));
    screen.Draw([](Surface&) { return Rect{}; });
    EXPECT_EQ(changes, 1);
    screen.Draw([](Surface& s) {
        s.Fill(0xFFFFFF);
        return Rect{60, 2, 70, 4};
    });
    EXPECT_EQ(changes, 2);
    ScreenDirty dirty = screen.TakeDirty();
    EXPECT_EQ(dirty.rect, (Rect{50, 2, 64, 48}));  // both changes, clipped, in one rectangle
    dirty = screen.TakeDirty();
    EXPECT_TRUE(dirty.rect.IsEmpty());

    // Held notifications: the changes are gathered at once, announced once on the last release.
    screen.HoldNotifications();
    screen.HoldNotifications();
    screen.Draw([](Surface&) { return Rect{1, 1, 2, 2}; });
    screen.Draw([](Surface&) { return Rect{3, 3, 4, 4}; });
    screen.ReleaseNotifications();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(screen.TakeDirty().rect, (Rect{1, 1, 4, 4}));
    screen.ReleaseNotifications();
    EXPECT_EQ(changes, 3);
}

TEST(ScreenTest, ReadingReusesTheCallersBuffer) {
    Screen screen;
    ASSERT_TRUE(screen.Create(PixelFormat::Rgb565(), 64, 48));
    screen.Draw([](Surface& s) {
        s.FillRect(Rect{5, 6, 7, 8}, 0x0000FF);
        return Rect{5, 6, 7, 8};
    });
    screen.WithPixels([](const uint16_t* pixels, int pitch, int width, int height) {
        EXPECT_EQ(width, 64);
        EXPECT_EQ(height, 48);
        EXPECT_EQ(pixels[6 * pitch + 5], 0xF800);
        EXPECT_EQ(pixels[8 * pitch + 5], 0);
    });
    Surface out;
    ASSERT_TRUE(screen.CopyOut(out));
    const uint16_t* kept = out.Row(0);
    ASSERT_TRUE(screen.CopyOut(out));
    EXPECT_EQ(out.Row(0), kept);
    EXPECT_EQ(out.Row(6)[6], 0xF800);
    Surface small;
    ASSERT_TRUE(small.Create(8, 8, PixelFormat::Rgb565()));
    ASSERT_TRUE(screen.CopyOut(small));
    EXPECT_EQ(small.Width(), 64);
}

// A worker presents whole pictures while a frontend copies the buffer out: every copy must be
// one whole picture, never half of each.
TEST(ScreenTest, CopiesTakenWhilePresentingAreNeverTorn) {
    Screen screen;
    ASSERT_TRUE(screen.Create(PixelFormat::Rgb565(), 64, 48));
    const Surface a = Solid(64, 48, PixelFormat::Rgb565(), 0x0000FF);
    const Surface b = Solid(64, 48, PixelFormat::Rgb565(), 0xFF0000);
    std::atomic<int> presented{0};
    screen.SetChangedCallback([&] { presented.fetch_add(1); });
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 300; ++i) {
            const Surface& s = (i % 2) == 0 ? a : b;
            screen.Present(s, s.Bounds(), s.Bounds(), 0);
        }
        done = true;
    });
    int torn = 0;
    int copies = 0;
    Surface out;
    while (!done.load() || copies == 0) {
        ASSERT_TRUE(screen.CopyOut(out));
        ++copies;
        const uint16_t first = out.Row(0)[0];
        for (int y = 0; y < out.Height(); ++y) {
            for (int x = 0; x < out.Width(); ++x) {
                torn += out.Row(y)[x] != first ? 1 : 0;
            }
        }
    }
    worker.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(presented.load(), 300);
}

}  // namespace
}  // namespace talu::stage
