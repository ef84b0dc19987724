// The finished frame shown through DrawDib at the display scale.
#include "platform/windows.h"
#include "render/render.h"
#include "viewer/presentation.h"

#include <gtest/gtest.h>

namespace {

constexpr i16 kWidth = 4;
constexpr i16 kHeight = 3;

// A 4 x 3 frame whose every pixel has its own red value (10 x column + row, counting
// rows from the top), shown in a headless window of twice its size.
class FramePresentation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(platformUseBackend("headless"));
        ASSERT_TRUE(CreateFrameBuffers(frame, kWidth, kHeight));
        for (i32 y = 0; y < kHeight; ++y)
            for (i32 x = 0; x < kWidth; ++x) // rows bottom-up in the buffer
                frame.frameBuffer[4 * ((kHeight - 1 - y) * kWidth + x) + 2] =
                    static_cast<u8>(10 * x + y + 1);
        top = CreateWindow(nullptr, "frame", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 2 * kWidth,
                           2 * kHeight, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(top, nullptr);
        openPresentation(presentation, kWidth, kHeight);
    }
    void TearDown() override
    {
        closePresentation(presentation);
        FreeFrameBuffers(frame);
        platformReset();
    }
    void present(f32 displayScale)
    {
        const HDC dc = GetDC(top);
        presentFrame(presentation, frame, dc, displayScale);
        ReleaseDC(top, dc);
    }
    int shownRed(int x, int y) const
    {
        const SurfaceView surface = platformSurface(top);
        return surface.pixels[y * surface.stride + 4 * x + 2];
    }

    FrameState frame;
    Presentation presentation;
    HWND top = nullptr;
};

} // namespace

TEST_F(FramePresentation, ScaleTwoFillsTwiceTheFramesSizeTopRowFirst)
{
    present(2.0f);
    EXPECT_EQ(platformPresentCount(top), 1u);
    EXPECT_EQ(shownRed(0, 0), 1);                  // top-left pixel
    EXPECT_EQ(shownRed(1, 1), 1);                  // ... fills a 2 x 2 square
    EXPECT_EQ(shownRed(2 * 3 + 1, 2 * 2 + 1), 33); // bottom-right pixel
}

TEST_F(FramePresentation, ScaleOneAndAHalfDrawsUnstretchedInTheTopLeft)
{
    present(1.5f);
    EXPECT_EQ(shownRed(3, 2), 33);
    EXPECT_EQ(shownRed(4, 3), 0); // the rest of the window is untouched
}

TEST_F(FramePresentation, HeaderFollowsTheFrameAfterAResize)
{
    World world;
    ASSERT_TRUE(ResizeFrameBuffers(world, frame, 2, 2));
    present(1.0f);
    EXPECT_EQ(presentation.bitmapHeader.biWidth, 2);
    EXPECT_EQ(presentation.bitmapHeader.biHeight, 2);
    EXPECT_EQ(presentation.bitmapHeader.biBitCount, 32);
    EXPECT_EQ(platformPresentCount(top), 1u);
}
