// Every block the renderer allocates goes back exactly once through the memory service,
// also when the service runs dry part way.
#include "tests/render/scene.h"
#include "tests/support/counting_allocator.h"

using testing_support::CountingAllocator;

using namespace render_test;

namespace {

// The load, frames with every option, a resize, the options switched off again, and
// the Viewer's and the library's teardown.
void runLifetime()
{
    Scene scene;
    World& world = scene.world;
    RenderState& render = scene.render;
    FrameState& frame = scene.frame;
    buildShowcase(world, true, 2, 2); // small spheres: this runs once per allocation
    scene.openFrame(48, 36);
    scene.loadWorld();
    RenderFrame(world, render, frame);
    SetStereo(world, render, frame, true);
    RenderFrame(world, render, frame);
    SetShadows(world, render, frame, true);
    SetReflection(render, true);
    RenderFrame(world, render, frame);
    newLight(world, 3); // the lamp, after shadows were switched on
    RenderFrame(world, render, frame);
    ResizeFrameBuffers(world, frame, 30, 20);
    RenderFrame(world, render, frame);
    SetStereo(world, render, frame, false);
    RenderFrame(world, render, frame);
    SetShadows(world, render, frame, false);
    RenderFrame(world, render, frame);
}

class RendererMemory : public ::testing::Test {
protected:
    void TearDown() override { CountingAllocator::uninstall(); }
};

} // namespace

TEST_F(RendererMemory, FreesEveryBlockExactlyOnceAlsoWhenAllocationsFailAtAnyPoint)
{
    CountingAllocator::install();
    runLifetime();
    const long total = CountingAllocator::allocations;
    EXPECT_GT(total, 50);
    EXPECT_EQ(CountingAllocator::frees, total);
    // That run (-1) and one for each allocation that could be the first to fail.
    for (long allowed = -1; allowed < total; ++allowed) {
        if (allowed >= 0) {
            CountingAllocator::install(allowed);
            runLifetime();
        }
        ASSERT_EQ(CountingAllocator::outstanding(), 0) << "failing after " << allowed;
        ASSERT_EQ(CountingAllocator::badFrees, 0) << "failing after " << allowed;
    }
}

TEST_F(RendererMemory, KeepsTheReflectionOptionWhenTheWorldBuffersGo)
{
    RenderState render;
    World world;
    ASSERT_TRUE(initWorldTables(world));
    ASSERT_TRUE(AllocateWorldBuffers(world, render));
    SetReflection(render, true);
    FreeWorldBuffers(render);
    EXPECT_EQ(render.objectOrder, nullptr);
    EXPECT_EQ(render.reflectionFlag, 1);
    freeWorldTables(world);
}
