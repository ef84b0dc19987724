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
extern std::vector<Received> received;
// Answers as DefWindowProc after noting the message.
LRESULT recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Notes the message but never validates on WM_PAINT (for tests of pending paints).
LRESULT recordingNoPaintProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The messages with this number, in order.
std::vector<Received> receivedOf(UINT message);

// A rectangle as {left, top, right, bottom}, so one comparison prints all four edges.
using Edges = std::array<LONG, 4>;
inline Edges edges(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Registers a class of this procedure (and background brush) under `name`.
    void registerClass(const char* name, WNDPROC procedure, HBRUSH background = nullptr);
    // A shown window of the class: a child of `parent` at (x, y), or top-level.
    HWND makeOf(const char* className, HWND parent, int x, int y, int width, int height,
                void* createParam = nullptr);
    // A shown top-level window of the recording class.
    HWND makeTopLevel(int width, int height);
    // A shown child of the recording class at (x, y) of the parent's client area.
    HWND makeChild(HWND parent, int x, int y, int width, int height);
    // Takes every paint due and every posted message, so a test starts from quiet.
    void drainAll();
    // Removes and returns the next message for `filter` in [first, last]; a message
    // numbered 0 (WM_NULL) when none is due.
    MSG take(HWND filter = nullptr, UINT first = 0, UINT last = 0);
    // Whether any message at all is due.
    bool queueEmpty();
};

// The colour of pixel (x, y) of a top-level window's surface.
COLORREF surfaceColor(HWND topLevel, int x, int y);

// Pixels and the colours they must have, read from a context or from a top-level
// window's surface; each one that differs is reported with its position.
struct PixelCheck {
    int x, y;
    COLORREF expected;
};
void expectPixels(HDC dc, std::initializer_list<PixelCheck> checks);
void expectSurface(HWND topLevel, std::initializer_list<PixelCheck> checks);

// Expects `box` filled with `inside` to its last column and row, and `outside` just
// beyond each of its four edges: the right and bottom edges are exclusive.
void expectBox(HWND topLevel, const RECT& box, COLORREF inside, COLORREF outside);
