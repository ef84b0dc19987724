// tests/platform/platform_fixture.h - what every platform test shares: a clean platform
// per test, a window procedure that writes down every message it gets, and small
// helpers to make windows and read pixels.
#pragma once

#include "platform/windows.h"

#include <gtest/gtest.h>

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

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A shown top-level window of the recording class.
    HWND makeTopLevel(int width, int height);
    // A shown child of the recording class at (x, y) of the parent's client area.
    HWND makeChild(HWND parent, int x, int y, int width, int height);
    // Takes every paint due and every posted message, so a test starts from quiet.
    void drainAll();
};

// The colour of pixel (x, y) of a top-level window's surface.
COLORREF surfaceColor(HWND topLevel, int x, int y);
