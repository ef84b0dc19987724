// Device contexts, GDI objects and the pixels of Rectangle, BitBlt and StretchBlt.
#include "tests/platform/platform_fixture.h"

#include <vector>

namespace {

// A memory context with its own bitmap, whose pixels the test can write directly.
struct MemoryCanvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    BITMAP info{};

    MemoryCanvas(int width, int height)
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, width, height);
        previous = SelectObject(dc, bitmap);
        GetObject(bitmap, sizeof info, &info);
    }
    ~MemoryCanvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void set(int x, int y, COLORREF color)
    {
        std::uint8_t* pixel =
            static_cast<std::uint8_t*>(info.bmBits) + y * info.bmWidthBytes + x * 4;
        pixel[0] = GetBValue(color);
        pixel[1] = GetGValue(color);
        pixel[2] = GetRValue(color);
    }
};

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kBlue = RGB(0, 0, 255);

COLORREF grey(int level)
{
    return RGB(level, level, level);
}

} // namespace

class Drawing : public PlatformTest {};

TEST_F(Drawing, RectangleDrawsThePenOutlineAndBrushInsideWithRightAndBottomExclusive)
{
    MemoryCanvas canvas(10, 10);
    const HPEN pen = CreatePen(PS_SOLID, 1, kGrey);
    const HBRUSH brush = CreateSolidBrush(kBlue);
    const HGDIOBJ oldPen = SelectObject(canvas.dc, pen);
    const HGDIOBJ oldBrush = SelectObject(canvas.dc, brush);
    EXPECT_TRUE(Rectangle(canvas.dc, 2, 2, 7, 6));
    // The outline's corners (bottom-right is right - 1, bottom - 1) and right edge, the
    // inside, and just outside.
    expectPixels(canvas.dc, {{2, 2, kGrey},
                             {6, 5, kGrey},
                             {6, 3, kGrey},
                             {3, 3, kBlue},
                             {5, 4, kBlue},
                             {7, 5, kBlack},
                             {6, 6, kBlack},
                             {1, 2, kBlack}});
    SelectObject(canvas.dc, oldPen);
    SelectObject(canvas.dc, oldBrush);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    // A hollow brush leaves the inside, and swapped corners draw the same outline.
    SelectObject(canvas.dc, GetStockObject(WHITE_PEN));
    SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    Rectangle(canvas.dc, 8, 8, 1, 1);
    expectPixels(canvas.dc, {{1, 1, kWhite}, {7, 7, kWhite}, {4, 4, kBlue}}); // inside untouched
}

// A window's context draws into its top-level window's surface at the window's place,
// clipped to its client area and to its ancestors'.
TEST_F(Drawing, WindowContextDrawsAtItsPlaceClippedToItsClientAreaAndParent)
{
    const HWND top = makeTopLevel(50, 40);
    const HWND child = makeChild(top, 10, 5, 8, 6);
    const HWND inner = makeChild(top, 30, 10, 10, 10);
    const HWND grandchild = makeChild(inner, 5, 5, 20, 20); // pokes out of its parent
    drainAll();
    const HDC dc = GetDC(child);
    const HBRUSH brush = CreateSolidBrush(kBlue);
    const HGDIOBJ old = SelectObject(dc, brush);
    Rectangle(dc, -5, -5, 100, 100);
    expectBox(top, RECT{10, 5, 18, 11}, kBlue, kBlack);
    EXPECT_EQ(GetPixel(dc, 0, 0), kBlue); // context coordinates start at the child
    EXPECT_EQ(GetPixel(dc, 8, 0), CLR_INVALID);
    SelectObject(dc, old);
    EXPECT_EQ(ReleaseDC(child, dc), 1);
    DeleteObject(brush);
    const HDC innerDc = GetDC(grandchild);
    SelectObject(innerDc, GetStockObject(WHITE_BRUSH));
    Rectangle(innerDc, -1, -1, 30, 30);
    expectBox(top, RECT{35, 15, 40, 20}, kWhite, kBlack);
    ReleaseDC(grandchild, innerDc);
}

TEST_F(Drawing, ContextOfADestroyedWindowDrawsNothing)
{
    const HWND top = makeTopLevel(20, 20);
    const HWND child = makeChild(top, 0, 0, 10, 10);
    const HDC dc = GetDC(child);
    DestroyWindow(child);
    EXPECT_FALSE(Rectangle(dc, 0, 0, 5, 5));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(Drawing, BitBltCopiesExactPixelsAndClipsAtBothEnds)
{
    MemoryCanvas source(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) source.set(x, y, RGB(x * 10, y * 10, 1));
    const HWND top = makeTopLevel(20, 10);
    drainAll();
    const HDC dc = GetDC(top);
    EXPECT_TRUE(BitBlt(dc, 18, 4, 3, 2, source.dc, 0, 0, SRCCOPY)); // last column cut off
    expectPixels(top, {{18, 4, RGB(0, 0, 1)}, {19, 5, RGB(10, 10, 1)}});
    // Reading past the source: where there is nothing to read, the target is left alone.
    EXPECT_TRUE(BitBlt(dc, 0, 0, 5, 5, source.dc, 1, 1, SRCCOPY));
    expectPixels(top,
                 {{0, 0, RGB(10, 10, 1)}, {1, 0, RGB(20, 10, 1)}, {2, 0, kBlack}, {0, 1, kBlack}});
    EXPECT_FALSE(BitBlt(dc, 0, 0, 3, 2, source.dc, 0, 0, 0x00EE0086)); // only SRCCOPY
    ReleaseDC(top, dc);
}

TEST_F(Drawing, BitBltWithinOneBitmapHandlesOverlap)
{
    MemoryCanvas canvas(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) canvas.set(x, y, RGB(x, y, 0));
    BitBlt(canvas.dc, 1, 1, 3, 3, canvas.dc, 0, 0, SRCCOPY); // down and right by one
    expectPixels(canvas.dc, {{1, 1, RGB(0, 0, 0)}, {3, 3, RGB(2, 2, 0)}, {3, 2, RGB(2, 1, 0)}});
}

// COLORONCOLOR repeats each pixel; a stretch is clipped at the destination, and a
// mirrored or empty one is refused.
TEST_F(Drawing, ColorOnColorStretchRepeatsEachPixelClippedAndRefusesMirroring)
{
    MemoryCanvas source(2, 2);
    source.set(0, 0, grey(10));
    source.set(1, 0, grey(20));
    source.set(0, 1, grey(30));
    source.set(1, 1, grey(40));
    MemoryCanvas target(4, 4);
    SetStretchBltMode(target.dc, COLORONCOLOR);
    EXPECT_TRUE(StretchBlt(target.dc, 0, 0, 4, 4, source.dc, 0, 0, 2, 2, SRCCOPY));
    expectPixels(
        target.dc,
        {{0, 0, grey(10)}, {1, 1, grey(10)}, {2, 1, grey(20)}, {1, 2, grey(30)}, {3, 3, grey(40)}});
    MemoryCanvas clipped(3, 3);
    SetStretchBltMode(clipped.dc, COLORONCOLOR);
    EXPECT_TRUE(StretchBlt(clipped.dc, -1, -1, 4, 4, source.dc, 0, 0, 2, 2, SRCCOPY));
    expectPixels(clipped.dc, {{1, 1, grey(40)}, {0, 0, grey(10)}, {2, 2, grey(40)}});
    EXPECT_FALSE(StretchBlt(target.dc, 0, 0, -4, 4, source.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(StretchBlt(target.dc, 0, 0, 4, 4, source.dc, 0, 0, 2, 0, SRCCOPY));
}

// HALFTONE averages the source area each target pixel covers, weighing partly covered
// pixels by their share, and an enlargement keeps hard edges.
TEST_F(Drawing, HalftoneStretchAveragesTheCoveredSourceArea)
{
    const struct {
        std::vector<int> source;
        int targetWidth;
        std::vector<int> expected; // one level for each target column
    } rows[] = {
        {{0, 100, 200, 255}, 2, {50, 228}}, // halves; 227.5 rounds up
        {{30, 90, 150}, 2, {50, 130}},      // (2 x 30 + 90) / 3, (90 + 2 x 150) / 3
        {{0, 200}, 6, {0, 0, 0, 200, 200, 200}},
    };
    for (const auto& row : rows) {
        const int sourceWidth = static_cast<int>(row.source.size());
        MemoryCanvas source(sourceWidth, 1);
        for (int x = 0; x < sourceWidth; ++x) source.set(x, 0, grey(row.source[x]));
        MemoryCanvas target(row.targetWidth, 1);
        SetStretchBltMode(target.dc, HALFTONE);
        EXPECT_TRUE(StretchBlt(target.dc, 0, 0, row.targetWidth, 1, source.dc, 0, 0, sourceWidth, 1,
                               SRCCOPY));
        for (int x = 0; x < row.targetWidth; ++x)
            EXPECT_EQ(GetPixel(target.dc, x, 0), grey(row.expected[x]))
                << sourceWidth << " to " << row.targetWidth << ", column " << x;
    }
}

TEST_F(Drawing, SelectedBitmapsBelongToOneContextAndCannotBeDeleted)
{
    const HDC first = CreateCompatibleDC(nullptr);
    const HDC second = CreateCompatibleDC(first);
    const HBITMAP bitmap = CreateCompatibleBitmap(first, 4, 4);
    const HGDIOBJ original = SelectObject(first, bitmap);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(first, original), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(first, bitmap), nullptr); // gone
    const HWND top = makeTopLevel(5, 5);
    const HDC windowDc = GetDC(top);
    const HBITMAP another = CreateCompatibleBitmap(first, 2, 2);
    EXPECT_EQ(SelectObject(windowDc, another), nullptr); // a window context has no bitmap
    ReleaseDC(top, windowDc);
    DeleteObject(another);
    DeleteDC(first);
    DeleteDC(second);
}
