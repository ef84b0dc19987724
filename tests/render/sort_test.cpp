// Face normals, hidden marks and the nearest-first order of objects and faces.
#include "render/buffers.h"
#include "render/faces.h"
#include "tests/render/scene.h"

#include <cmath>

using namespace render_test;

namespace {

class FaceOrder : public RenderScene {
protected:
    void SetUp() override
    {
        RenderScene::SetUp();
        material = addMaterial(world, 1, 1, 1);
    }
    // A triangle whose nearest corner is at `depth`.
    void triangle(f32 depth)
    {
        const u32 a = addVertex(world, {depth, 0.0f, 0.0f});
        addVertex(world, {depth + 500.0f, 1000.0f, 0.0f});
        addVertex(world, {depth + 500.0f, 0.0f, 1000.0f});
        addFace(world, {a, a + 1, a + 2});
    }
    void sort()
    {
        ASSERT_TRUE(allocateWorldBuffers(world, render));
        for (i16 o = 0; o < world.objectCount; ++o) ComputeFaceNormals(world, o);
        ASSERT_TRUE(SortObjectsAndFaces(world, render));
    }
    i16 material = 0;
};

} // namespace

TEST_F(FaceOrder, PutsTheNearestObjectFirst)
{
    for (f32 depth : {3000.0f, 1000.0f, 2000.0f}) {
        beginObject(world, material);
        triangle(depth);
        endObject(world);
    }
    sort();
    EXPECT_EQ(render.objectOrder[0], 1u);
    EXPECT_EQ(render.objectOrder[1], 2u);
    EXPECT_EQ(render.objectOrder[2], 0u);
}

TEST_F(FaceOrder, KeepsTheTableOrderOfTwoObjectsAtEqualDepth)
{
    for (int o = 0; o < 2; ++o) {
        beginObject(world, material);
        triangle(1000.0f);
        endObject(world);
    }
    sort();
    EXPECT_EQ(render.objectOrder[0], 0u);
    EXPECT_EQ(render.objectOrder[1], 1u);
}

TEST_F(FaceOrder, SortsEachObjectsFacesByTheirNearestCorner)
{
    beginObject(world, material);
    for (f32 depth : {5000.0f, 2000.0f, 4000.0f, 1000.0f, 3000.0f}) triangle(depth);
    endObject(world);
    sort();
    const u32 expected[] = {3, 1, 4, 2, 0};
    for (u32 i = 0; i < 5; ++i) EXPECT_EQ(render.faceOrder[i], expected[i]) << i;
}

TEST_F(FaceOrder, KeepsTheFaceOrderOfAnObjectTagged11)
{
    const i16 object = beginObject(world, material);
    for (f32 depth : {5000.0f, 2000.0f, 4000.0f}) triangle(depth);
    endObject(world);
    world.objects[object].tag = 11;
    sort();
    for (u32 i = 0; i < 3; ++i) EXPECT_EQ(render.faceOrder[i], i);
}

TEST_F(FaceOrder, HidesAFaceWhollyBehindTheEye)
{
    beginObject(world, material);
    triangle(-3000.0f); // every corner behind
    const u32 a = addVertex(world, {-500.0f, 0, 0});
    addVertex(world, {500.0f, 1000.0f, 0}); // across the eye plane
    addVertex(world, {-500.0f, 0, 1000.0f});
    addFace(world, {a, a + 1, a + 2});
    const u32 b = addVertex(world, {-0.0f, 0, 0}); // all in the eye plane, one at -0
    addVertex(world, {0.0f, 1000.0f, 0});
    addVertex(world, {0.0f, 0, 1000.0f});
    addFace(world, {b, b + 1, b + 2});
    endObject(world);
    sort();
    EXPECT_EQ(world.faces[0].flags, kFaceHidden);
    EXPECT_EQ(world.faces[1].flags, 0);
    EXPECT_EQ(world.faces[2].flags, 0);
}

TEST_F(FaceOrder, GivesAFaceAUnitNormalFromItsFirstLargeCornerTriple)
{
    beginObject(world, material);
    const u32 a = addVertex(world, {1000.0f, 0.0f, 0.0f});
    addVertex(world, {1000.0f, 1000.0f, 0.0f});
    addVertex(world, {1000.0f, 0.0f, 1000.0f});
    addFace(world, {a, a + 1, a + 2});
    endObject(world);
    sort();
    const f32* n = world.faces[0].normal;
    EXPECT_NEAR(std::fabs(n[0]), 1.0f, 1e-6f);
    EXPECT_NEAR(n[1], 0.0f, 1e-6f);
    EXPECT_NEAR(n[2], 0.0f, 1e-6f);
}

TEST_F(FaceOrder, FallsBackToTheDiagonalNormalForATinyFace)
{
    // Every cross product is 100.0 or shorter: too small to trust in world units.
    beginObject(world, material);
    const u32 a = addVertex(world, {1000.0f, 0.0f, 0.0f});
    addVertex(world, {1000.0f, 10.0f, 0.0f});
    addVertex(world, {1000.0f, 0.0f, 10.0f});
    addFace(world, {a, a + 1, a + 2});
    endObject(world);
    sort();
    for (f32 c : world.faces[0].normal) EXPECT_NEAR(c, 0.57735026f, 1e-6f);
}

TEST_F(FaceOrder, SkipsShortTriplesForTheFirstLongOne)
{
    // Corners 0, 1, 2 are nearly in line (a cross product of 50 along the third axis);
    // 1, 2, 3 span a square facing along the first.
    beginObject(world, material);
    const u32 a = addVertex(world, {1000.0f, 0.0f, 0.0f});
    addVertex(world, {1000.0f, 1000.0f, 0.0f});
    addVertex(world, {1000.05f, 2000.0f, 0.0f});
    addVertex(world, {1000.0f, 2000.0f, 1000.0f});
    addFace(world, {a, a + 1, a + 2, a + 3});
    endObject(world);
    sort();
    EXPECT_NEAR(std::fabs(world.faces[0].normal[0]), 1.0f, 1e-4f);
}
