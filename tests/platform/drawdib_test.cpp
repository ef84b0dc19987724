// DrawDib presentation of 32-bit frames.
#include "tests/platform/platform_fixture.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A W x H frame in DIB row order, each pixel's blue byte naming its picture row and
// green byte its column (picture rows top-down), so any misplaced pixel shows.
struct Frame {
    BITMAPINFOHEADER header{};
    std::vector<std::uint8_t> bits;

    Frame(int width, int height, bool bottomUp = true)
    {
        header.biSize = sizeof header;
        header.biWidth = width;
        header.biHeight = bottomUp ? height : -height;
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        bits.resize(static_cast<std::size_t>(width) * height * 4);
        for (int row = 0; row < height; ++row) {
            const int stored = bottomUp ? height - 1 - row : row;
            for (int column = 0; column < width; ++column) {
                std::uint8_t* pixel = &bits[(stored * width + column) * 4];
                pixel[0] = static_cast<std::uint8_t>(10 + row);
                pixel[1] = static_cast<std::uint8_t>(20 + column);
                pixel[2] = 200;
            }
        }
    }
};

COLORREF framePixel(int row, int column)
{
    return RGB(200, 20 + column, 10 + row);
}

constexpr COLORREF kBlack = RGB(0, 0, 0);

} // namespace

class DrawDibPresentation : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        top = makeTopLevel(40, 30);
        viewer = makeChild(top, 4, 3, 20, 12);
        drainAll();
        drawDib = DrawDibOpen();
        dc = GetDC(viewer);
    }
    void TearDown() override
    {
        ReleaseDC(viewer, dc);
        DrawDibClose(drawDib);
        PlatformTest::TearDown();
    }
    BOOL draw(Frame& frame, int x, int y, int width, int height)
    {
        return DrawDibDraw(
            drawDib, dc, x, y, width, height, &frame.header, frame.bits.data(), 0, 0,
            frame.header.biWidth,
            frame.header.biHeight < 0 ? -frame.header.biHeight : frame.header.biHeight, 0);
    }
    HWND top = nullptr;
    HWND viewer = nullptr;
    HDRAWDIB drawDib = nullptr;
    HDC dc = nullptr;
};

// The viewer's client area starts at (4, 3) of the surface and is 20 x 12.
TEST_F(DrawDibPresentation, FramesLandRowForRowAtOneOrTwiceTheirSizeClippedToTheWindow)
{
    const SurfaceView surface = platformSurface(top);
    // Draws on a black surface; whether it was drawn and shown once, for the viewer alone.
    auto drawFresh = [&](Frame frame, int x, int y, int width, int height) {
        std::memset(surface.pixels, 0, static_cast<std::size_t>(surface.stride) * surface.height);
        const std::uint64_t presents = platformPresentCount(viewer);
        const bool drawn = draw(frame, x, y, width, height);
        EXPECT_EQ(platformPresentCount(viewer), presents + (drawn ? 1 : 0));
        EXPECT_EQ(platformPresentCount(top), 0u); // counted for the drawing window
        return drawn;
    };
    // The top row comes last in memory.
    ASSERT_TRUE(drawFresh(Frame(3, 2), 0, 0, 3, 2));
    expectPixels(top, {{4, 3, framePixel(0, 0)}, {6, 4, framePixel(1, 2)}, {7, 3, kBlack}});
    ASSERT_TRUE(drawFresh(Frame(2, 2, false), 1, 1, 2, 2)); // top-down: negative height
    expectPixels(top, {{5, 4, framePixel(0, 0)}, {6, 5, framePixel(1, 1)}});
    // Double size fills two by two squares.
    ASSERT_TRUE(drawFresh(Frame(2, 2), 0, 0, 4, 4));
    expectPixels(top, {{4, 3, framePixel(0, 0)},
                       {5, 4, framePixel(0, 0)},
                       {6, 4, framePixel(0, 1)},
                       {5, 5, framePixel(1, 0)},
                       {7, 6, framePixel(1, 1)},
                       {8, 6, kBlack}});
    // Doubled and cut mid-square: column 1 of 6 is still source column 0.
    ASSERT_TRUE(drawFresh(Frame(3, 3), -1, -3, 6, 6));
    expectPixels(top, {{4, 3, framePixel(1, 0)},
                       {5, 3, framePixel(1, 1)},
                       {8, 4, framePixel(2, 2)},
                       {9, 3, kBlack}});
    // Larger than the window: the viewer's first and last pixels, and just beyond it.
    ASSERT_TRUE(drawFresh(Frame(30, 20), -2, -1, 30, 20));
    expectPixels(top, {{4, 3, framePixel(1, 2)},
                       {23, 14, framePixel(12, 21)},
                       {24, 14, kBlack},
                       {23, 15, kBlack}});
    EXPECT_FALSE(drawFresh(Frame(2, 2), 0, 0, 3, 3)); // one and a half times: refused
    EXPECT_EQ(surfaceColor(top, 4, 3), kBlack);
}

// Frames other than uncompressed 32 bits, missing pieces and closed handles are refused
// without showing anything.
TEST_F(DrawDibPresentation, UnsupportedFramesAndClosedHandlesAreRefused)
{
    Frame frame(2, 2);
    frame.header.biBitCount = 24;
    EXPECT_FALSE(draw(frame, 0, 0, 2, 2));
    frame.header.biBitCount = 32;
    frame.header.biCompression = 1;
    EXPECT_FALSE(draw(frame, 0, 0, 2, 2));
    frame.header.biCompression = BI_RGB;
    EXPECT_FALSE(DrawDibDraw(drawDib, dc, 0, 0, 2, 2, &frame.header, nullptr, 0, 0, 2, 2, 0));
    EXPECT_FALSE(DrawDibDraw(drawDib, dc, 0, 0, 2, 2, nullptr, frame.bits.data(), 0, 0, 2, 2, 0));
    EXPECT_FALSE( // a source rectangle past the picture
        DrawDibDraw(drawDib, dc, 0, 0, 2, 2, &frame.header, frame.bits.data(), 1, 0, 2, 2, 0));
    EXPECT_TRUE(DrawDibClose(drawDib));
    EXPECT_FALSE(DrawDibClose(drawDib));
    EXPECT_FALSE(draw(frame, 0, 0, 2, 2));
    EXPECT_FALSE(DrawDibBegin(drawDib, nullptr, 2, 2, &frame.header, 2, 2, 0));
    EXPECT_EQ(platformPresentCount(viewer), 0u);
}
