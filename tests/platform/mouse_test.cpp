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
    MSG next()
    {
        MSG msg{};
        EXPECT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
        return msg;
    }
    HWND top = nullptr;
    HWND viewer = nullptr;
    HWND dashboard = nullptr;
};

TEST_F(MouseRouting, EventGoesToTheChildUnderThePointInItsCoordinates)
{
    EXPECT_EQ(platformInjectMouse(top, WM_LBUTTONDOWN, 687, 250, MK_LBUTTON), nullptr); // outside
    EXPECT_EQ(platformInjectMouse(top, WM_LBUTTONDOWN, 87, 250, MK_LBUTTON), dashboard);
    const MSG msg = next();
    EXPECT_EQ(msg.hwnd, dashboard);
    EXPECT_EQ(msg.message, WM_LBUTTONDOWN);
    EXPECT_EQ(GET_X_LPARAM(msg.lParam), 87);
    EXPECT_EQ(GET_Y_LPARAM(msg.lParam), 40);
    EXPECT_EQ(msg.pt.x, 87); // the cursor in top-level coordinates
    EXPECT_EQ(msg.pt.y, 250);
}

TEST_F(MouseRouting, KeyFlagsTravelUnchanged)
{
    platformInjectMouse(top, WM_MOUSEMOVE, 10, 10, MK_RBUTTON | MK_SHIFT | MK_CONTROL);
    const MSG msg = next();
    EXPECT_EQ(msg.wParam, MK_RBUTTON | MK_SHIFT | MK_CONTROL);
}

TEST_F(MouseRouting, CaptureHolderGetsEventsOutsideItWithCoordinatesBeyondItsEdges)
{
    EXPECT_EQ(SetCapture(viewer), nullptr);
    EXPECT_EQ(GetCapture(), viewer);
    EXPECT_EQ(platformInjectMouse(top, WM_MOUSEMOVE, 20, 280, MK_LBUTTON), viewer);
    MSG msg = next();
    EXPECT_EQ(GET_Y_LPARAM(msg.lParam), 280);
    SetCapture(dashboard);
    platformInjectMouse(top, WM_MOUSEMOVE, 20, 5, 0);
    msg = next();
    EXPECT_EQ(msg.hwnd, dashboard);
    EXPECT_EQ(GET_Y_LPARAM(msg.lParam), -205); // above the Dashboard: negative
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(platformInjectMouse(top, WM_MOUSEMOVE, 20, 5, 0), viewer);
}

TEST_F(MouseRouting, HiddenChildrenAreNotHit)
{
    ShowWindow(dashboard, SW_HIDE);
    drainAll();
    EXPECT_EQ(platformInjectMouse(top, WM_LBUTTONDOWN, 10, 250, 0), top);
}

TEST_F(MouseRouting, EventsKeepTheirOrderWithPostedMessages)
{
    PostMessage(viewer, WM_TIMER, 0, 0);
    platformInjectMouse(top, WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    platformInjectMouse(top, WM_LBUTTONUP, 10, 10, 0);
    EXPECT_EQ(next().message, WM_TIMER);
    EXPECT_EQ(next().message, WM_LBUTTONDOWN);
    EXPECT_EQ(next().message, WM_LBUTTONUP);
}
