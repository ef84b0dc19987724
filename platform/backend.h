// platform/backend.h - what a display backend gives the window layer: the pixels of
// each top-level window, native input, presentation and message boxes. The window
// layer owns everything else (tree, queue, painting, drawing), so a backend is small.
// Backends: "headless" (headless_backend.cpp, the default) and "sdl2" (sdl_*.cpp), which
// shows real windows and turns its native events into messages (platformInjectMouse
// for the mouse).
// Entry points: currentBackend, writeMessageBoxText; platformUseBackend and
// platformBackendName (windows.h).
#pragma once

#include "base/types.h"
#include "platform/surface.h"
#include "platform/windows.h"

struct Backend {
    const char* name;
    // Gives a new top-level window its surface, black. False when it cannot be had.
    bool (*createSurface)(HWND topLevel, i32 width, i32 height, Surface* surface);
    // Changes the size, keeping the pixels both sizes share; false leaves it untouched.
    bool (*resizeSurface)(HWND topLevel, i32 width, i32 height, Surface* surface);
    void (*destroySurface)(HWND topLevel, Surface* surface);
    // Turns waiting native input into queued messages; with `wait`, first blocks until
    // some arrives. Answers whether native input can still arrive at all.
    bool (*pumpEvents)(bool wait);
    // The surface's pixels changed: show them.
    void (*present)(HWND topLevel, const Surface& surface);
    // Shows a message box's text to the user (the window layer keeps the log).
    void (*showMessageBox)(HWND owner, const char* text, const char* caption, UINT type);
    // The top-level window's text changed (CreateWindowEx's name, SetWindowText): a
    // backend with title bars shows it there.
    void (*setTitle)(HWND topLevel, const char* title);
};

const Backend& currentBackend();
extern const Backend kHeadlessBackend;
extern const Backend kSdlBackend;

// "Caption: text" on stderr, one line however the text ends: every backend's record of
// a message box, which a user without a dialog (and a test) still sees.
void writeMessageBoxText(const char* text, const char* caption);
