// The world tables on their own: starting sizes, growth that keeps counts and the spare
// vertex row, the 16-bit refusal, allocation failure, and the group transforms.
#include "tests/support/counting_allocator.h"
#include "tests/world/world_reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>

using testing_support::CountingAllocator;

class WorldTables : public WorldReading {
protected:
    // An object of the given vertices (internal order), listed as group entry `entry`.
    // Each vertex goes into the spare row first, as the reader appends them.
    i16 objectWithVertices(std::initializer_list<std::array<f32, 3>> vertices, u32 entry)
    {
        const i16 object = newObject(world);
        EXPECT_TRUE(growVertexRows(world, world.vertexCount + 1));
        for (const auto& v : vertices) {
            const u32 row = world.vertexCount;
            world.vertexZ[row] = v[0];
            world.vertexX[row] = v[1];
            world.vertexY[row] = v[2];
            EXPECT_TRUE(growVertexRows(world, row + 2));
            world.vertexCount = row + 1;
        }
        world.objects[object].vertexCount = static_cast<u32>(vertices.size());
        world.groupObjects[entry] = object;
        return object;
    }
    // A new object that shares the vertices of `source` (coord USE), as group entry `entry`.
    i16 sharerOf(i16 source, u32 entry)
    {
        const i16 sharer = newObject(world);
        world.objects[sharer].firstVertex = world.objects[source].firstVertex;
        world.objects[sharer].vertexCount = world.objects[source].vertexCount;
        world.groupObjects[entry] = sharer;
        return sharer;
    }
    template <std::size_t N> static void set(f32 (&to)[N], const std::array<f32, N>& values)
    {
        std::copy(values.begin(), values.end(), to);
    }
};

TEST_F(WorldTables, StartWithGreyTenByTenTextures)
{
    ASSERT_GE(world.textureCapacity, kTextureRows);
    for (u32 row = 0; row < kTextureRows; ++row) {
        EXPECT_EQ(world.textures[row].width, 10);
        EXPECT_EQ(world.textures[row].height, 10);
        ASSERT_NE(world.texturePixels[row], nullptr);
        EXPECT_EQ(world.texturePixels[row][299], 127); // last byte of a 10 x 10 x 3 block
    }
}

TEST_F(WorldTables, ResizeBlockCopiesTheSmallerSizeAndFreesAtZero)
{
    auto* block = static_cast<u8*>(resizeBlock(nullptr, 4, 0));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "abcd", 4);
    block = static_cast<u8*>(resizeBlock(block, 8, 4));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, "abcd", 4), 0);
    block = static_cast<u8*>(resizeBlock(block, 2, 8));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, "ab", 2), 0);
    EXPECT_EQ(resizeBlock(block, 0, 2), nullptr);
}

TEST_F(WorldTables, NewObjectStartsAtTheCurrentCountsPlusOne)
{
    ASSERT_TRUE(growVertexRows(world, 8));
    world.vertexCount = 7;
    const i16 object = newObject(world);
    ASSERT_EQ(object, 0);
    const ObjectRecord& record = world.objects[object];
    EXPECT_EQ((std::array{record.firstVertex, record.firstFace, record.firstCorner}),
              (std::array<u32, 3>{8, 1, 1}));
    EXPECT_EQ(record.normalPerVertex, 1);
    EXPECT_EQ(record.material, -1);
    EXPECT_NE(record.tag, 11); // 11 would change how frame preparation orders its faces
    EXPECT_EQ(record.name[0], '\0');
    world.vertexCount = 0;
}

TEST_F(WorldTables, SixteenBitCountsRefuseTheRowAfterThe32767th)
{
    EXPECT_TRUE(canAddRow16(32766));
    EXPECT_FALSE(canAddRow16(32767));
    EXPECT_FALSE(canAddRow16(-1));
    for (i32 n = 0; n < 32767; ++n) ASSERT_EQ(newObject(world), n);
    EXPECT_EQ(newObject(world), -1);
    EXPECT_EQ(world.objectCount, 32767);
    EXPECT_EQ(newLight(world, 2), 0); // other tables are unaffected
    world.pointLightCount = 32767;    // a full per-kind count refuses without counting
    EXPECT_EQ(newLight(world, 2), -1);
    EXPECT_EQ(world.lightCount, 1);
    world.pointLightCount = 1;
}

TEST_F(WorldTables, NewLightsCarryVrmlDefaultsInStoredForm)
{
    ASSERT_EQ(newLight(world, 1), 0);
    ASSERT_EQ(newLight(world, 3), 1);
    ASSERT_EQ(newLight(world, 2), 2);
    for (int light = 0; light < 3; ++light) EXPECT_EQ(world.lights[light].kindIndex, 0);
    // The directional default is the reader's (LightReaders).
    EXPECT_FLOAT_EQ(world.spotLights[0].direction[0], -1.0f);
    EXPECT_FLOAT_EQ(world.spotLights[0].cone, 1.1215457f); // VRML's pi / 4
    EXPECT_EQ(world.lights[1].enabled, 1.0f);
    EXPECT_EQ(world.lights[1].color[2], 1.0f);
}

TEST_F(WorldTables, GroupTransformsMoveEveryListedObjectAndItsBounds)
{
    // Internal axes (z, x, y): a quarter turn about the third (up) axis takes the first
    // axis to the second, as z to x turns about y in the file. Scales work about the
    // pivot (1, 0, 0).
    const struct {
        i16 kind;
        std::array<f32, 3> first, second; // where (1, 2, 3) and (10, 10, 10) end up
    } rows[] = {{kApplyTranslate, {6, 1, 3.5f}, {15, 9, 10.5f}},
                {kApplyRotate, {-2, 1, 3}, {-10, 10, 10}},
                {kApplyScale, {1, 1, -3}, {19, 5, -10}}};
    for (const auto& row : rows) {
        freeWorldTables(world);
        ASSERT_TRUE(initWorldTables(world));
        objectWithVertices({{1, 2, 3}}, 0);
        objectWithVertices({{10, 10, 10}}, 1);
        set(world.pendingTranslation, {5.0f, -1.0f, 0.5f});
        set(world.pendingRotation, {0.0f, 0.0f, 1.0f, 1.5707963f});
        set(world.scalePivot, {1.0f, 0.0f, 0.0f});
        set(world.pendingScale, {2.0f, 0.5f, -1.0f});
        applyToGroup(world, row.kind, 0, 2);
        for (u32 v = 0; v < 2; ++v) {
            const std::array<f32, 3>& want = v == 0 ? row.first : row.second;
            const f32 got[3] = {world.vertexZ[v], world.vertexX[v], world.vertexY[v]};
            const f32* bounds = world.objectBounds[v]; // min z, max z, min x, ...
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(got[c], want[c], 1e-5f) << row.kind << " vertex " << v << " axis " << c;
                EXPECT_NEAR(bounds[2 * c], want[c], 1e-5f) << row.kind << " object " << v;
                EXPECT_NEAR(bounds[2 * c + 1], want[c], 1e-5f) << row.kind << " object " << v;
            }
        }
    }
}

TEST_F(WorldTables, SharedVerticesMoveOncePerGroupPassWhereverTheirSourceIs)
{
    // Sources outside the group, then a group of one own object, one sharer per source
    // listed twice after it, and last a sharer of the own object: every vertex moves once.
    const u32 sources = 3000, entries = 2 + 2 * sources;
    ASSERT_TRUE(growTable(world.groupObjects, world.groupObjectCapacity, entries));
    for (u32 s = 0; s < sources; ++s) objectWithVertices({{0, 0, 0}}, 5000);
    const i16 own = objectWithVertices({{0, 0, 0}}, 0);
    for (u32 s = 0; s < sources; ++s)
        world.groupObjects[2 + 2 * s] = sharerOf(static_cast<i16>(s), 1 + 2 * s);
    const i16 ownSharer = sharerOf(own, entries - 1);
    world.pendingTranslation[2] = 1.0f;
    applyToGroup(world, kApplyTranslate, 0, entries);
    for (u32 v = 0; v < sources; v += 499) EXPECT_FLOAT_EQ(world.vertexY[v], 1.0f) << v;
    EXPECT_FLOAT_EQ(world.vertexY[world.objects[own].firstVertex - 1], 1.0f);
    EXPECT_FLOAT_EQ(world.objectBounds[ownSharer][4], 1.0f); // its lowest y
}

TEST_F(WorldTables, EmptyObjectsAndEntriesOutsideTheTablesMoveNothingElse)
{
    // An object without vertices starts where the next one starts: it must not take
    // that object's vertices. Entries past the group table and objects that do not
    // exist are passed over.
    world.groupObjects[0] = newObject(world);
    objectWithVertices({{1, 1, 1}}, 1);
    world.pendingTranslation[0] = 2.0f;
    applyToGroup(world, kApplyTranslate, 0, 2);
    EXPECT_FLOAT_EQ(world.vertexZ[0], 3.0f);
    world.groupObjects[world.groupObjectCapacity - 1] = 9; // no such object
    applyToGroup(world, kApplyTranslate, world.groupObjectCapacity - 1, 1000);
    applyToGroup(world, kApplyTranslate, world.groupObjectCapacity + 5, 1);
    world.groupObjects[1] = 9;
    applyToGroup(world, kApplyTranslate, 0, 2);
    EXPECT_FLOAT_EQ(world.vertexZ[0], 3.0f);
}

// The same tables with every block counted: nothing leaks, nothing is freed twice, and
// a failed allocation stops only the operation that needed it.
class WorldTablesMemory : public ::testing::Test {
protected:
    void SetUp() override
    {
        CountingAllocator::install();
        ASSERT_TRUE(initWorldTables(world));
    }
    void TearDown() override
    {
        CountingAllocator::failAfter = -1;
        freeWorldTables(world);
        EXPECT_EQ(CountingAllocator::outstanding(), 0);
        EXPECT_EQ(CountingAllocator::badFrees, 0);
        CountingAllocator::uninstall();
    }

    World world;
};

TEST_F(WorldTablesMemory, GrowthReallocatesOnlyLogarithmicallyOften)
{
    const long before = CountingAllocator::allocations;
    ASSERT_TRUE(growVertexRows(world, 1));
    for (u32 v = 0; v < 100000; ++v) {
        ASSERT_TRUE(growVertexRows(world, v + 2));
        world.vertexZ[v] = static_cast<f32>(v);
        world.vertexCount = v + 1;
    }
    // Six arrays, each doubling from a few rows to 100000: well under 6 x 20 blocks.
    EXPECT_LT(CountingAllocator::allocations - before, 120);
    EXPECT_EQ(world.vertexZ[99999], 99999.0f);
}

TEST_F(WorldTablesMemory, FailedAllocationStopsTheAppendAndKeepsTheTable)
{
    ASSERT_EQ(newObject(world), 0);
    const ObjectRecord* before = world.objects;
    const u32 capacity = world.objectCapacity;
    CountingAllocator::failAfter = CountingAllocator::allocations; // every allocation fails
    for (u32 n = 1; n < capacity; ++n) ASSERT_EQ(newObject(world), static_cast<i16>(n));
    EXPECT_EQ(newObject(world), -1); // needs a bigger block
    EXPECT_EQ(world.objectCount, static_cast<i16>(capacity));
    EXPECT_EQ(world.objects, before);
    EXPECT_FALSE(growVertexRows(world, 100));
    EXPECT_EQ(world.vertexCapacity, 0u);
    EXPECT_EQ(newLight(world, 3), -1);
    EXPECT_EQ(world.lightCount, 0);
    EXPECT_EQ(world.spotLightCount, 0);
}

TEST_F(WorldTablesMemory, TextureRowWhoseBlockFailedGetsOneWhenPreparedAgain)
{
    world.textureCount = static_cast<i16>(world.textureCapacity);
    // The two tables may grow, the first grey block may not.
    CountingAllocator::failAfter = CountingAllocator::allocations + 2;
    EXPECT_FALSE(prepareTextureRow(world));
    CountingAllocator::failAfter = -1;
    ASSERT_TRUE(prepareTextureRow(world));
    const u32 row = static_cast<u32>(world.textureCount);
    ASSERT_NE(world.texturePixels[row], nullptr);
    EXPECT_EQ(world.textures[row].width, 10);
    EXPECT_EQ(world.texturePixels[row][0], 127);
    world.textureCount = 0;
}

TEST_F(WorldTablesMemory, AllocationFailureAnywhereInStartUpLeavesNothingBehind)
{
    for (long failAfter = 0; failAfter < 300; failAfter += 7) {
        World partial;
        CountingAllocator::failAfter = CountingAllocator::allocations + failAfter;
        initWorldTables(partial);
        newObject(partial);
        newLight(partial, 3);
        prepareMaterialRow(partial);
        CountingAllocator::failAfter = -1;
        freeWorldTables(partial);
    }
    // TearDown checks that every block went back exactly once.
}
