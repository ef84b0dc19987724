// Placement, the tree queries and hit testing.
#include "tests/platform/platform_fixture.h"

class WindowGeometry : public PlatformTest {};

TEST_F(WindowGeometry, MoveWindowSendsWhatChangedMoveBeforeSizeWithWin32Packing)
{
    const HWND top = makeTopLevel(400, 300);
    const HWND child = makeChild(top, 10, 20, 100, 50);
    const struct {
        int x, y, width, height;
        std::vector<UINT> expected;
    } moves[] = {
        {-5, 30, 200, 60, {WM_MOVE, WM_SIZE}}, // both change: WM_MOVE first
        {-5, 30, 200, 60, {}},                 // nothing changes: nothing is sent
        {-4, 30, 200, 60, {WM_MOVE}},
        {-4, 30, 200, 61, {WM_SIZE}},
    };
    for (const auto& move : moves) {
        received.clear();
        EXPECT_TRUE(MoveWindow(child, move.x, move.y, move.width, move.height, TRUE));
        std::vector<UINT> sent;
        for (const Received& entry : received) sent.push_back(entry.message);
        EXPECT_EQ(sent, move.expected) << move.x << ", " << move.height;
        for (const Received& entry : received) {
            const auto packed = static_cast<std::uintptr_t>(entry.lParam);
            if (entry.message == WM_MOVE) {
                EXPECT_EQ(GET_X_LPARAM(entry.lParam), move.x); // signed low half
                EXPECT_EQ(GET_Y_LPARAM(entry.lParam), move.y);
            } else {
                EXPECT_EQ(entry.wParam, SIZE_RESTORED);
                EXPECT_EQ(LOWORD(packed), move.width);
                EXPECT_EQ(HIWORD(packed), move.height);
            }
        }
        RECT client{};
        GetClientRect(child, &client);
        EXPECT_EQ(edges(client), (Edges{0, 0, move.width, move.height}));
    }
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
    registerClass("Bottom", keepsToTheBottom);
    const HWND strip = makeOf("Bottom", makeTopLevel(400, 300), 0, 0, 10, 10);
    sizeMessages = 0;
    SendMessage(strip, WM_SIZE, 0, 0);
    EXPECT_EQ(sizeMessages, 2); // the call itself, then the one real change
    RECT rect{};
    GetWindowRect(strip, &rect);
    EXPECT_EQ(edges(rect), (Edges{0, 210, 400, 300}));
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
    EXPECT_EQ((std::pair{view.width, view.height}), (std::pair{8, 6}));
    expectPixels(top, {{0, 0, RGB(255, 255, 255)}, {7, 5, RGB(0, 0, 0)}});
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
    EXPECT_EQ(edges(rect), (Edges{15, 26, 45, 66}));
    EXPECT_EQ(GetParent(grandchild), child);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_EQ(GetAncestor(grandchild, GA_PARENT), child);
    EXPECT_EQ(GetAncestor(grandchild, GA_ROOT), top);
    EXPECT_EQ(GetAncestor(top, GA_ROOT), top);
    POINT point{1, 2};
    ClientToScreen(grandchild, &point);
    EXPECT_EQ((std::pair{point.x, point.y}), (std::pair<LONG, LONG>{16, 28}));
    ScreenToClient(grandchild, &point);
    EXPECT_EQ((std::pair{point.x, point.y}), (std::pair<LONG, LONG>{1, 2}));
}

TEST_F(WindowGeometry, ChildrenAreListedInCreationOrderAndADestroyedOneLeavesTheList)
{
    const HWND top = makeTopLevel(100, 100);
    const HWND first = makeChild(top, 0, 0, 10, 10);
    const HWND second = makeChild(top, 0, 0, 10, 10);
    const HWND third = makeChild(top, 0, 0, 10, 10);
    EXPECT_EQ((std::vector{GetTopWindow(top), GetNextChild(top, first), GetNextChild(top, second),
                           GetNextChild(top, third)}),
              (std::vector<HWND>{first, second, third, nullptr}));
    EXPECT_EQ(GetNextChild(first, second), nullptr); // not first's child
    EXPECT_TRUE(DestroyWindow(first));
    EXPECT_TRUE(IsWindow(top));
    EXPECT_EQ(GetTopWindow(top), second);
    EXPECT_EQ(GetNextChild(top, second), third);
}

TEST_F(WindowGeometry, ChildWindowFromPointDeepFindsTheDeepestShownEarliestChild)
{
    const HWND top = makeTopLevel(100, 100);
    const HWND panel = makeChild(top, 10, 10, 50, 50);
    const HWND button = makeChild(panel, 5, 5, 10, 10);
    makeChild(top, 10, 10, 50, 50); // a later sibling over the panel: the earlier one wins
    const HWND hidden = makeChild(top, 70, 70, 20, 20);
    ShowWindow(hidden, SW_HIDE);
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{15, 15}), button);
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{24, 24}), button);  // last column and row
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{25, 25}), panel);   // right/bottom exclusive
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{75, 75}), top);     // hidden child skipped
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{100, 5}), nullptr); // outside the parent
    EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{-1, 5}), nullptr);
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
