// The Viewer window's frame loop, resize and teardown, with a world built in the test.
#include "tests/viewer/viewer_scene.h"

using namespace viewer_scene;

namespace {

class FrameLoop : public ViewerScene {
protected:
    bool timerWaiting()
    {
        MSG msg{};
        return PeekMessage(&msg, viewer().handle(), WM_TIMER, WM_TIMER, PM_NOREMOVE) != 0;
    }
};

} // namespace

TEST_F(FrameLoop, CreationSetsTheDefaultCameraAndRenderSize)
{
    world.camera.viewAngle = 1.0f;
    open(nullptr);
    EXPECT_EQ(viewer().frame.renderWidth, 400);
    EXPECT_EQ(viewer().frame.renderHeight, 210);
    EXPECT_FLOAT_EQ(world.camera.viewAngle, 0.3f);
    EXPECT_FLOAT_EQ(world.camera.targetPoint[0], 1.0f);
    EXPECT_EQ(navigation().mode, 4);
    EXPECT_FLOAT_EQ(navigation().forwardAmount, 800.0f);
    EXPECT_EQ(viewer().busyFlag, 0);
    EXPECT_GE(viewer().comResult, 0);
}

TEST_F(FrameLoop, WithoutAWorldPaintsDrawNothingAndNoTickIsPosted)
{
    open(nullptr);
    UpdateWindow(viewer().handle());
    InvalidateRect(viewer().handle(), nullptr, FALSE);
    UpdateWindow(viewer().handle());
    EXPECT_EQ(platformPresentCount(viewer().handle()), 0u);
    EXPECT_FALSE(timerWaiting());
}

TEST_F(FrameLoop, EachPaintDrawsAFrameAndEachTickAsksForTheNext)
{
    open(kTriangleAhead);
    frames(2); // a paint, then the tick it posted, each presenting one frame
    EXPECT_TRUE(timerWaiting());
    // The middle of the view shows the red triangle.
    const SurfaceView surface = platformSurface(frame);
    const std::uint8_t* centre = surface.pixels + 105 * surface.stride + 200 * 4;
    EXPECT_GT(centre[2], 0);
    EXPECT_EQ(centre[1], 0);
}

TEST_F(FrameLoop, ACommandForTheBrowserFrameStopsTheLoopForGood)
{
    open(kTriangleAhead);
    PostMessage(frame, WM_COMMAND, 1, 0);
    frames(1); // the current frame is still drawn
    EXPECT_EQ(viewer().busyFlag, 1);
    MSG msg{}; // bounded: a loop that went on would post a tick for every one taken
    for (int n = 0; n < 10 && PeekMessage(&msg, viewer().handle(), WM_TIMER, WM_TIMER, PM_REMOVE);
         ++n)
        DispatchMessage(&msg);
    InvalidateRect(viewer().handle(), nullptr, FALSE);
    UpdateWindow(viewer().handle());
    EXPECT_EQ(platformPresentCount(viewer().handle()), 1u);
    EXPECT_FALSE(timerWaiting());
}

TEST_F(FrameLoop, DisplayScale2RendersHalfTheClientSize)
{
    open(nullptr, 2.0f);
    SendMessage(viewer().handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 210));
    EXPECT_EQ(viewer().frame.renderWidth, 200);
    EXPECT_EQ(viewer().frame.renderHeight, 105);
    EXPECT_FLOAT_EQ(render.aspectRatio, 0.525f);
    MoveWindow(viewer().handle(), 0, 0, 301, 210, TRUE);
    EXPECT_EQ(viewer().frame.renderWidth, 150); // 301 / 2, truncated
}

TEST_F(FrameLoop, MovingTheViewerResizesItsBuffersAsASizeChangeDoes)
{
    open(nullptr);
    MoveWindow(viewer().handle(), 10, 0, 300, 100, TRUE);
    EXPECT_EQ(viewer().frame.renderWidth, 300);
    EXPECT_EQ(viewer().frame.renderHeight, 100);
    SendMessage(viewer().handle(), WM_MOVE, 0, MAKELPARAM(10, 0));
    EXPECT_EQ(viewer().frame.renderWidth, 300);
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
    open(kTriangleAhead);
    const HWND viewerWindow = viewer().handle();
    SetWindowLongPtr(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&closingFrameProcedure));
    gClosingInstance = &instance;
    PostMessage(frame, WM_CLOSE, 0, 0);
    PostMessage(frame, WM_USER + 1, 0, 0); // still queued when the instance is gone
    InvalidateRect(viewerWindow, nullptr, FALSE);
    UpdateWindow(viewerWindow); // under the address sanitizer, any later touch would fail here
    gClosingInstance = nullptr;
    EXPECT_EQ(instance, nullptr);
    EXPECT_FALSE(IsWindow(viewerWindow));
}
