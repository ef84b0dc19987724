#include "tests/platform/platform_fixture.h"

std::vector<Received> received;

static constexpr const char* kRecordingClass = "TestRecorder";

LRESULT recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(Received{window, message, wParam, lParam});
    return DefWindowProc(window, message, wParam, lParam);
}

LRESULT recordingNoPaintProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(Received{window, message, wParam, lParam});
    if (message == WM_PAINT) return 0;
    return DefWindowProc(window, message, wParam, lParam);
}

std::vector<Received> receivedOf(UINT message)
{
    std::vector<Received> found;
    for (const Received& entry : received)
        if (entry.message == message) found.push_back(entry);
    return found;
}

void PlatformTest::SetUp()
{
    platformReset();
    received.clear();
    registerClass(kRecordingClass, recordingProcedure);
    registerClass("TestNoPaint", recordingNoPaintProcedure);
}

void PlatformTest::TearDown()
{
    platformReset();
    received.clear();
}

void PlatformTest::registerClass(const char* name, WNDPROC procedure, HBRUSH background)
{
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = name;
    windowClass.hbrBackground = background;
    ASSERT_NE(RegisterClass(&windowClass), 0) << name;
}

HWND PlatformTest::makeOf(const char* className, HWND parent, int x, int y, int width, int height,
                          void* createParam)
{
    return CreateWindow(className, nullptr, (parent ? WS_CHILD : 0) | WS_VISIBLE, x, y, width,
                        height, parent, nullptr, nullptr, createParam);
}

HWND PlatformTest::makeTopLevel(int width, int height)
{
    return CreateWindow(kRecordingClass, "top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width,
                        height, nullptr, nullptr, nullptr, nullptr);
}

HWND PlatformTest::makeChild(HWND parent, int x, int y, int width, int height)
{
    return makeOf(kRecordingClass, parent, x, y, width, height);
}

void PlatformTest::drainAll()
{
    // Bounded: a window that never validates itself would keep a paint due forever.
    MSG msg;
    for (int taken = 0; taken < 1000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++taken)
        DispatchMessage(&msg);
    ASSERT_TRUE(queueEmpty()) << "a paint stays due";
    received.clear();
}

MSG PlatformTest::take(HWND filter, UINT first, UINT last)
{
    MSG msg{};
    if (!PeekMessage(&msg, filter, first, last, PM_REMOVE)) msg = MSG{};
    return msg;
}

bool PlatformTest::queueEmpty()
{
    MSG msg;
    return !PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

COLORREF surfaceColor(HWND topLevel, int x, int y)
{
    const SurfaceView view = platformSurface(topLevel);
    if (!view.pixels || x < 0 || y < 0 || x >= view.width || y >= view.height) return CLR_INVALID;
    const std::uint8_t* pixel = view.pixels + y * view.stride + x * 4;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

void expectPixels(HDC dc, std::initializer_list<PixelCheck> checks)
{
    for (const PixelCheck& check : checks)
        EXPECT_EQ(GetPixel(dc, check.x, check.y), check.expected)
            << "(" << check.x << ", " << check.y << ")";
}

void expectSurface(HWND topLevel, std::initializer_list<PixelCheck> checks)
{
    for (const PixelCheck& check : checks)
        EXPECT_EQ(surfaceColor(topLevel, check.x, check.y), check.expected)
            << "(" << check.x << ", " << check.y << ")";
}

void expectBox(HWND topLevel, const RECT& box, COLORREF inside, COLORREF outside)
{
    const int left = box.left, top = box.top, lastX = box.right - 1, lastY = box.bottom - 1;
    // The corners inside, and the pixels just left of, above, right of and below them.
    expectSurface(topLevel, {{left, top, inside},
                             {lastX, lastY, inside},
                             {left - 1, top, outside},
                             {left, top - 1, outside},
                             {lastX + 1, lastY, outside},
                             {lastX, lastY + 1, outside}});
}
