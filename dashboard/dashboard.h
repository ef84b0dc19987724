// dashboard/dashboard.h - the control panel along the bottom 90 pixels of the plug-in
// area. It is a window of its own class with its creation and teardown; its bitmap
// buttons (which call the switches of dashboard/actions.h) are drawn by its paint.
//
// Owns: the side panel windows it opens (none yet).
#pragma once

#include "viewer/framework_window.h"

// The Dashboard's height in pixels, whatever the plug-in area's size.
constexpr int kDashboardHeight = 90;

class Dashboard : public FrameworkWindow {
public:
    Dashboard() = default;
    ~Dashboard() override = default;

    // The side panels opened by right-clicks: null until opened.
    HWND emptyPanel = nullptr;
    HWND leftPanel = nullptr;
    HWND rightPanel = nullptr;

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
