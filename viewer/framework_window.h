// viewer/framework_window.h - the framework window class the plug-in's windows derive
// from: a native window handle and a message map. The Viewer, the Dashboard and the
// plug-in window are built on it.
//
// Owns: nothing but its handle and, for a window it took over, the procedure that
// window had before. Messages its map does not handle go to that procedure, or to
// DefWindowProc for windows it created itself.
// Entry points: createChild, attach, detach, defaultHandling.
#pragma once

#include <windows.h>

class FrameworkWindow {
public:
    FrameworkWindow() = default;
    FrameworkWindow(const FrameworkWindow&) = delete;
    FrameworkWindow& operator=(const FrameworkWindow&) = delete;
    // Does not destroy the native window: its owner does that, in its own order.
    virtual ~FrameworkWindow();

    HWND handle() const { return window_; }

    // Creates a child window of the framework's class (no title) at the rectangle
    // (x, y, width, height) of the parent's client area. WM_CREATE reaches onMessage;
    // false when the window answered -1 or could not be made.
    bool createChild(DWORD style, int x, int y, int width, int height, HWND parent, UINT id);

    // Takes an existing window over (subclassing): its procedure is replaced by the
    // framework's dispatcher, and messages the map does not handle go on to the
    // procedure it had. False for a dead window or one already attached.
    bool attach(HWND window);
    // Gives an attached window its procedure back and forgets the handle.
    void detach();

protected:
    // The message map: handle the message and return true with *result set, or
    // return false to let it go to the default handling.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;
    // What the message would get without this class.
    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static FrameworkWindow* objectOf(HWND window);

    HWND window_ = nullptr;
    WNDPROC superProcedure_ = nullptr; // the taken-over window's own procedure
};
