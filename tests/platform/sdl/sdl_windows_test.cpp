// The SDL2 backend's native windows: one per top-level window, their titles, what a
// present shows, and sizes changed from either side.
#include "tests/platform/sdl/sdl_fixture.h"

#include <cstring>

class SdlWindows : public SdlTest {};

namespace {

// The native window's size as SDL has it.
Edges nativeSize(HWND topLevel)
{
    int width = -1, height = -1;
    if (SDL_Window* window = sdlNativeWindow(topLevel)) SDL_GetWindowSize(window, &width, &height);
    return {0, 0, width, height};
}

// Fills the rectangle of the window's client area with a solid colour, through GDI,
// and lets ReleaseDC present it.
void fill(HWND window, const RECT& box, COLORREF color)
{
    const HDC dc = GetDC(window);
    const HBRUSH brush = CreateSolidBrush(color);
    const HPEN pen = CreatePen(PS_SOLID, 1, color);
    const HGDIOBJ oldBrush = SelectObject(dc, brush);
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

} // namespace

TEST_F(SdlWindows, EachTopLevelWindowHasANativeWindowOfItsClientSizeAndChildrenNone)
{
    const HWND first = makeTopLevel(320, 200);
    const HWND second = makeTopLevel(200, 150);
    const HWND child = makeChild(first, 0, 0, 100, 100);
    EXPECT_EQ(nativeSize(first), (Edges{0, 0, 320, 200}));
    EXPECT_EQ(nativeSize(second), (Edges{0, 0, 200, 150}));
    EXPECT_NE(sdlNativeWindow(first), sdlNativeWindow(second));
    EXPECT_EQ(sdlNativeWindow(child), nullptr);
    const Uint32 firstId = idOf(first);
    DestroyWindow(first);
    EXPECT_EQ(SDL_GetWindowFromID(firstId), nullptr); // closed with its window
    EXPECT_NE(sdlNativeWindow(second), nullptr);
}

TEST_F(SdlWindows, TitleIsTheTopLevelWindowsText)
{
    const HWND top = CreateWindow(nullptr, "Tarne - bench.wrl", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                  0, 160, 120, nullptr, nullptr, nullptr, nullptr);
    const HWND child = makeChild(top, 0, 0, 10, 10);
    EXPECT_STREQ(SDL_GetWindowTitle(sdlNativeWindow(top)), "Tarne - bench.wrl");
    EXPECT_TRUE(SetWindowText(top, "Tarne - other.wrl"));
    EXPECT_TRUE(SetWindowText(child, "not a title")); // a child has no title bar
    EXPECT_STREQ(SDL_GetWindowTitle(sdlNativeWindow(top)), "Tarne - other.wrl");
    DestroyWindow(top);
    EXPECT_FALSE(SetWindowText(top, "gone"));
}

TEST_F(SdlWindows, PresentUploadsTheChangedRowsAndSkipsAnUnchangedSurface)
{
    const HWND top = makeTopLevel(64, 48);
    drainAll();
    fill(top, RECT{0, 0, 64, 48}, RGB(0, 128, 0));
    const u64 shown = sdlShowCount(top);
    ReleaseDC(top, GetDC(top)); // nothing drawn: nothing to show, nothing to wait for
    EXPECT_EQ(sdlShowCount(top), shown);
    // Rows 30 .. 32 only, in yellow: red and blue swapped would show it cyan, since the
    // surface's bytes are blue, green, red.
    fill(top, RECT{0, 30, 64, 33}, RGB(255, 255, 0));
    EXPECT_EQ(sdlShowCount(top), shown + 1);
    EXPECT_EQ(sdlReadShownPixel(top, 5, 29), RGB(0, 128, 0));
    EXPECT_EQ(sdlReadShownPixel(top, 5, 30), RGB(255, 255, 0));
    EXPECT_EQ(sdlReadShownPixel(top, 63, 32), RGB(255, 255, 0));
    EXPECT_EQ(sdlReadShownPixel(top, 5, 33), RGB(0, 128, 0));
    // The host may write the pixels directly: that counts as a change too.
    const SurfaceView view = platformSurface(top);
    std::memset(view.pixels + 47 * view.stride, 0xFF, 4);
    ReleaseDC(top, GetDC(top));
    EXPECT_EQ(sdlShowCount(top), shown + 2);
    EXPECT_EQ(sdlReadShownPixel(top, 0, 47), RGB(255, 255, 255));
}

TEST_F(SdlWindows, UserResizeResizesTheSurfaceAndSendsWmSizeToTheTopLevelWindow)
{
    const HWND top = makeTopLevel(320, 240);
    drainAll();
    fill(top, RECT{0, 0, 320, 240}, RGB(40, 50, 60));
    // As a window manager does it: the native window changes first, then says so.
    SDL_SetWindowSize(sdlNativeWindow(top), 400, 260);
    ASSERT_TRUE(pumpUntil([] { return !receivedOf(WM_SIZE).empty(); }));
    const std::vector<Received> sizes = receivedOf(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].window, top);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(sizes[0].lParam)), 400);
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(sizes[0].lParam)), 260);
    RECT client{};
    GetClientRect(top, &client);
    EXPECT_EQ(edges(client), (Edges{0, 0, 400, 260}));
    const SurfaceView view = platformSurface(top);
    EXPECT_EQ(view.width, 400);
    EXPECT_EQ(view.height, 260);
    EXPECT_EQ(surfaceColor(top, 319, 239), RGB(40, 50, 60)); // kept where both sizes meet
    fill(top, RECT{0, 0, 400, 260}, RGB(1, 2, 3));
    EXPECT_EQ(sdlReadShownPixel(top, 399, 259), RGB(1, 2, 3)); // the new texture is whole
}

TEST_F(SdlWindows, MoveWindowResizesTheNativeWindowAndItsEchoSendsNoSecondWmSize)
{
    const HWND top = makeTopLevel(320, 240);
    drainAll();
    // Counts the native size changes SDL reports, as they enter its queue.
    static int nativeChanges = 0;
    nativeChanges = 0;
    const auto watch = [](void*, SDL_Event* event) {
        if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_SIZE_CHANGED &&
            event->window.data1 == 300)
            ++nativeChanges;
        return 0;
    };
    SDL_AddEventWatch(watch, nullptr);
    EXPECT_TRUE(MoveWindow(top, 0, 0, 300, 220, TRUE));
    EXPECT_EQ(receivedOf(WM_SIZE).size(), 1u); // MoveWindow's own
    EXPECT_TRUE(pumpUntil([] { return nativeChanges > 0; })) << "SDL never saw the new size";
    pumpUntil([] { return false; }, 200); // whatever else the X server had to say
    SDL_DelEventWatch(watch, nullptr);
    EXPECT_EQ(nativeSize(top), (Edges{0, 0, 300, 220}));
    EXPECT_EQ(receivedOf(WM_SIZE).size(), 1u);
}
