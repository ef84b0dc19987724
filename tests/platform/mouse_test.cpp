// Capture and the routing of injected mouse events.
#include "tests/platform/platform_fixture.h"

class MouseRouting : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        top = makeTopLevel(400, 300);
        viewer = makeChild(top, 0, 0, 400, 210);
        dashboard = makeChild(top, 0, 210, 400, 90);
        drainAll();
    }
    HWND top = nullptr;
    HWND viewer = nullptr;
    HWND dashboard = nullptr;
};

// An event goes to the child under the point, after what was posted before it.
TEST_F(MouseRouting, EventGoesToTheChildUnderThePointInItsCoordinatesInOrderWithPosts)
{
    const WPARAM keys = MK_LBUTTON | MK_SHIFT | MK_CONTROL;
    PostMessage(viewer, WM_TIMER, 0, 0);
    EXPECT_EQ(platformInjectMouse(top, WM_LBUTTONDOWN, 687, 250, keys), nullptr); // outside
    EXPECT_EQ(platformInjectMouse(top, WM_LBUTTONDOWN, 87, 250, keys), dashboard);
    platformInjectMouse(top, WM_LBUTTONUP, 10, 10, 0);
    EXPECT_EQ(take().message, WM_TIMER);
    const MSG msg = take();
    EXPECT_EQ(msg.hwnd, dashboard);
    EXPECT_EQ(msg.message, WM_LBUTTONDOWN);
    EXPECT_EQ(msg.wParam, keys); // unchanged
    EXPECT_EQ(GET_X_LPARAM(msg.lParam), 87);
    EXPECT_EQ(GET_Y_LPARAM(msg.lParam), 40);
    EXPECT_EQ(msg.pt.x, 87); // the cursor in top-level coordinates
    EXPECT_EQ(msg.pt.y, 250);
    EXPECT_EQ(take().message, WM_LBUTTONUP);
}

TEST_F(MouseRouting, CaptureHolderGetsEventsOutsideItWithCoordinatesBeyondItsEdgesUntilItGoes)
{
    EXPECT_EQ(SetCapture(viewer), nullptr);
    EXPECT_EQ(GetCapture(), viewer);
    EXPECT_EQ(platformInjectMouse(top, WM_MOUSEMOVE, 20, 280, MK_LBUTTON), viewer);
    MSG msg = take();
    EXPECT_EQ(GET_Y_LPARAM(msg.lParam), 280);
    SetCapture(dashboard);
    platformInjectMouse(top, WM_MOUSEMOVE, 20, 5, 0);
    msg = take();
    EXPECT_EQ(msg.hwnd, dashboard);
    EXPECT_EQ(GET_Y_LPARAM(msg.lParam), -205); // above the Dashboard: negative
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(platformInjectMouse(top, WM_MOUSEMOVE, 20, 5, 0), viewer);
    SetCapture(viewer);
    DestroyWindow(top); // destroying the holder's parent releases the capture
    EXPECT_EQ(GetCapture(), nullptr);
}
