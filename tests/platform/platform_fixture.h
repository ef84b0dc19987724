// tests/platform/platform_fixture.h - what every platform test shares: a clean platform
// per test, a window procedure that writes down every message it gets, and small
// helpers to make windows, take messages and read pixels.
#pragma once

#include "platform/windows.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <vector>

// One message as a window procedure received it.
struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message that reached recordingProcedure, oldest first.
inline std::vector<Received> received;

// Answers as DefWindowProc after noting the message.
inline LRESULT recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(Received{window, message, wParam, lParam});
    return DefWindowProc(window, message, wParam, lParam);
}

// Notes the message but never validates on WM_PAINT (for tests of pending paints).
inline LRESULT recordingNoPaintProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(Received{window, message, wParam, lParam});
    if (message == WM_PAINT) return 0;
    return DefWindowProc(window, message, wParam, lParam);
}

// The messages with this number, in order.
inline std::vector<Received> receivedOf(UINT message)
{
    std::vector<Received> found;
    for (const Received& entry : received)
        if (entry.message == message) found.push_back(entry);
    return found;
}

// A rectangle as {left, top, right, bottom}, so one comparison prints all four edges.
using Edges = std::array<LONG, 4>;
inline Edges edges(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

class PlatformTest : public ::testing::Test {
protected:
    static constexpr const char* kRecordingClass = "TestRecorder";

    void SetUp() override
    {
        platformReset();
        received.clear();
        registerClass(kRecordingClass, recordingProcedure);
        registerClass("TestNoPaint", recordingNoPaintProcedure);
    }
    void TearDown() override
    {
        platformReset();
        received.clear();
    }
    // Registers a class of this procedure (and background brush) under `name`.
    void registerClass(const char* name, WNDPROC procedure, HBRUSH background = nullptr)
    {
        WNDCLASS windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = name;
        windowClass.hbrBackground = background;
        ASSERT_NE(RegisterClass(&windowClass), 0) << name;
    }
    // A shown window of the class: a child of `parent` at (x, y), or top-level.
    HWND makeOf(const char* className, HWND parent, int x, int y, int width, int height,
                void* createParam = nullptr)
    {
        return CreateWindow(className, nullptr, (parent ? WS_CHILD : 0) | WS_VISIBLE, x, y, width,
                            height, parent, nullptr, nullptr, createParam);
    }
    // A shown top-level window of the recording class.
    HWND makeTopLevel(int width, int height)
    {
        return CreateWindow(kRecordingClass, "top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width,
                            height, nullptr, nullptr, nullptr, nullptr);
    }
    // A shown child of the recording class at (x, y) of the parent's client area.
    HWND makeChild(HWND parent, int x, int y, int width, int height)
    {
        return makeOf(kRecordingClass, parent, x, y, width, height);
    }
    // Takes every paint due and every posted message, so a test starts from quiet.
    // Bounded: a window that never validates itself would keep a paint due forever.
    void drainAll()
    {
        MSG msg;
        for (int taken = 0; taken < 1000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++taken)
            DispatchMessage(&msg);
        ASSERT_TRUE(queueEmpty()) << "a paint stays due";
        received.clear();
    }
    // Removes and returns the next message for `filter` in [first, last]; a message
    // numbered 0 (WM_NULL) when none is due.
    MSG take(HWND filter = nullptr, UINT first = 0, UINT last = 0)
    {
        MSG msg{};
        if (!PeekMessage(&msg, filter, first, last, PM_REMOVE)) msg = MSG{};
        return msg;
    }
    // Whether any message at all is due.
    bool queueEmpty()
    {
        MSG msg;
        return !PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
};

// The colour of pixel (x, y) of a top-level window's surface.
inline COLORREF surfaceColor(HWND topLevel, int x, int y)
{
    const SurfaceView view = platformSurface(topLevel);
    if (!view.pixels || x < 0 || y < 0 || x >= view.width || y >= view.height) return CLR_INVALID;
    const std::uint8_t* pixel = view.pixels + y * view.stride + x * 4;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

// Pixels and the colours they must have, read from a context (HDC) or from a top-level
// window's surface (HWND); each one that differs is reported with its position.
struct PixelCheck {
    int x, y;
    COLORREF expected;
};
inline COLORREF colorAt(HDC dc, int x, int y)
{
    return GetPixel(dc, x, y);
}
inline COLORREF colorAt(HWND topLevel, int x, int y)
{
    return surfaceColor(topLevel, x, y);
}
template <class Source, class Checks = std::initializer_list<PixelCheck>>
void expectPixels(Source source, const Checks& checks)
{
    for (const PixelCheck& check : checks)
        EXPECT_EQ(colorAt(source, check.x, check.y), check.expected)
            << "(" << check.x << ", " << check.y << ")";
}

// Expects `box` filled with `inside` to its last column and row, and `outside` just
// beyond each of its four edges: the right and bottom edges are exclusive.
inline void expectBox(HWND topLevel, const RECT& box, COLORREF inside, COLORREF outside)
{
    const int left = box.left, top = box.top, lastX = box.right - 1, lastY = box.bottom - 1;
    // The corners inside, and the pixels just left of, above, right of and below them.
    expectPixels(topLevel, {{left, top, inside},
                            {lastX, lastY, inside},
                            {left - 1, top, outside},
                            {left, top - 1, outside},
                            {lastX + 1, lastY, outside},
                            {lastX, lastY + 1, outside}});
}
