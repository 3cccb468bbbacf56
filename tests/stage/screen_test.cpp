#include "stage/screen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "pixel_test_support.h"

namespace talu::stage {
namespace {

using testing::Solid;

TEST(ScreenTest, PresentAndDrawCopyClipAndReportWhatChanged) {
    Screen screen;
    Surface out;
    const Surface red = Solid(20, 20, PixelFormat::Rgb565(), 0x0000FF);
    EXPECT_FALSE(screen.CopyOut(out));  // not created yet
    EXPECT_FALSE(screen.Present(red, red.Bounds(), red.Bounds(), 0));
    ASSERT_TRUE(screen.Create(PixelFormat::Rgb565(), 64, 48));
    EXPECT_EQ(screen.Width(), 64);
    EXPECT_EQ(screen.Format(), PixelFormat::Rgb565());
    std::vector<Rect> reported;
    screen.SetPresentedCallback([&](const Rect& r) { reported.push_back(r); });
    ASSERT_TRUE(screen.Present(red, red.Bounds(), Rect{50, 40, 70, 60}, 0));
    EXPECT_EQ(reported, (std::vector<Rect>{{50, 40, 64, 48}}));
    ASSERT_TRUE(screen.CopyOut(out));
    EXPECT_EQ(out.Row(47)[63], 0xF800);
    EXPECT_EQ(out.Row(39)[63], 0);
    EXPECT_FALSE(screen.Present(red, red.Bounds(), Rect{64, 0, 84, 20}, 0));
    screen.Draw([](Surface&) { return Rect{}; });
    EXPECT_EQ(reported.size(), 1u);
    screen.Draw([](Surface& s) {
        s.Fill(0xFFFFFF);
        return Rect{60, 2, 70, 4};
    });
    EXPECT_EQ(reported.back(), (Rect{60, 2, 64, 4}));
}

// A worker presents whole pictures while a frontend copies the buffer out: every copy must be
// one whole picture, never half of each.
TEST(ScreenTest, CopiesTakenWhilePresentingAreNeverTorn) {
    Screen screen;
    ASSERT_TRUE(screen.Create(PixelFormat::Rgb565(), 64, 48));
    const Surface a = Solid(64, 48, PixelFormat::Rgb565(), 0x0000FF);
    const Surface b = Solid(64, 48, PixelFormat::Rgb565(), 0xFF0000);
    std::atomic<int> presented{0};
    screen.SetPresentedCallback([&](const Rect&) { presented.fetch_add(1); });
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
