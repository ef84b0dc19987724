#include "tests/platform/platform_fixture.h"

std::vector<Received> received;

static constexpr const char* kRecordingClass = "TestRecorder";
static constexpr const char* kNoPaintClass = "TestNoPaint";

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
    WNDCLASS recording{};
    recording.lpfnWndProc = recordingProcedure;
    recording.lpszClassName = kRecordingClass;
    ASSERT_NE(RegisterClass(&recording), 0);
    WNDCLASS noPaint{};
    noPaint.lpfnWndProc = recordingNoPaintProcedure;
    noPaint.lpszClassName = kNoPaintClass;
    ASSERT_NE(RegisterClass(&noPaint), 0);
}

void PlatformTest::TearDown()
{
    platformReset();
    received.clear();
}

HWND PlatformTest::makeTopLevel(int width, int height)
{
    return CreateWindow(kRecordingClass, "top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width,
                        height, nullptr, nullptr, nullptr, nullptr);
}

HWND PlatformTest::makeChild(HWND parent, int x, int y, int width, int height)
{
    return CreateWindow(kRecordingClass, nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height,
                        parent, nullptr, nullptr, nullptr);
}

void PlatformTest::drainAll()
{
    // Bounded: a window that never validates itself would keep a paint due forever.
    MSG msg;
    for (int taken = 0; taken < 1000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++taken)
        DispatchMessage(&msg);
    ASSERT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "a paint stays due";
    received.clear();
}

COLORREF surfaceColor(HWND topLevel, int x, int y)
{
    const SurfaceView view = platformSurface(topLevel);
    if (!view.pixels || x < 0 || y < 0 || x >= view.width || y >= view.height) return CLR_INVALID;
    const std::uint8_t* pixel = view.pixels + y * view.stride + x * 4;
    return RGB(pixel[2], pixel[1], pixel[0]);
}
