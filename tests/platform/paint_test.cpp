// Invalid areas, the generated WM_PAINT, UpdateWindow and BeginPaint.
#include "tests/platform/platform_fixture.h"

class Painting : public PlatformTest {
protected:
    HWND makeUnpainted(HWND parent, int width, int height)
    {
        return CreateWindow("TestNoPaint", nullptr, (parent ? WS_CHILD : 0) | WS_VISIBLE, 0, 0,
                            width, height, parent, nullptr, nullptr, nullptr);
    }
};

TEST_F(Painting, NewShownWindowPaintsOnceByItself)
{
    const HWND top = makeTopLevel(20, 20);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    EXPECT_EQ(msg.hwnd, top);
    DispatchMessage(&msg); // DefWindowProc validates
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Painting, WmPaintWaitsUntilNoPostedMessageMatches)
{
    const HWND top = makeTopLevel(20, 20);
    const HWND child = makeChild(top, 0, 0, 10, 10);
    drainAll();
    InvalidateRect(top, nullptr, FALSE);
    PostMessage(child, WM_USER, 0, 0);
    MSG msg;
    // Filtered on the top window, nothing posted waits for it: its paint comes.
    ASSERT_TRUE(PeekMessage(&msg, top, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    // Unfiltered, the posted message waits, so it comes first.
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
}

TEST_F(Painting, WmPaintStaysDueUntilTheWindowIsValidated)
{
    const HWND top = makeUnpainted(nullptr, 20, 20);
    MSG msg;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, WM_PAINT);
        DispatchMessage(&msg); // this procedure ignores it
    }
    ValidateRect(top, nullptr);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Painting, HiddenWindowsAndChildrenOfHiddenWindowsAreNotPainted)
{
    const HWND top = makeTopLevel(20, 20);
    const HWND child = makeUnpainted(top, 10, 10);
    ValidateRect(child, nullptr);
    drainAll();
    ShowWindow(top, SW_HIDE);
    InvalidateRect(child, nullptr, FALSE);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    ShowWindow(top, SW_SHOW);
    ASSERT_TRUE(PeekMessage(&msg, child, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
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
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Painting, BeginPaintValidatesAndReportsTheBoundingBoxOfTheInvalidArea)
{
    const HWND top = makeUnpainted(nullptr, 100, 80);
    ValidateRect(top, nullptr);
    const RECT first{10, 10, 20, 20};
    const RECT second{50, 5, 60, 30};
    InvalidateRect(top, &first, FALSE);
    InvalidateRect(top, &second, FALSE);
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(top, &update, FALSE));
    PAINTSTRUCT paint{};
    ASSERT_NE(BeginPaint(top, &paint), nullptr);
    EXPECT_EQ(paint.rcPaint.left, 10);
    EXPECT_EQ(paint.rcPaint.top, 5);
    EXPECT_EQ(paint.rcPaint.right, 60);
    EXPECT_EQ(paint.rcPaint.bottom, 30);
    EXPECT_FALSE(GetUpdateRect(top, &update, FALSE));
    EXPECT_TRUE(EndPaint(top, &paint));
    EXPECT_FALSE(EndPaint(top, &paint)); // the context went with the first EndPaint
}

TEST_F(Painting, InvalidAreaIsClippedToTheClientArea)
{
    const HWND top = makeUnpainted(nullptr, 100, 80);
    ValidateRect(top, nullptr);
    const RECT outside{200, 200, 300, 300};
    InvalidateRect(top, &outside, FALSE);
    EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE));
    const RECT across{-10, 70, 20, 90};
    InvalidateRect(top, &across, FALSE);
    RECT update{};
    GetUpdateRect(top, &update, FALSE);
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.bottom, 80);
}

TEST_F(Painting, ValidatingAFullWidthBandTrimsTheInvalidArea)
{
    const HWND top = makeUnpainted(nullptr, 100, 80);
    InvalidateRect(top, nullptr, FALSE);
    const RECT topBand{0, 0, 100, 30};
    ValidateRect(top, &topBand);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(top, &update, FALSE));
    EXPECT_EQ(update.top, 30);
    const RECT middle{40, 40, 50, 50}; // a hole: the box still needs drawing
    ValidateRect(top, &middle);
    GetUpdateRect(top, &update, FALSE);
    EXPECT_EQ(update.top, 30);
    EXPECT_EQ(update.bottom, 80);
}

TEST_F(Painting, DefaultErasingFillsTheInvalidAreaWithTheClassBrush)
{
    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = DefWindowProc;
    windowClass.lpszClassName = "Red";
    windowClass.hbrBackground = red;
    RegisterClass(&windowClass);
    const HWND top =
        CreateWindow("Red", nullptr, WS_VISIBLE, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
    ValidateRect(top, nullptr);
    const RECT area{5, 5, 10, 10};
    InvalidateRect(top, &area, TRUE);
    UpdateWindow(top);
    EXPECT_EQ(surfaceColor(top, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(surfaceColor(top, 9, 9), RGB(255, 0, 0));
    EXPECT_EQ(surfaceColor(top, 10, 9), RGB(0, 0, 0));
    EXPECT_EQ(surfaceColor(top, 4, 5), RGB(0, 0, 0));
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
    EXPECT_EQ(surfaceColor(top, 10, 10), RGB(255, 255, 255));
    EXPECT_EQ(surfaceColor(top, 14, 14), RGB(255, 255, 255));
    EXPECT_EQ(surfaceColor(top, 15, 14), RGB(0, 0, 0));
    EXPECT_EQ(surfaceColor(top, 9, 10), RGB(0, 0, 0));
}
