// An allocator that fails stops the operation that needed memory without a crash, and
// every block still goes back exactly once (tests/plugin/loading_test.cpp checks that
// for a run where it never fails).
#include "tests/plugin/plugin_fixture.h"

using BrowserAllocator = PluginTest;

TEST_F(BrowserAllocator, InitialisationFailsCleanlyWhenMemoryRunsOut)
{
    ASSERT_EQ(getEntryPoints(&plugin), NPERR_NO_ERROR);
    BrowserMemory::reset(3);
    EXPECT_EQ(initialize(&browser), NPERR_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(BrowserMemory::live().size(), 0u);
    shutdown();
}

// The allocator fails after n blocks, for every n up to the point where the whole
// run fits: each run must end without a crash and give back every block it got.
TEST_F(BrowserAllocator, AnAllocatorFailingAtAnyPointNeverCrashesALoadOrAFrame)
{
    ASSERT_EQ(getEntryPoints(&plugin), NPERR_NO_ERROR);
    for (long allowed = 0; allowed < 400; allowed += 3) {
        BrowserMemory::reset(allowed);
        if (initialize(&browser) == NPERR_NO_ERROR) {
            initialised = true;
            startInstance(160, 190);
            loadWorld("triangle.wrl", kTriangleWorld);
            services->command(&instance, "stereo");
            services->command(&instance, "shadows");
            runFrames(2);
            destroyInstance();
            DestroyWindow(frame);
        }
        shutdown();
        initialised = false;
        EXPECT_EQ(BrowserMemory::live().size(), 0u) << "allowed " << allowed;
        EXPECT_EQ(BrowserMemory::badFrees, 0) << "allowed " << allowed;
    }
}
