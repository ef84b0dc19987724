// Every block the renderer allocates goes back exactly once through the memory service,
// also when the service runs dry part way.
#include "plugin/memory.h"
#include "tests/render/scene.h"
#include "tests/support/counting_allocator.h"

#include <cstring>

using testing_support::CountingAllocator;

namespace {

// A small world built without assertions, so that it can be built while allocations
// fail: whatever cannot be had is left out.
void buildWorld(World& world)
{
    if (!initWorldTables(world)) return;
    for (int m = 0; m < 2; ++m) {
        if (!prepareMaterialRow(world)) return;
        world.materials[world.materialCount].specularColor[0] = 1.0f;
        world.materialCount = static_cast<i16>(world.materialCount + 1);
    }
    world.materials[1].hasTexture = 1;
    world.materials[1].textureMode = 3;
    world.materials[1].textureRepeatS = world.materials[1].textureRepeatT = 1;
    world.materials[0].opaque = 0;
    world.materials[0].transparency = 0.5f;
    if (prepareTextureRow(world)) world.textureCount = 1;
    for (int o = 0; o < 3; ++o) {
        const i16 object = newObject(world);
        if (object < 0) return;
        world.objects[object].material = static_cast<i16>(o % 2);
        const u32 first = world.vertexCount;
        if (!growVertexRows(world, first + 5)) return;
        const f32 depth = 8000.0f + 1500.0f * o;
        const f32 corners[4][2] = {{-900, -700}, {900, -700}, {900, 700}, {-900, 700}};
        for (u32 k = 0; k < 4; ++k) {
            world.vertexZ[first + k] = depth + 100.0f * k;
            world.vertexX[first + k] = corners[k][0] + 300.0f * o;
            world.vertexY[first + k] = corners[k][1];
        }
        world.vertexCount = first + 4;
        world.objects[object].vertexCount = 4;
        if (!growTable(world.faces, world.faceCapacity, world.faceCount + 3)) return;
        if (!growTable(world.faceIndices, world.faceIndexCapacity, world.faceIndexCount + 7))
            return;
        const u32 triangles[2][3] = {{0, 1, 2}, {0, 2, 3}};
        for (const auto& triangle : triangles) {
            FaceRecord& face = world.faces[world.faceCount++];
            face = FaceRecord{};
            face.vertexCount = 3;
            face.firstIndex = world.faceIndexCount;
            for (u32 corner : triangle) world.faceIndices[world.faceIndexCount++] = first + corner;
        }
        world.faces[world.faceCount++] = FaceRecord{0, 0, world.faceIndexCount, {0, 0, 0}};
        world.faceIndices[world.faceIndexCount++] = 0;
        world.objects[object].faceCount = 2;
        computeObjectBounds(world, object);
    }
    const i16 light = newLight(world, 2);
    if (light >= 0) world.pointLights[world.lights[light].kindIndex][2] = 5000.0f;
    newLight(world, 1);
    world.reflectionPixels = static_cast<u8*>(PluginAlloc(4 * 4 * 3));
    if (world.reflectionPixels) {
        world.reflectionWidth = world.reflectionHeight = 4;
        std::memset(world.reflectionPixels, 90, 4 * 4 * 3);
    }
}

// The load, frames with every option, a resize, the options switched off again, and
// the Viewer's and the library's teardown.
void runLifetime()
{
    World world;
    RenderState render;
    FrameState frame;
    buildWorld(world);
    CreateFrameBuffers(frame, 48, 36);
    PrepareBackground(world, frame);
    allocateWorldBuffers(world, render);
    BuildVertexFaceLists(world, render);
    GenerateTexCoords(world);
    buildMaterialRamps(world);
    RenderFrame(world, render, frame, nullptr, 1.0f);
    setStereo(world, render, frame, true);
    RenderFrame(world, render, frame, nullptr, 1.0f);
    setShadows(world, render, frame, true);
    setReflection(render, true);
    RenderFrame(world, render, frame, nullptr, 1.0f);
    newLight(world, 3); // the lamp, after shadows were switched on
    RenderFrame(world, render, frame, nullptr, 2.0f);
    ResizeFrameBuffers(world, frame, 30, 20);
    RenderFrame(world, render, frame, nullptr, 1.0f);
    setStereo(world, render, frame, false);
    RenderFrame(world, render, frame, nullptr, 1.0f);
    setShadows(world, render, frame, false);
    RenderFrame(world, render, frame, nullptr, 1.0f);
    freeMaterialRamps(world);
    freeWorldBuffers(render);
    FreeFrameBuffers(frame);
    freeWorldTables(world);
}

class RendererMemory : public ::testing::Test {
protected:
    void TearDown() override { CountingAllocator::uninstall(); }
};

} // namespace

TEST_F(RendererMemory, FreesEveryBlockExactlyOnce)
{
    CountingAllocator::install();
    runLifetime();
    EXPECT_GT(CountingAllocator::allocations, 50);
    EXPECT_EQ(CountingAllocator::outstanding(), 0);
    EXPECT_EQ(CountingAllocator::badFrees, 0);
    EXPECT_EQ(CountingAllocator::frees, CountingAllocator::allocations);
}

TEST_F(RendererMemory, LeaksNothingWhenAllocationsFailAtAnyPoint)
{
    CountingAllocator::install();
    runLifetime();
    const long total = CountingAllocator::allocations;
    for (long allowed = 0; allowed < total; ++allowed) {
        CountingAllocator::install(allowed);
        runLifetime();
        ASSERT_EQ(CountingAllocator::outstanding(), 0) << "failing after " << allowed;
        ASSERT_EQ(CountingAllocator::badFrees, 0) << "failing after " << allowed;
    }
}

TEST_F(RendererMemory, AllocatesOnlyTheSortScratchOnceTheWorldIsLoaded)
{
    // The working buffers are sized at load and kept; a plain frame allocates only the
    // sort keys and the keyed pairs, and frees them again.
    CountingAllocator::install();
    World world;
    RenderState render;
    FrameState frame;
    buildWorld(world);
    CreateFrameBuffers(frame, 48, 36);
    allocateWorldBuffers(world, render);
    BuildVertexFaceLists(world, render);
    GenerateTexCoords(world);
    buildMaterialRamps(world);
    for (int i = 0; i < 3; ++i) {
        const long before = CountingAllocator::allocations;
        const long live = CountingAllocator::outstanding();
        RenderFrame(world, render, frame, nullptr, 1.0f);
        EXPECT_EQ(CountingAllocator::allocations - before, 3) << i;
        EXPECT_EQ(CountingAllocator::outstanding(), live) << i;
    }
    freeMaterialRamps(world);
    freeWorldBuffers(render);
    FreeFrameBuffers(frame);
    freeWorldTables(world);
    EXPECT_EQ(CountingAllocator::outstanding(), 0);
}

TEST_F(RendererMemory, KeepsTheReflectionOptionWhenTheWorldBuffersGo)
{
    RenderState render;
    World world;
    ASSERT_TRUE(initWorldTables(world));
    ASSERT_TRUE(allocateWorldBuffers(world, render));
    setReflection(render, true);
    freeWorldBuffers(render);
    EXPECT_EQ(render.objectOrder, nullptr);
    EXPECT_EQ(render.reflectionFlag, 1);
    freeWorldTables(world);
}
