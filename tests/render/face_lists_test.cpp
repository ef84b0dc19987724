// The faces that share each vertex, and the working buffers sized from the world.
#include "render/buffers.h"
#include "tests/render/scene.h"

#include <cmath>
#include <vector>

using namespace render_test;

namespace {

class FaceLists : public RenderScene {
protected:
    void SetUp() override
    {
        RenderScene::SetUp();
        open(kWidth, kHeight);
        white = addMaterial(world, 1, 1, 1);
    }
    std::vector<u32> listOf(u32 vertex) const
    {
        const u32 start = render.vertexFaceStarts[vertex];
        return {render.vertexFaceLists + start,
                render.vertexFaceLists + start + render.vertexFaceCounts[vertex]};
    }
    // An object of two upright faces 20 pixels wide folded back at a right angle along a
    // shared edge: one facing the eye from column `left`, the other seen edge-on.
    i16 fold(f32 left)
    {
        const f32 width = 20.0f;
        const i16 object = beginObject(world, white);
        const u32 a = screenVertex(left, 10.5f, 10000.0f);
        screenVertex(left + width, 10.5f, 10000.0f);
        screenVertex(left + width, 38.5f, 10000.0f);
        screenVertex(left, 38.5f, 10000.0f);
        screenVertex(left + width, 10.5f, 14000.0f);
        screenVertex(left + width, 38.5f, 14000.0f);
        addFace(world, {a, a + 1, a + 2, a + 3});
        addFace(world, {a + 1, a + 4, a + 5, a + 2});
        endObject(world);
        return object;
    }
    i16 white = 0;
};

} // namespace

TEST_F(FaceLists, ListFacesInTableOrderOncePerCornerAtTheVertex)
{
    beginObject(world, white);
    for (int v = 0; v < 5; ++v) addVertex(world, {1000.0f, 100.0f * v, 0.0f});
    addFace(world, {0, 1, 2});
    addFace(world, {2, 3, 4});
    addFace(world, {0, 2, 4, 2}); // vertex 2 twice
    endObject(world);
    beginObject(world, white); // another object using object 0's vertex 2
    addVertex(world, {1000.0f, 0.0f, 100.0f});
    addFace(world, {5, 2, 5});
    endObject(world);
    load();
    EXPECT_EQ(listOf(2), (std::vector<u32>{0, 1, 2, 2}));
    EXPECT_EQ(listOf(0), (std::vector<u32>{0, 2}));
    EXPECT_EQ(listOf(5), (std::vector<u32>{4, 4})); // its own face, row 4 after the empty row
    EXPECT_EQ(render.vertexFaceStarts[1], render.vertexFaceStarts[0] + 2);
}

// Regression: a vertex's list was copied through a scratch list of 256 entries, and the
// lists had room for 16 entries a vertex on average.
TEST_F(FaceLists, HoldEveryFaceOfAVertexSharedByThreeHundredFaces)
{
    beginObject(world, white);
    const u32 centre = screenVertex(32.0f, 24.0f, 10000.0f);
    constexpr u32 kFan = 300;
    const std::vector<u32> rim = ring(kFan, 32.0f, 24.0f, 20.0f, 12000.0f);
    // The fan and ten more copies of it over the same vertices: 30 entries a vertex on
    // average.
    for (int copy = 0; copy < 11; ++copy)
        for (u32 k = 0; k < kFan; ++k) addFace(world, {centre, rim[k], rim[(k + 1) % kFan]});
    endObject(world);
    load();
    EXPECT_EQ(render.vertexFaceCounts[centre], 11 * kFan);
    u32 entries = 0;
    for (u32 v = 0; v < world.vertexCount; ++v) entries += render.vertexFaceCounts[v];
    EXPECT_EQ(entries, 3 * 11 * kFan);
    draw();
    EXPECT_GT(pixel(32, 24).red, 0);
    EXPECT_GT(pixel(40, 30).red, 0);
}

// Regression: buffers allocated for one world were used as they were when the world
// grew, and a face larger than the polygon buffer was written past it.
TEST_F(FaceLists, GrowWithAWorldThatOutgrowsTheBuffersItWasLoadedWith)
{
    rect(white, 2.5f, 2.5f, 12.5f, 12.5f, 10000.0f);
    load();
    const u32 cornersBefore = render.corners.capacity;
    beginObject(world, white);
    const std::vector<u32> corners = ring(2 * cornersBefore, 40.0f, 24.0f, 15.0f, 300000.0f);
    addFace(world, corners.data(), static_cast<u32>(corners.size()));
    endObject(world);
    draw();
    EXPECT_GE(render.corners.capacity, 2 * cornersBefore);
    EXPECT_GE(render.projectedCapacity, world.vertexCount);
    EXPECT_GT(pixel(40, 24).red, 0);
    EXPECT_GT(pixel(7, 7).red, 0);
}

// Smooth shading mixes the folded faces' normals at the shared corners, so the face
// turned to the eye shades toward the fold; flat shading does not. In stereo a
// neighbour's normal more than the stereo limit (a dot product of 0.4) away is not
// mixed in, so across a right-angle fold each face keeps its own normal and one colour.
TEST_F(FaceLists, LeaveFlatShadedObjectsAndRightAngleFoldsInStereoWithTheFaceNormal)
{
    fold(2.5f);
    const i16 flat = fold(34.5f);
    world.objects[flat].normalPerVertex = 0;
    load();
    draw();
    EXPECT_EQ(pixel(38, 24), pixel(46, 24)); // flat: one colour across the face
    EXPECT_NE(pixel(12, 24), pixel(20, 24)); // smooth: shaded toward the fold
    ASSERT_TRUE(SetStereo(world, render, frame, true));
    draw();
    EXPECT_GT(pixel(12, 24).red, 0); // the left eye's picture, a few pixels to the right
    EXPECT_EQ(pixel(12, 24).red, pixel(20, 24).red);
}
