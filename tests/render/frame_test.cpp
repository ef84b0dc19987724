// The Viewer's frame: buffers, background, presentation through DrawDib, and the
// anaglyph.
#include "tests/render/scene.h"

using namespace render_test;

namespace {

constexpr i16 kWidth = 64;
constexpr i16 kHeight = 48;
const Colour kBlack{0, 0, 0};

class Frame : public RenderScene {
protected:
    void TearDown() override
    {
        if (frame.drawDib) DrawDibClose(frame.drawDib);
        RenderScene::TearDown();
        platformReset();
    }
    // A headless top-level window of the given client size to present into.
    HDC window(int width, int height)
    {
        platformReset();
        EXPECT_TRUE(platformUseBackend("headless"));
        top = CreateWindow(nullptr, "frame", WS_OVERLAPPED | WS_VISIBLE, 0, 0, width, height,
                           nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(top, nullptr);
        frame.drawDib = DrawDibOpen();
        return GetDC(top);
    }
    Colour shown(int x, int y) const
    {
        const SurfaceView surface = platformSurface(top);
        const u8* p = surface.pixels + y * surface.stride + 4 * x;
        return {p[2], p[1], p[0]};
    }
    HWND top = nullptr;
};

bool lit(const Colour& c)
{
    return c.red > 0 || c.green > 0 || c.blue > 0;
}

} // namespace

TEST_F(Frame, StartsFromTheBackgroundColour)
{
    world.backgroundRed = 10;
    world.backgroundGreen = 20;
    world.backgroundBlue = 30;
    open(kWidth, kHeight);
    addScreenRect(world, addMaterial(world, 1, 1, 1), kWidth, kHeight, 10.5f, 10.5f, 20.5f, 20.5f,
                  10000.0f);
    draw();
    EXPECT_EQ(pixel(0, 0), (Colour{10, 20, 30}));
    EXPECT_EQ(pixel(kWidth - 1, kHeight - 1), (Colour{10, 20, 30}));
    EXPECT_EQ(frame.frameBuffer[0], 30); // blue first, rows bottom-up
    EXPECT_EQ(frame.frameBuffer[2], 10);
}

TEST_F(Frame, StartsBlackWithoutABackgroundNode)
{
    open(kWidth, kHeight);
    addScreenRect(world, addMaterial(world, 1, 1, 1), kWidth, kHeight, 10.5f, 10.5f, 20.5f, 20.5f,
                  10000.0f);
    draw();
    EXPECT_EQ(pixel(40, 40), kBlack);
}

TEST_F(Frame, FillsTwiceItsSizeAtDisplayScaleTwo)
{
    const HDC dc = window(2 * kWidth, 2 * kHeight);
    world.backgroundRed = 200;
    open(kWidth, kHeight);
    addScreenRect(world, addMaterial(world, 0, 1, 0), kWidth, kHeight, 10.5f, 10.5f, 30.5f, 30.5f,
                  10000.0f);
    RenderFrame(world, render, frame, dc, 2.0f);
    EXPECT_EQ(platformPresentCount(top), 1u);
    EXPECT_EQ(shown(2 * 20, 2 * 20), pixel(20, 20));
    EXPECT_EQ(shown(2 * 20 + 1, 2 * 20 + 1), pixel(20, 20));
    EXPECT_EQ(shown(2 * kWidth - 1, 2 * kHeight - 1), (Colour{200, 0, 0}));
}

TEST_F(Frame, DrawsUnstretchedInTheTopLeftAtDisplayScaleOneAndAHalf)
{
    const HDC dc = window(2 * kWidth, 2 * kHeight);
    world.backgroundRed = 200;
    open(kWidth, kHeight);
    RenderFrame(world, render, frame, dc, 1.5f);
    EXPECT_EQ(platformPresentCount(top), 1u);
    EXPECT_EQ(shown(kWidth - 1, kHeight - 1), (Colour{200, 0, 0}));
    EXPECT_EQ(shown(kWidth, kHeight), kBlack); // the rest of the window is untouched
}

TEST_F(Frame, RebuildsTheBackgroundAndDepthBufferWhenResized)
{
    world.backgroundGreen = 90;
    open(kWidth, kHeight);
    addScreenRect(world, addMaterial(world, 1, 1, 1), 100, 70, 40.5f, 30.5f, 60.5f, 40.5f,
                  10000.0f);
    ASSERT_TRUE(ResizeFrameBuffers(world, frame, 100, 70));
    EXPECT_EQ(frame.bitmapHeader->biWidth, 100);
    EXPECT_EQ(frame.bitmapHeader->biHeight, 70);
    draw();
    EXPECT_EQ(pixel(99, 69), (Colour{0, 90, 0}));
    EXPECT_TRUE(lit(pixel(50, 35)));
    EXPECT_EQ(depthAt(50, 35).state, kDepthOpaque);
    EXPECT_EQ(depthAt(99, 69).state, kDepthEmpty);
}

TEST_F(Frame, ShowsRedWhereOnlyTheLeftEyeSeesAndCyanWhereOnlyTheRightDoes)
{
    open(kWidth, kHeight);
    // Near enough that the eyes, 1000 units apart, see it about 10 pixels apart.
    addScreenRect(world, addMaterial(world, 1, 1, 1), kWidth, kHeight, 20.5f, 10.5f, 44.5f, 38.5f,
                  5000.0f);
    load();
    ASSERT_TRUE(setStereo(world, render, frame, true));
    draw();
    const Colour middle = pixel(32, 24);
    EXPECT_GT(middle.red, 0);
    EXPECT_GT(middle.green, 0);
    EXPECT_GT(middle.blue, 0);
    const Colour rightEdge = pixel(46, 24); // only the left eye sees it shifted right
    EXPECT_GT(rightEdge.red, 0);
    EXPECT_EQ(rightEdge.green, 0);
    EXPECT_EQ(rightEdge.blue, 0);
    const Colour leftEdge = pixel(18, 24);
    EXPECT_EQ(leftEdge.red, 0);
    EXPECT_GT(leftEdge.green, 0);
    EXPECT_EQ(leftEdge.green, leftEdge.blue);
    EXPECT_EQ(render.rightDepthBuffer, nullptr); // it lives for one frame only
    ASSERT_TRUE(setStereo(world, render, frame, false));
    EXPECT_EQ(render.projectedRight, nullptr);
    draw();
    EXPECT_EQ(pixel(46, 24), kBlack);
}

// Regression: stereo switched on before any world arrived left a right-eye table of
// no rows, which the next frame wrote past.
TEST_F(Frame, GrowsTheRightEyeTableForAWorldLoadedAfterStereoWasSwitchedOn)
{
    open(kWidth, kHeight);
    ASSERT_TRUE(setStereo(world, render, frame, true));
    addScreenRect(world, addMaterial(world, 1, 1, 1), kWidth, kHeight, 20.5f, 10.5f, 44.5f, 38.5f,
                  5000.0f);
    draw();
    EXPECT_GE(render.projectedRightCapacity, world.vertexCount);
    EXPECT_GT(pixel(32, 24).red, 0);
}

// Regression: the depth buffer was one global block, so two Viewers of different sizes
// drew through each other's.
TEST_F(Frame, KeepsADepthBufferForEachViewer)
{
    open(kWidth, kHeight);
    FrameState small;
    ASSERT_TRUE(CreateFrameBuffers(small, 16, 12));
    PrepareBackground(world, small);
    addScreenRect(world, addMaterial(world, 1, 1, 1), kWidth, kHeight, 10.5f, 10.5f, 50.5f, 40.5f,
                  10000.0f);
    draw();
    RenderFrame(world, render, small, nullptr, 1.0f);
    EXPECT_NE(small.depthBuffer, frame.depthBuffer);
    EXPECT_EQ(depthAt(45, 35).state, kDepthOpaque);
    EXPECT_EQ(small.depthBuffer[6 * 16 + 8].state, kDepthOpaque);
    FreeFrameBuffers(small);
}

TEST_F(Frame, SmoothsOnlyAcrossGentleFoldsInStereo)
{
    // A right-angle fold: the neighbour's normal is more than the stereo limit (a dot
    // product of 0.4) away, so each face keeps its own normal and one colour.
    open(kWidth, kHeight);
    const i16 white = addMaterial(world, 1, 1, 1);
    beginObject(world, white);
    const u32 a = addVertex(world, atScreen(kWidth, kHeight, 14.5f, 10.5f, 10000.0f));
    addVertex(world, atScreen(kWidth, kHeight, 34.5f, 10.5f, 10000.0f));
    addVertex(world, atScreen(kWidth, kHeight, 34.5f, 38.5f, 10000.0f));
    addVertex(world, atScreen(kWidth, kHeight, 14.5f, 38.5f, 10000.0f));
    addVertex(world, atScreen(kWidth, kHeight, 34.5f, 10.5f, 14000.0f));
    addVertex(world, atScreen(kWidth, kHeight, 34.5f, 38.5f, 14000.0f));
    addFace(world, {a, a + 1, a + 2, a + 3});
    addFace(world, {a + 1, a + 4, a + 5, a + 2});
    endObject(world);
    load();
    ASSERT_TRUE(setStereo(world, render, frame, true));
    draw();
    EXPECT_GT(pixel(24, 24).red, 0);
    EXPECT_EQ(pixel(24, 24).red, pixel(30, 24).red);
}
