// Invalid areas, the generated WM_PAINT, UpdateWindow and BeginPaint.
#include "tests/platform/platform_fixture.h"

class Painting : public PlatformTest {
protected:
    // A shown window that ignores WM_PAINT, so its invalid area stays as the test left it.
    HWND makeUnpainted(HWND parent, int width, int height)
    {
        return makeOf("TestNoPaint", parent, 0, 0, width, height);
    }
    // The bounding box of the invalid area; all zero when the window is valid.
    Edges updateBox(HWND window)
    {
        RECT update{};
        if (!GetUpdateRect(window, &update, FALSE)) return Edges{};
        return edges(update);
    }
};

TEST_F(Painting, WmPaintWaitsUntilNoPostedMessageMatches)
{
    const HWND top = makeTopLevel(20, 20);
    const HWND child = makeChild(top, 0, 0, 10, 10);
    drainAll();
    InvalidateRect(child, nullptr, FALSE);
    PostMessage(top, WM_USER, 0, 0);
    MSG msg;
    // Filtered on the child, nothing posted waits for it: its paint comes.
    ASSERT_TRUE(PeekMessage(&msg, child, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    // The top window's filter takes its child's paint too, but after its posted message.
    ASSERT_TRUE(PeekMessage(&msg, top, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_EQ(take().message, WM_USER);
    EXPECT_EQ(take().hwnd, child);
}

// A new shown window is invalid: its paint comes by itself, and stays due until the
// window is validated (DefWindowProc validates, as drainAll() checks in every test).
TEST_F(Painting, WmPaintStaysDueUntilTheWindowIsValidated)
{
    const HWND top = makeUnpainted(nullptr, 20, 20);
    for (int round = 0; round < 2; ++round) {
        const MSG msg = take();
        EXPECT_EQ(msg.message, WM_PAINT) << round;
        DispatchMessage(&msg); // this procedure ignores it
    }
    ValidateRect(top, nullptr);
    EXPECT_TRUE(queueEmpty());
}

TEST_F(Painting, HiddenWindowsAndChildrenOfHiddenWindowsAreNotPainted)
{
    const HWND top = makeTopLevel(20, 20);
    const HWND child = makeUnpainted(top, 10, 10);
    ValidateRect(child, nullptr);
    drainAll();
    ShowWindow(top, SW_HIDE);
    InvalidateRect(child, nullptr, FALSE);
    EXPECT_TRUE(queueEmpty());
    ShowWindow(top, SW_SHOW);
    EXPECT_EQ(take(child).message, WM_PAINT);
}

TEST_F(Painting, UpdateWindowPaintsAtOnceAndOnlyWhenInvalid)
{
    const HWND top = makeTopLevel(20, 20);
    drainAll();
    UpdateWindow(top);
    EXPECT_TRUE(received.empty());
    InvalidateRect(top, nullptr, FALSE);
    UpdateWindow(top);
    ASSERT_EQ(receivedOf(WM_PAINT).size(), 1u); // within the call, not through the queue
    EXPECT_TRUE(queueEmpty());
}

TEST_F(Painting, BeginPaintValidatesAndReportsTheBoundingBoxOfTheInvalidArea)
{
    const HWND top = makeUnpainted(nullptr, 100, 80);
    ValidateRect(top, nullptr);
    const RECT first{10, 10, 20, 20};
    const RECT second{50, 5, 60, 30};
    InvalidateRect(top, &first, FALSE);
    InvalidateRect(top, &second, FALSE);
    EXPECT_EQ(updateBox(top), (Edges{10, 5, 60, 30}));
    PAINTSTRUCT paint{};
    ASSERT_NE(BeginPaint(top, &paint), nullptr);
    EXPECT_EQ(edges(paint.rcPaint), (Edges{10, 5, 60, 30}));
    EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE));
    EXPECT_TRUE(EndPaint(top, &paint));
    EXPECT_FALSE(EndPaint(top, &paint)); // the context went with the first EndPaint
}

TEST_F(Painting, InvalidAreaIsClippedToTheClientAreaAndTrimmedOnlyByFullWidthBands)
{
    const HWND top = makeUnpainted(nullptr, 100, 80);
    ValidateRect(top, nullptr);
    const RECT outside{200, 200, 300, 300};
    InvalidateRect(top, &outside, FALSE);
    EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE));
    const RECT across{-10, 70, 20, 90};
    InvalidateRect(top, &across, FALSE);
    EXPECT_EQ(updateBox(top), (Edges{0, 70, 20, 80}));
    InvalidateRect(top, nullptr, FALSE);
    const RECT topBand{0, 0, 100, 30};
    ValidateRect(top, &topBand);
    EXPECT_EQ(updateBox(top), (Edges{0, 30, 100, 80}));
    const RECT middle{40, 40, 50, 50}; // a hole: the box still needs drawing
    ValidateRect(top, &middle);
    EXPECT_EQ(updateBox(top), (Edges{0, 30, 100, 80}));
}

TEST_F(Painting, DefaultErasingFillsTheInvalidAreaWithTheClassBrush)
{
    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    registerClass("Red", DefWindowProc, red);
    const HWND top = makeOf("Red", nullptr, 0, 0, 40, 30);
    ValidateRect(top, nullptr);
    const RECT area{5, 5, 10, 10};
    InvalidateRect(top, &area, TRUE);
    UpdateWindow(top);
    expectBox(top, area, RGB(255, 0, 0), RGB(0, 0, 0));
    DestroyWindow(top);
    DeleteObject(red);
}

TEST_F(Painting, PaintContextDrawsOnlyInsideItsWindow)
{
    const HWND top = makeTopLevel(40, 30);
    const HWND child = makeChild(top, 10, 10, 5, 5);
    drainAll();
    InvalidateRect(child, nullptr, FALSE);
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(child, &paint);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, -100, -100, 100, 100);
    EndPaint(child, &paint);
    expectBox(top, RECT{10, 10, 15, 15}, RGB(255, 255, 255), RGB(0, 0, 0));
}
