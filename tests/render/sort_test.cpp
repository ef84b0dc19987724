// Face normals, hidden marks and the nearest-first order of objects and faces.
#include "render/buffers.h"
#include "render/faces.h"
#include "tests/render/scene.h"

#include <vector>

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
        ASSERT_TRUE(AllocateWorldBuffers(world, render));
        for (i16 o = 0; o < world.objectCount; ++o) ComputeFaceNormals(world, o);
        ASSERT_TRUE(SortObjectsAndFaces(world, render));
    }
    // The normal of one face through these corners, after sorting.
    const f32* normalOf(const std::vector<Point>& corners)
    {
        addPolygon(world, material, corners);
        sort();
        return world.faces[world.objects[world.objectCount - 1].firstFace - 1].normal;
    }
    i16 material = 0;
};

} // namespace

// Objects of one triangle each at these depths come out nearest first; of two at the
// same depth, the first in the table comes first (the selection sort's tie order).
TEST_F(FaceOrder, PutsTheNearestObjectFirstAndKeepsTheTableOrderOfTies)
{
    for (f32 depth : {3000.0f, 1000.0f, 2000.0f, 1000.0f}) {
        beginObject(world, material);
        triangle(depth);
        endObject(world);
    }
    sort();
    EXPECT_EQ(std::vector<u32>(render.objectOrder, render.objectOrder + 4),
              (std::vector<u32>{1, 3, 2, 0}));
}

// Each object's faces come out by their nearest corners, except in an object tagged 11,
// whose faces keep their order.
TEST_F(FaceOrder, SortsEachObjectsFacesByTheirNearestCornerUnlessTagged11)
{
    for (u8 tag : {12, 11}) {
        const i16 object = beginObject(world, material);
        world.objects[object].tag = tag;
        for (f32 depth : {5000.0f, 2000.0f, 4000.0f, 1000.0f, 3000.0f}) triangle(depth);
        endObject(world);
    }
    sort();
    // Rows 0 to 4, the empty row 5, then rows 6 to 10.
    EXPECT_EQ(std::vector<u32>(render.faceOrder, render.faceOrder + 5),
              (std::vector<u32>{3, 1, 4, 2, 0}));
    EXPECT_EQ(std::vector<u32>(render.faceOrder + 6, render.faceOrder + 11),
              (std::vector<u32>{6, 7, 8, 9, 10}));
}

// Faces whose nearest corners lie at exactly the same depth are drawn in table order, by
// both paths: of two coplanar faces over the same pixels, the first in the table stays.
// The keys 5000, 6000, 5000, 5000 are ones a Shell sort on the keys alone leaves as rows
// 0, 3, 2, 1, which would draw row 3 first.
TEST_F(FaceOrder, DrawsFacesWithEqualKeysInTableOrder)
{
    for (bool reference : {true, false}) {
        freeWorldTables(world);
        FreeWorldBuffers(render);
        FreeFrameBuffers(frame);
        ASSERT_TRUE(initWorldTables(world));
        render.referencePath = reference;
        open(kWidth, kHeight);
        // Texture row 0: a red texel left, a green one right.
        ASSERT_NE(addTexture(world, 2, 1, {0, 0, 255, 0, 255, 0}), nullptr);
        const i16 m = addMaterial(world, 1, 1, 1);
        useTexture(world.materials[m], 1, 1);
        const i16 object = beginObject(world, m);
        auto square = [&](f32 left, f32 top, f32 side, f32 depth, f32 s) {
            const u32 a = screenVertex(left, top, depth);
            screenVertex(left + side, top, depth);
            screenVertex(left + side, top + side, depth);
            screenVertex(left, top + side, depth);
            addFace(world, {a, a + 1, a + 2, a + 3});
            for (u32 v = a; v < a + 4; ++v) {
                world.vertexTexCoords[v][0] = s;
                world.vertexTexCoords[v][1] = 0.5f;
            }
        };
        square(1.5f, 1.5f, 3.0f, 5000.0f, 0.25f);    // row 0, in a corner
        square(55.5f, 1.5f, 3.0f, 6000.0f, 0.25f);   // row 1, in another
        square(20.5f, 10.5f, 20.0f, 5000.0f, 0.25f); // row 2: red
        square(20.5f, 10.5f, 20.0f, 5000.0f, 0.75f); // row 3: green, the same place
        endObject(world);
        world.objects[object].hasTexCoords = 1;
        load();
        draw();
        const Colour middle = pixel(30, 20);
        EXPECT_GT(middle.red, 0) << (reference ? "plain path" : "fast path");
        EXPECT_EQ(middle.green, 0) << (reference ? "plain path" : "fast path");
    }
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

// A face's normal comes from its first corner triple whose cross product is longer than
// 100, else from the longest shorter one; only a face without extent takes the diagonal.
TEST_F(FaceOrder, GivesAFaceTheUnitNormalOfItsFirstLongCornerTriple)
{
    const f32* large =
        normalOf({{1000.0f, 0.0f, 0.0f}, {1000.0f, 1000.0f, 0.0f}, {1000.0f, 0.0f, 1000.0f}});
    EXPECT_NEAR(large[0], 1.0f, 1e-6f);
    EXPECT_NEAR(large[1], 0.0f, 1e-6f);
    EXPECT_NEAR(large[2], 0.0f, 1e-6f);
    // Regression: a 1 mm triangle of a model in metres (5 units a side: u x w = (25, 0,
    // 0)) took the diagonal normal, and shaded as a dark shard among its neighbours.
    const f32* tiny =
        normalOf({{1000.0f, 0.0f, 0.0f}, {1000.0f, 5.0f, 0.0f}, {1000.0f, 5.0f, 5.0f}});
    EXPECT_NEAR(tiny[0], 1.0f, 1e-6f);
    EXPECT_NEAR(tiny[1], 0.0f, 1e-6f);
    EXPECT_NEAR(tiny[2], 0.0f, 1e-6f);
    // Corners 0, 1, 2 in line (a zero product); the later triples give 20 and 40.
    EXPECT_NEAR(normalOf({{1000.0f, 0.0f, 0.0f},
                          {1000.0f, 2.0f, 0.0f},
                          {1000.0f, 4.0f, 0.0f},
                          {1000.0f, 4.0f, 10.0f}})[0],
                1.0f, 1e-6f);
    // Corners 0, 1, 2 nearly in line (a product of 50); 1, 2, 3 span a square.
    EXPECT_NEAR(normalOf({{1000.0f, 0.0f, 0.0f},
                          {1000.0f, 1000.0f, 0.0f},
                          {1000.05f, 2000.0f, 0.0f},
                          {1000.0f, 2000.0f, 1000.0f}})[0],
                1.0f, 1e-4f);
    const f32* line =
        normalOf({{1000.0f, 0.0f, 0.0f}, {1000.0f, 1.0f, 0.0f}, {1000.0f, 2.0f, 0.0f}});
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(line[c], 0.57735026f, 1e-6f) << c;
}
