// Every block the renderer allocates goes back exactly once through the memory service,
// also when the service runs dry part way; a steady frame asks for no memory at all.
#include "tests/render/scene.h"
#include "tests/support/counting_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

using testing_support::CountingAllocator;

using namespace render_test;

// Every block this program takes from the C++ heap, from any thread, is counted here.
// The replacements come as a set: the sanitizers take a block from one family freed by
// another for a fault.
namespace {
std::atomic<long> heapBlocks{0};

void* countedBlock(std::size_t size) noexcept
{
    heapBlocks.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

// Kept out of line: inlined into a caller, g++ would see a block from operator new go to
// free() and take the pair for mismatched, not knowing that here they are one family.
[[gnu::noinline]] void releaseBlock(void* block) noexcept
{
    std::free(block);
}
} // namespace

void* operator new(std::size_t size)
{
    if (void* block = countedBlock(size)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    if (void* block = countedBlock(size)) return block;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return countedBlock(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return countedBlock(size);
}
void operator delete(void* block) noexcept
{
    releaseBlock(block);
}
void operator delete[](void* block) noexcept
{
    releaseBlock(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    releaseBlock(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    releaseBlock(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    releaseBlock(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    releaseBlock(block);
}

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

// Once a frame of a size has been drawn, the next frames of that size take nothing from
// the memory service or the heap, with one thread or with bands. (A stereo or shadow
// frame's own per-frame blocks are the options' business, not checked here.)
TEST_F(RendererMemory, SteadyFramesAskForNoMemory)
{
    CountingAllocator::install();
    {
        Scene scene;
        buildShowcase(scene.world, true);
        ASSERT_TRUE(scene.openFrame(160, 120));
        ASSERT_TRUE(scene.loadWorld());
        SetReflection(scene.render, true);
        for (u32 threads : {1u, 2u, 3u}) {
            SetFrameThreads(scene.render, threads);
            RenderFrame(scene.world, scene.render, scene.frame); // threads and band buffers
            const long blocks = CountingAllocator::allocations;
            const long heap = heapBlocks.load();
            for (int frame = 0; frame < 3; ++frame)
                RenderFrame(scene.world, scene.render, scene.frame);
            EXPECT_EQ(CountingAllocator::allocations, blocks) << threads << " threads";
            EXPECT_EQ(heapBlocks.load(), heap) << threads << " threads";
        }
    }
    EXPECT_EQ(CountingAllocator::outstanding(), 0);
}
