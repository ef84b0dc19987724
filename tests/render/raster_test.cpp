// Scan conversion: spans, clipping to the image, contours, the depth test and blending.
#include "render/raster.h"
#include "tests/render/scene.h"

#include <cmath>
#include <vector>

using namespace render_test;

namespace {

class Rasterizer : public RenderScene {
protected:
    void SetUp() override
    {
        RenderScene::SetUp();
        open(kWidth, kHeight);
        white = addMaterial(world, 1, 1, 1);
    }
    // An opaque object whose sort key is made small by a tiny face close to the eye, in
    // a corner of the image, so it is drawn before nearer transparent faces.
    i16 opaqueDrawnFirst(i16 material, f32 depth)
    {
        const i16 object = beginObject(world, material);
        const u32 a = screenVertex(10.5f, 10.5f, depth);
        screenVertex(50.5f, 10.5f, depth);
        screenVertex(50.5f, 40.5f, depth);
        screenVertex(10.5f, 40.5f, depth);
        const u32 b = screenVertex(1.5f, 1.5f, 3000.0f);
        screenVertex(3.5f, 1.5f, 3000.0f);
        screenVertex(3.5f, 3.5f, 3000.0f);
        addFace(world, {a, a + 1, a + 2, a + 3});
        addFace(world, {b, b + 1, b + 2});
        endObject(world);
        return object;
    }
    // Starts again from an empty world, for the next case of a test.
    void restart()
    {
        FreeMaterialRamps(world);
        FreeWorldBuffers(render);
        freeWorldTables(world);
        ASSERT_TRUE(initWorldTables(world));
        white = addMaterial(world, 1, 1, 1);
    }
    i16 white = 0;
};

} // namespace

// A rectangle fills exactly its pixels and records its depth. The right end is clipped
// to W - 1 and a span stops before truncate(right x), so a face running off the right
// side reaches column W - 2 and no further; a face wholly left of the image draws
// nothing.
TEST_F(Rasterizer, FillsARectangleAndClipsFacesToTheImageOneColumnShortOfTheRightEdge)
{
    const i16 object = rect(white, 10.5f, 8.5f, 30.5f, 20.5f, 10000.0f);
    rect(white, 50.5f, 10.5f, 90.0f, 30.5f, 10000.0f);
    polygon(white, {{-30.0f, 5.0f}, {-0.5f, 20.0f}, {-20.0f, 40.0f}}, 10000.0f);
    draw();
    EXPECT_TRUE(lit(pixel(20, 14)));
    EXPECT_EQ(depthAt(20, 14).state, kDepthOpaque);
    EXPECT_EQ(depthAt(20, 14).object, object);
    EXPECT_NEAR(depthAt(20, 14).depth, 10000.0f, 0.5f);
    // Just outside each edge: left, right, above, below.
    for (auto [x, y] : {std::pair{9, 14}, {31, 14}, {20, 7}, {20, 21}})
        EXPECT_EQ(pixel(x, y), kBlack) << x << "," << y;
    EXPECT_EQ(depthAt(20, 21).state, kDepthEmpty);
    EXPECT_TRUE(lit(pixel(kWidth - 2, 20)));
    EXPECT_EQ(pixel(kWidth - 1, 20), kBlack);
    EXPECT_EQ(depthAt(kWidth - 1, 20).state, kDepthEmpty);
    for (i32 y = 0; y < kHeight; ++y) EXPECT_EQ(depthAt(0, y).state, kDepthEmpty) << y;
}

TEST_F(Rasterizer, LeavesTheHoleOfAQuadrilateralEmpty)
{
    // One index run: the outline returns to its first point, then a smaller loop
    // returns to its own first point. The even-odd rule leaves the inside empty.
    polygon(white,
            {{8.5f, 6.5f},
             {56.5f, 6.5f},
             {56.5f, 42.5f},
             {8.5f, 42.5f},
             {8.5f, 6.5f},
             {20.5f, 16.5f},
             {44.5f, 16.5f},
             {44.5f, 32.5f},
             {20.5f, 32.5f},
             {20.5f, 16.5f}},
            10000.0f);
    draw();
    // The ring left of the hole, right of it and above it.
    for (auto [x, y] : {std::pair{12, 24}, {50, 24}, {30, 10}}) EXPECT_TRUE(lit(pixel(x, y)));
    EXPECT_EQ(pixel(30, 24), kBlack);
    EXPECT_EQ(depthAt(30, 24).state, kDepthEmpty);
}

TEST_F(Rasterizer, KeepsTheFirstOfTwoCoplanarFacesAndDrawsTheNearerOfTwoOverlapping)
{
    // Equal depth: the depth test needs a strictly greater stored depth to draw again.
    const i16 first = rect(addMaterial(world, 1, 0, 0), 10.5f, 10.5f, 40.5f, 30.5f, 10000.0f);
    rect(addMaterial(world, 0, 1, 0), 10.5f, 10.5f, 40.5f, 30.5f, 10000.0f);
    draw();
    EXPECT_GT(pixel(20, 20).red, 0);
    EXPECT_EQ(pixel(20, 20).green, 0);
    EXPECT_EQ(depthAt(20, 20).object, first);
    // Of two overlapping faces the nearer is drawn.
    restart();
    rect(addMaterial(world, 1, 0, 0), 10.5f, 10.5f, 40.5f, 30.5f, 20000.0f);
    const i16 near = rect(addMaterial(world, 0, 1, 0), 20.5f, 15.5f, 50.5f, 35.5f, 10000.0f);
    draw();
    EXPECT_EQ(pixel(30, 20).red, 0); // overlap: green in front
    EXPECT_GT(pixel(30, 20).green, 0);
    EXPECT_EQ(depthAt(30, 20).object, near);
    EXPECT_GT(pixel(12, 12).red, 0); // red outside the overlap
}

TEST_F(Rasterizer, BlendsATransparentFaceOnlyOverWhatWasDrawnBeforeAndBehindIt)
{
    opaqueDrawnFirst(addMaterial(world, 0, 0, 1), 20000.0f);
    const i16 pane = rect(addMaterial(world, 1, 0, 0, 0.5f), 20.5f, 15.5f, 40.5f, 35.5f, 10000.0f);
    draw();
    const Colour behind = pixel(15, 12); // opaque only
    const Colour mixed = pixel(30, 25);
    EXPECT_GT(mixed.red, 0);
    EXPECT_GT(mixed.blue, 0);
    EXPECT_NEAR(mixed.blue, behind.blue / 2, 1); // the old pixel times the transparency
    EXPECT_EQ(depthAt(30, 25).state, kDepthBlended);
    EXPECT_EQ(depthAt(30, 25).object, pane);
    // An opaque face is not drawn behind a transparent pixel drawn before it.
    restart();
    rect(addMaterial(world, 1, 0, 0, 0.5f), 20.5f, 15.5f, 40.5f, 35.5f, 10000.0f); // drawn first
    rect(addMaterial(world, 0, 0, 1), 10.5f, 10.5f, 50.5f, 40.5f, 20000.0f);
    draw();
    EXPECT_EQ(pixel(30, 25).blue, 0);
    EXPECT_GT(pixel(15, 12).blue, 0);
    // Regression: an opaque write over a blended record left it blended, so a transparent
    // face found later behind the opaque one blended through it.
    restart();
    const i16 glass = addMaterial(world, 1, 0, 0, 0.5f);
    opaqueDrawnFirst(glass, 30000.0f); // far glass, drawn first
    const i16 wall = rect(addMaterial(world, 0, 0, 1), 20.5f, 15.5f, 40.5f, 35.5f, 10000.0f);
    rect(glass, 15.5f, 12.5f, 45.5f, 38.5f, 15000.0f); // glass behind the wall
    draw();
    EXPECT_EQ(depthAt(30, 25).state, kDepthOpaque);
    EXPECT_EQ(depthAt(30, 25).object, wall);
    EXPECT_EQ(pixel(30, 25).red, 0); // no glass mixed into the wall
}

// Regression: a vertex exactly on a scan row was counted by both its edges, leaving
// four crossings where the outline passes through two such vertices: the row vanished.
TEST_F(Rasterizer, CountsAVertexOnAScanRowOnceForEachSideItJoins)
{
    // The side corners lie exactly on row 24.
    polygon(white, {{32.0f, 8.5f}, {52.5f, 24.0f}, {32.0f, 40.5f}, {11.5f, 24.0f}}, 10000.0f);
    draw();
    for (i32 x = 13; x <= 50; ++x) EXPECT_TRUE(lit(pixel(x, 24))) << x;
    EXPECT_TRUE(lit(pixel(32, 23)));
    EXPECT_TRUE(lit(pixel(32, 25)));
    restart();
    // Both edges of the apex lie below its row: two crossings at the same x form an
    // empty span, and the rows below are drawn in pairs as usual.
    polygon(white, {{32.5f, 24.0f}, {50.5f, 44.5f}, {14.5f, 44.5f}}, 10000.0f);
    draw();
    EXPECT_EQ(depthAt(32, 24).state, kDepthEmpty);
    EXPECT_TRUE(lit(pixel(32, 30)));
    EXPECT_TRUE(lit(pixel(20, 43)));
}

// Regression: faces were limited to 1000 corners and the rest was cut off.
TEST_F(Rasterizer, DrawsFacesOfAnyNumberOfCornersAndContoursWhole)
{
    beginObject(world, white);
    // Far enough that neighbouring corners stand more than 20 units apart: closer ones
    // would close the outline early as a contour.
    const std::vector<u32> disc = ring(1500, 32.0f, 24.0f, 20.0f, 100000.0f);
    addFace(world, disc.data(), 1500);
    endObject(world);
    draw();
    // The last third of the corners outline the upper right of the disc.
    EXPECT_TRUE(lit(pixel(32 + 12, 24 - 12)));
    EXPECT_TRUE(lit(pixel(32 - 12, 24 + 12)));
    EXPECT_EQ(pixel(32 + 16, 24 - 16), kBlack); // outside the circle
    // Regression: faces were limited to 256 contours and rows to 40 crossings.
    restart();
    // 21 x 16 small squares in one face: 336 contours, 42 crossings on every row.
    std::vector<ScreenPoint> squares;
    for (i32 j = 0; j < 16; ++j) {
        for (i32 k = 0; k < 21; ++k) {
            const f32 left = 3.0f * k + 0.5f, top = 3.0f * j + 0.5f;
            for (ScreenPoint corner : {ScreenPoint{left, top}, ScreenPoint{left + 2.0f, top},
                                       ScreenPoint{left + 2.0f, top + 2.0f},
                                       ScreenPoint{left, top + 2.0f}, ScreenPoint{left, top}})
                squares.push_back(corner);
        }
    }
    polygon(white, squares, 10000.0f);
    draw();
    for (i32 j = 0; j < 16; ++j) {
        for (i32 k = 0; k < 21; ++k) {
            EXPECT_TRUE(lit(pixel(3 * k + 1, 3 * j + 2))) << k << "," << j;
            EXPECT_EQ(pixel(3 * k + 2, 3 * j + 2), kBlack) << k << "," << j;
        }
    }
}

// Regression: corner indices were trusted; a face naming a vertex the world does not
// have read past the vertex arrays. Broken faces are passed over, the rest is drawn.
TEST_F(Rasterizer, PassesOverBrokenFacesAndObjectsAndDrawsTheRest)
{
    beginObject(world, white);
    const u32 a = screenVertex(5.5f, 5.5f, 10000.0f);
    screenVertex(30.5f, 5.5f, 10000.0f);
    screenVertex(5.5f, 40.5f, 10000.0f);
    const u32 undefined = addVertex(world, {NAN, 0.0f, 0.0f});
    addFace(world, {a, a + 1, 2000000});
    addFace(world, {});
    addFace(world, {a, undefined, a + 2});
    endObject(world);
    rect(white, 40.5f, 10.5f, 60.5f, 30.5f, 10000.0f);
    load();
    draw();
    EXPECT_TRUE(lit(pixel(50, 20)));
    EXPECT_EQ(depthAt(10, 10).state, kDepthEmpty);
    EXPECT_EQ(depthAt(6, 20).state, kDepthEmpty);
    EXPECT_EQ(world.faces[0].flags, 0xFFFF);
    EXPECT_EQ(world.faces[1].flags, 0xFFFF);
    EXPECT_EQ(render.vertexFaceCounts[a + 1], 0); // the bad face is in no vertex's list
    restart();
    rect(-1, 10.5f, 10.5f, 30.5f, 30.5f, 10000.0f);
    beginObject(world, white); // no vertices: its sort key and bounds mean nothing
    endObject(world);
    rect(white, 40.5f, 10.5f, 60.5f, 30.5f, 10000.0f);
    draw();
    EXPECT_EQ(depthAt(20, 20).state, kDepthEmpty);
    EXPECT_TRUE(lit(pixel(50, 20)));
}

TEST_F(Rasterizer, DrawsBackFacesLitFromTheOtherSide)
{
    // The same quad wound both ways: two-sided lighting gives both the same colour.
    polygon(white, {{5.5f, 10.5f}, {25.5f, 10.5f}, {25.5f, 30.5f}, {5.5f, 30.5f}}, 10000.0f);
    polygon(white, {{35.5f, 30.5f}, {55.5f, 30.5f}, {55.5f, 10.5f}, {35.5f, 10.5f}}, 10000.0f);
    draw();
    EXPECT_TRUE(lit(pixel(15, 20)));
    EXPECT_EQ(pixel(15, 20), pixel(45, 20));
}

TEST_F(Rasterizer, DrawsNothingIntoAnEmptyFrame)
{
    rect(white, 10.5f, 10.5f, 30.5f, 30.5f, 10000.0f);
    for (auto size : {std::pair<i16, i16>{0, 48}, {64, 0}, {0, 0}}) {
        ASSERT_TRUE(ResizeFrameBuffers(world, frame, size.first, size.second));
        draw(); // must neither divide by zero nor touch a buffer
        EXPECT_EQ(frame.frameBuffer, nullptr);
    }
    ASSERT_TRUE(ResizeFrameBuffers(world, frame, kWidth, kHeight));
    draw();
    EXPECT_TRUE(lit(pixel(20, 20)));
}
