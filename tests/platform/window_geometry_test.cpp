// Placement, the tree queries and hit testing.
#include "tests/platform/platform_fixture.h"

class WindowGeometry : public PlatformTest {};

TEST_F(WindowGeometry, MoveWindowSendsMoveThenSizeWithWin32Packing)
{
    const HWND top = makeTopLevel(400, 300);
    const HWND child = makeChild(top, 10, 20, 100, 50);
    received.clear();
    EXPECT_TRUE(MoveWindow(child, -5, 30, 200, 60, TRUE));
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, WM_MOVE);
    EXPECT_EQ(GET_X_LPARAM(received[0].lParam), -5); // signed low half
    EXPECT_EQ(GET_Y_LPARAM(received[0].lParam), 30);
    EXPECT_EQ(received[1].message, WM_SIZE);
    EXPECT_EQ(received[1].wParam, SIZE_RESTORED);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(received[1].lParam)), 200);
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(received[1].lParam)), 60);
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 60);
}

TEST_F(WindowGeometry, MoveWindowSendsOnlyWhatChanged)
{
    const HWND top = makeTopLevel(400, 300);
    const HWND child = makeChild(top, 10, 20, 100, 50);
    received.clear();
    MoveWindow(child, 10, 20, 100, 50, TRUE);
    EXPECT_TRUE(received.empty());
    MoveWindow(child, 11, 20, 100, 50, TRUE);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_MOVE);
    received.clear();
    MoveWindow(child, 11, 20, 100, 51, TRUE);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_SIZE);
}

namespace {

int sizeMessages = 0;

// Puts itself back at the bottom of its parent on every WM_SIZE, as the Dashboard does.
LRESULT keepsToTheBottom(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE) {
        ++sizeMessages;
        RECT parent{};
        GetClientRect(GetParent(window), &parent);
        MoveWindow(window, 0, parent.bottom - 90, parent.right, 90, TRUE);
    }
    return DefWindowProc(window, message, wParam, lParam);
}

} // namespace

TEST_F(WindowGeometry, SizeHandlerMovingItsOwnWindowDoesNotRecurse)
{
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = keepsToTheBottom;
    windowClass.lpszClassName = "Bottom";
    RegisterClass(&windowClass);
    const HWND top = makeTopLevel(400, 300);
    const HWND strip = CreateWindow("Bottom", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top,
                                    nullptr, nullptr, nullptr);
    sizeMessages = 0;
    SendMessage(strip, WM_SIZE, 0, 0);
    EXPECT_EQ(sizeMessages, 2); // the call itself, then the one real change
    RECT rect{};
    GetWindowRect(strip, &rect);
    EXPECT_EQ(rect.top, 210);
    EXPECT_EQ(rect.right, 400);
}

TEST_F(WindowGeometry, MovingATopLevelWindowResizesItsSurfaceKeepingPixels)
{
    const HWND top = makeTopLevel(4, 4);
    HDC dc = GetDC(top);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    Rectangle(dc, 0, 0, 1, 1);
    ReleaseDC(top, dc);
    EXPECT_TRUE(MoveWindow(top, 0, 0, 8, 6, TRUE));
    const SurfaceView view = platformSurface(top);
    EXPECT_EQ(view.width, 8);
    EXPECT_EQ(view.height, 6);
    EXPECT_EQ(surfaceColor(top, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(surfaceColor(top, 7, 5), RGB(0, 0, 0));
    EXPECT_FALSE(MoveWindow(top, 0, 0, 100000, 6, TRUE)); // the surface refuses; nothing moves
    EXPECT_EQ(platformSurface(top).width, 8);
}

TEST_F(WindowGeometry, RectanglesAndAncestors)
{
    const HWND top = makeTopLevel(400, 300);
    const HWND child = makeChild(top, 10, 20, 100, 80);
    const HWND grandchild = makeChild(child, 5, 6, 30, 40);
    RECT rect{};
    GetWindowRect(grandchild, &rect);
    EXPECT_EQ(rect.left, 15);
    EXPECT_EQ(rect.top, 26);
    EXPECT_EQ(rect.right, 45);
    EXPECT_EQ(rect.bottom, 66);
    GetClientRect(grandchild, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 30);
    EXPECT_EQ(GetParent(grandchild), child);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_EQ(GetAncestor(grandchild, GA_PARENT), child);
    EXPECT_EQ(GetAncestor(grandchild, GA_ROOT), top);
    EXPECT_EQ(GetAncestor(top, GA_ROOT), top);
    POINT point{1, 2};
    ClientToScreen(grandchild, &point);
    EXPECT_EQ(point.x, 16);
    EXPECT_EQ(point.y, 28);
    ScreenToClient(grandchild, &point);
    EXPECT_EQ(point.x, 1);
    EXPECT_EQ(point.y, 2);
}

TEST_F(WindowGeometry, ChildrenAreListedInCreationOrder)
{
    const HWND top = makeTopLevel(100, 100);
    const HWND first = makeChild(top, 0, 0, 10, 10);
    const HWND second = makeChild(top, 0, 0, 10, 10);
    const HWND third = makeChild(top, 0, 0, 10, 10);
    EXPECT_EQ(GetTopWindow(top), first);
    EXPECT_EQ(GetNextChild(top, first), second);
    EXPECT_EQ(GetNextChild(top, second), third);
    EXPECT_EQ(GetNextChild(top, third), nullptr);
    EXPECT_EQ(GetNextChild(first, second), nullptr); // not first's child
}

TEST_F(WindowGeometry, ChildWindowFromPointDeepFindsTheDeepestShownChild)
{
    const HWND top = makeTopLevel(100, 100);
    const HWND panel = makeChild(top, 10, 10, 50, 50);
    const HWND button = makeChild(panel, 5, 5, 10, 10);
    const HWND hidden = makeChild(top, 70, 70, 20, 20);
    ShowWindow(hidden, SW_HIDE);
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{15, 15}), button);
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{24, 24}), button);  // last column and row
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{25, 25}), panel);   // right/bottom exclusive
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{75, 75}), top);     // hidden child skipped
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{100, 5}), nullptr); // outside the parent
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{-1, 5}), nullptr);
}

TEST_F(WindowGeometry, OverlappingSiblingsHitTheEarlierOne)
{
    const HWND top = makeTopLevel(100, 100);
    const HWND under = makeChild(top, 0, 0, 50, 50);
    makeChild(top, 0, 0, 50, 50);
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{5, 5}), under);
}

TEST_F(WindowGeometry, ShowWindowSendsShowWindowOnChangeAndAnswersThePreviousState)
{
    const HWND top = makeTopLevel(100, 100);
    const HWND child = makeChild(top, 0, 0, 10, 10);
    received.clear();
    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_FALSE(ShowWindow(child, SW_HIDE));
    ASSERT_EQ(receivedOf(WM_SHOWWINDOW).size(), 1u);
    EXPECT_EQ(receivedOf(WM_SHOWWINDOW)[0].wParam, static_cast<WPARAM>(FALSE));
    ShowWindow(child, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(child));
    ShowWindow(top, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(child)); // a hidden parent hides its children
}
