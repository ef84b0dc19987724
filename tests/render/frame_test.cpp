// The Viewer's frame: buffers, background and the anaglyph.
#include "tests/render/scene.h"

using namespace render_test;

using Frame = RenderScene;

// Without a Background node the frame starts black. A resize rebuilds the background
// from the world's colour and empties the depth buffer: the old depth records lie in
// rows of the old width, and kept, they would place surfaces where none is drawn and a
// seek click would fly towards them.
TEST_F(Frame, StartsFromTheBackgroundAndEmptiesTheDepthBufferWhenResized)
{
    open(kWidth, kHeight);
    // Placed for the first size; it still covers the centre after the resize.
    rect(addMaterial(world, 1, 1, 1), 20.5f, 15.5f, 44.5f, 32.5f, 10000.0f);
    draw();
    EXPECT_EQ(pixel(5, 5), kBlack);
    ASSERT_EQ(depthAt(30, 20).state, kDepthOpaque);
    world.backgroundRed = 10;
    world.backgroundGreen = 20;
    world.backgroundBlue = 30;
    ASSERT_TRUE(ResizeFrameBuffers(world, frame, 100, 70));
    for (i32 y = 0; y < 70; ++y)
        for (i32 x = 0; x < 100; ++x) ASSERT_EQ(depthAt(x, y).state, kDepthEmpty) << x << y;
    draw();
    EXPECT_EQ(pixel(0, 0), (Colour{10, 20, 30}));
    EXPECT_EQ(pixel(99, 69), (Colour{10, 20, 30}));
    EXPECT_EQ(frame.frameBuffer[0], 30); // blue first, rows bottom-up
    EXPECT_EQ(frame.frameBuffer[2], 10);
    EXPECT_TRUE(lit(pixel(50, 35)));
    EXPECT_EQ(depthAt(50, 35).state, kDepthOpaque);
}

TEST_F(Frame, ShowsRedWhereOnlyTheLeftEyeSeesAndCyanWhereOnlyTheRightDoes)
{
    open(kWidth, kHeight);
    // Switched on before the world arrives. Regression: that left a right-eye table of no
    // rows, which the next frame wrote past.
    ASSERT_TRUE(SetStereo(world, render, frame, true));
    // Near enough that the eyes, 1000 units apart, see it about 10 pixels apart.
    rect(addMaterial(world, 1, 1, 1), 20.5f, 10.5f, 44.5f, 38.5f, 5000.0f);
    draw();
    EXPECT_GE(render.projectedRightCapacity, world.vertexCount);
    const Colour both = pixel(32, 24), leftOnly = pixel(46, 24), rightOnly = pixel(18, 24);
    EXPECT_TRUE(both.red > 0 && both.green > 0 && both.blue > 0) << both;
    // The left eye sees the rectangle shifted right, the right eye shifted left.
    EXPECT_TRUE(leftOnly.red > 0 && leftOnly.green == 0 && leftOnly.blue == 0) << leftOnly;
    EXPECT_TRUE(rightOnly.red == 0 && rightOnly.green > 0 && rightOnly.green == rightOnly.blue)
        << rightOnly;
    EXPECT_EQ(render.rightDepthBuffer, nullptr); // it lives for one frame only
    ASSERT_TRUE(SetStereo(world, render, frame, false));
    EXPECT_EQ(render.projectedRight, nullptr);
    draw();
    EXPECT_EQ(pixel(46, 24), kBlack);
}

// Regression: the depth buffer was one global block, so two Viewers of different sizes
// drew through each other's.
TEST_F(Frame, KeepsADepthBufferForEachViewer)
{
    open(kWidth, kHeight);
    FrameState small;
    ASSERT_TRUE(CreateFrameBuffers(small, 16, 12));
    PrepareBackground(world, small);
    rect(addMaterial(world, 1, 1, 1), 10.5f, 10.5f, 50.5f, 40.5f, 10000.0f);
    draw();
    RenderFrame(world, render, small);
    EXPECT_NE(small.depthBuffer, frame.depthBuffer);
    EXPECT_EQ(depthAt(45, 35).state, kDepthOpaque);
    EXPECT_EQ(small.depthBuffer[6 * 16 + 8].state, kDepthOpaque);
    FreeFrameBuffers(small);
}
