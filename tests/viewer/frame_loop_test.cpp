// The Viewer window's frame loop, resize and teardown, with a world built in the test.
#include "platform/windows.h"
#include "render/render.h"
#include "viewer/viewer_window.h"
#include "world/reader.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// One red triangle facing the default camera (which looks along the file's z axis),
// 10 file units ahead of it.
void addTriangle(World& world)
{
    const std::string text = "Shape {\nappearance Appearance {\nmaterial Material {\n"
                             "diffuseColor 1 0 0\n}\n}\ngeometry IndexedFaceSet {\n"
                             "coord Coordinate {\npoint [\n-1 -1 10,\n1 -1 10,\n0 1 10,\n]\n}\n"
                             "coordIndex [\n0, 1, 2, -1,\n]\n}\n}\n";
    ASSERT_TRUE(readWorldText(world, text.data(), text.size()));
    ASSERT_EQ(world.objectCount, 1);
}

// Stands in for the plug-in instance: a browser frame, the plug-in window, the Viewer.
struct Instance {
    World& world;
    RenderState& render;
    InstanceOptions options;
    ViewerWindow viewer;
    Instance(World& w, RenderState& r) : world(w), render(r), viewer(w, r, options) {}
    // As the plug-in instance does: no more frames, then the Viewer's window goes.
    ~Instance()
    {
        viewer.busyFlag = 1;
        if (viewer.handle()) DestroyWindow(viewer.handle());
    }
};

class FrameLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        platformUseBackend("headless");
        ASSERT_TRUE(initWorldTables(world));
        frame = CreateWindowEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                               300, nullptr, nullptr, nullptr, nullptr);
        plugin = CreateWindowEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, frame,
                                nullptr, nullptr, nullptr);
        instance = std::make_unique<Instance>(world, render);
    }

    void TearDown() override
    {
        instance.reset();
        FreeMaterialRamps(world);
        FreeWorldBuffers(render);
        freeWorldTables(world);
        platformReset();
    }

    HWND createViewer(int width, int height)
    {
        instance->viewer.createChild(WS_CHILD | WS_VISIBLE, 0, 0, width, height, plugin, 0);
        return instance->viewer.handle();
    }

    // What the loading sequence prepares after reading.
    void prepareWorld()
    {
        ASSERT_TRUE(AllocateWorldBuffers(world, render));
        BuildVertexFaceLists(world, render);
        GenerateTexCoords(world);
        ASSERT_TRUE(BuildMaterialRamps(world));
    }

    bool timerWaiting(HWND viewer)
    {
        MSG msg{};
        return PeekMessage(&msg, viewer, WM_TIMER, WM_TIMER, PM_NOREMOVE) != 0;
    }

    World world;
    RenderState render;
    HWND frame = nullptr;
    HWND plugin = nullptr;
    std::unique_ptr<Instance> instance;
};

} // namespace

TEST_F(FrameLoop, CreationSetsTheDefaultCameraAndRenderSize)
{
    world.camera.viewAngle = 1.0f;
    HWND viewer = createViewer(400, 210);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(instance->viewer.frame.renderWidth, 400);
    EXPECT_EQ(instance->viewer.frame.renderHeight, 210);
    EXPECT_FLOAT_EQ(world.camera.viewAngle, 0.3f);
    EXPECT_FLOAT_EQ(world.camera.targetPoint[0], 1.0f);
    EXPECT_EQ(instance->viewer.navigation.mode, 4);
    EXPECT_FLOAT_EQ(instance->viewer.navigation.forwardAmount, 800.0f);
    EXPECT_EQ(instance->viewer.busyFlag, 0);
    EXPECT_GE(instance->viewer.comResult, 0);
}

TEST_F(FrameLoop, WithoutAWorldPaintsDrawNothingAndNoTickIsPosted)
{
    HWND viewer = createViewer(400, 210);
    UpdateWindow(viewer);
    InvalidateRect(viewer, nullptr, FALSE);
    UpdateWindow(viewer);
    EXPECT_EQ(platformPresentCount(viewer), 0u);
    EXPECT_FALSE(timerWaiting(viewer));
}

TEST_F(FrameLoop, EachPaintDrawsAFrameAndEachTickAsksForTheNext)
{
    addTriangle(world);
    HWND viewer = createViewer(400, 210);
    prepareWorld();
    InvalidateRect(viewer, nullptr, FALSE);
    UpdateWindow(viewer);
    EXPECT_EQ(platformPresentCount(viewer), 1u);
    MSG msg{};
    ASSERT_TRUE(PeekMessage(&msg, viewer, WM_TIMER, WM_TIMER, PM_REMOVE));
    DispatchMessage(&msg); // the tick paints the next frame at once
    EXPECT_EQ(platformPresentCount(viewer), 2u);
    EXPECT_TRUE(timerWaiting(viewer));
    // The middle of the view shows the red triangle.
    const SurfaceView surface = platformSurface(frame);
    const std::uint8_t* centre = surface.pixels + 105 * surface.stride + 200 * 4;
    EXPECT_GT(centre[2], 0);
    EXPECT_EQ(centre[1], 0);
}

TEST_F(FrameLoop, ACommandForTheBrowserFrameStopsTheLoopForGood)
{
    addTriangle(world);
    HWND viewer = createViewer(400, 210);
    prepareWorld();
    PostMessage(frame, WM_COMMAND, 1, 0);
    InvalidateRect(viewer, nullptr, FALSE);
    UpdateWindow(viewer);
    EXPECT_EQ(platformPresentCount(viewer), 1u); // the current frame was still drawn
    EXPECT_EQ(instance->viewer.busyFlag, 1);
    MSG msg{};
    while (PeekMessage(&msg, viewer, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessage(&msg);
    InvalidateRect(viewer, nullptr, FALSE);
    UpdateWindow(viewer);
    EXPECT_EQ(platformPresentCount(viewer), 1u);
    EXPECT_FALSE(timerWaiting(viewer));
}

TEST_F(FrameLoop, DisplayScale2RendersHalfTheClientSize)
{
    instance->options.displayScale = 2.0f;
    HWND viewer = createViewer(400, 210);
    SendMessage(viewer, WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 210));
    EXPECT_EQ(instance->viewer.frame.renderWidth, 200);
    EXPECT_EQ(instance->viewer.frame.renderHeight, 105);
    EXPECT_FLOAT_EQ(render.aspectRatio, 0.525f);
    MoveWindow(viewer, 0, 0, 301, 210, TRUE);
    EXPECT_EQ(instance->viewer.frame.renderWidth, 150); // 301 / 2, truncated
}

TEST_F(FrameLoop, MovingTheViewerResizesItsBuffersAsASizeChangeDoes)
{
    HWND viewer = createViewer(400, 210);
    MoveWindow(viewer, 10, 0, 300, 100, TRUE);
    EXPECT_EQ(instance->viewer.frame.renderWidth, 300);
    EXPECT_EQ(instance->viewer.frame.renderHeight, 100);
    SendMessage(viewer, WM_MOVE, 0, MAKELPARAM(10, 0));
    EXPECT_EQ(instance->viewer.frame.renderWidth, 300);
}

namespace {

// A browser whose frame window ends the instance when it is asked to close.
std::unique_ptr<Instance>* gClosingInstance = nullptr;

LRESULT closingFrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE && gClosingInstance) {
        gClosingInstance->reset();
        return 0;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

} // namespace

TEST_F(FrameLoop, AnInstanceEndedWhileMessagesAreDrainedIsNeverTouchedAgain)
{
    addTriangle(world);
    HWND viewer = createViewer(400, 210);
    prepareWorld();
    SetWindowLongPtr(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&closingFrameProcedure));
    gClosingInstance = &instance;
    PostMessage(frame, WM_CLOSE, 0, 0);
    PostMessage(frame, WM_USER + 1, 0, 0); // still queued when the instance is gone
    InvalidateRect(viewer, nullptr, FALSE);
    UpdateWindow(viewer); // under the address sanitizer, any later touch would fail here
    gClosingInstance = nullptr;
    EXPECT_EQ(instance, nullptr);
    EXPECT_FALSE(IsWindow(viewer));
}
