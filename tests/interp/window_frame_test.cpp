#include "interp/window_frame.h"

#include <gtest/gtest.h>

#include <string>

#include "interp/interp_test_support.h"

namespace talu::interp {
namespace {

constexpr uint32_t kBlue = 0xF80000;  // blue 248
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kFrameRed = 0x0000F8;  // red 248

class Frame : public ::testing::TestWithParam<stage::PixelFormat> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(target.Create(64, 48, GetParam()));
        target.Fill(kBlue);
        ASSERT_TRUE(picture.Create(8, 4, GetParam()));
        picture.Fill(kFrameRed);
        picture.left = 10;
        picture.top = 20;
    }

    uint32_t At(int x, int y) const { return target.Format().ToColour(target.Row(y)[x]); }
    uint32_t Native(uint32_t colour) const { return target.NativeColour(colour); }

    void Draw(uint32_t flags) {
        DrawWindowFrame(target, FrameLayers{picture, cache}, state, settings, flags);
    }

    stage::Surface target;
    stage::Picture picture;
    stage::Surface cache;
    FrameState state;
    stage::StageSettings settings;
};

TEST_P(Frame, AnOpaqueFrameIsCopiedWithItsKey) {
    picture.Row(0)[0] = static_cast<uint16_t>(picture.NativeColour(0xFF00FF));
    picture.SetSourceKey(0xFF00FF);
    Draw(0);
    EXPECT_EQ(target.Row(20)[10], Native(kBlue));  // key pixel left out
    EXPECT_EQ(target.Row(20)[11], Native(kFrameRed));
    EXPECT_EQ(target.Row(23)[17], Native(kFrameRed));
    EXPECT_EQ(target.Row(24)[17], Native(kBlue));
    EXPECT_EQ(target.Row(23)[18], Native(kBlue));
    EXPECT_FALSE(cache.IsLoaded());
}

TEST_P(Frame, HalfAlphaBlendsOnRebuildAndReplaysTheCacheOtherwise) {
    picture.alpha = 50;  // weight 16 of 32
    Draw(4);
    const uint32_t blended = target.Row(21)[12];
    EXPECT_EQ(blended, static_cast<uint32_t>(target.Format().FromColour(0x7C007C)));
    ASSERT_TRUE(cache.IsLoaded());
    EXPECT_EQ(cache.Width(), 8);
    EXPECT_EQ(cache.Row(1)[2], blended);
    // A stage that now shows something else under the frame still gets the cached blend.
    target.Fill(0xFFFFFF);
    Draw(0);
    EXPECT_EQ(target.Row(21)[12], blended);
    EXPECT_EQ(target.Row(5)[5], Native(0xFFFFFF));
}

TEST_P(Frame, TheMaskDecidesPerPixelAndMustMatchTheFramesSize) {
    stage::Surface maskPicture;
    ASSERT_TRUE(maskPicture.Create(7, 4, GetParam()));
    EXPECT_FALSE(picture.TakeMask(maskPicture, "m.bmp"));
    EXPECT_TRUE(picture.mask.empty());
    ASSERT_TRUE(maskPicture.Create(8, 4, GetParam()));
    maskPicture.Fill(0);
    maskPicture.FillRect(stage::Rect{4, 0, 8, 4}, 0xFFFFFF);
    ASSERT_TRUE(picture.TakeMask(maskPicture, "mask.bmp"));
    EXPECT_EQ(picture.mask[0], 0);
    EXPECT_EQ(picture.mask[4], 248);
    EXPECT_EQ(picture.maskSource, "mask.bmp");
    Draw(4);
    EXPECT_EQ(target.Row(20)[10], Native(kBlue));  // mask 0: stage
    // mask 248: (stage x 8 + frame x 248) / 256 per channel, close to the frame.
    const uint32_t c = At(16, 20);
    EXPECT_GE(c & 0xFF, 0xE0u);
    EXPECT_LE((c >> 16) & 0xFF, 0x10u);
}

TEST_P(Frame, WithoutAPictureTheStageIsDimmedWhenBrightnessIsOn) {
    picture.Release();
    target.Fill(kGrey);
    settings.m_nBright = 50;
    Draw(0);
    const uint32_t half = static_cast<uint32_t>(target.Format().FromColour(0x404040));
    EXPECT_EQ(target.Row(0)[0], half);
    target.Fill(kGrey);
    settings.m_nBrightEffect = 0;
    Draw(0);
    EXPECT_EQ(target.Row(0)[0], Native(kGrey));
}

TEST_P(Frame, HiddenLeftOutOrUncachedFramesDrawNothing) {
    struct Case {
        int alpha;
        int shown;
        uint32_t flags;
    };
    // A blended frame without cache and rebuild; a hidden frame; a frame the flags leave out.
    for (const Case& c : {Case{50, 1, 0}, Case{100, 0, 4}, Case{100, 1, 2 | 4}}) {
        picture.alpha = c.alpha;
        state.shown = c.shown;
        Draw(c.flags);
        EXPECT_EQ(target.Row(21)[12], Native(kBlue)) << c.alpha << " " << c.shown << " " << c.flags;
    }
}

TEST_P(Frame, AFramePartlyOffTheStageKeepsOnlyItsVisiblePart) {
    picture.alpha = 50;
    picture.left = -4;
    picture.top = 46;
    Draw(4);
    ASSERT_TRUE(cache.IsLoaded());
    target.Fill(0);
    Draw(0);
    EXPECT_EQ(target.Row(47)[3], static_cast<uint32_t>(target.Format().FromColour(0x7C007C)));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, Frame, test::BothFormats());

TEST(FrameLine, WrittenOnlyWithAPicture) {
    stage::Picture picture;
    FrameState state;
    EXPECT_FALSE(WindowLine(picture, state).has_value());
    ASSERT_TRUE(picture.Create(100, 40, stage::PixelFormat::Rgb565()));
    picture.source = "Z:\\b\\frame.bmp";
    picture.left = 20;
    picture.top = 400;
    picture.alpha = 70;
    EXPECT_EQ(WindowLine(picture, state),
              "<WINDOW SRC=\"Z:\\b\\frame.bmp\" LEFT=\"20\" TOP=\"400\" WIDTH=\"100\" "
              "HEIGHT=\"40\"  ALPHA=\"70\"  >");
    picture.transparent = "#FF00FF";
    picture.maskSource = "m.bmp";
    state.shutMode = script::kw::kNone;
    EXPECT_EQ(WindowLine(picture, state),
              "<WINDOW SRC=\"Z:\\b\\frame.bmp\" LEFT=\"20\" TOP=\"400\" WIDTH=\"100\" "
              "HEIGHT=\"40\" TRANSPARENT=\"#FF00FF\" SHUT=\"NONE\"  ALPHA=\"m.bmp\"  >");
}

}  // namespace
}  // namespace talu::interp
