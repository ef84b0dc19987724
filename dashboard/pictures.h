// dashboard/pictures.h - the bitmaps the Dashboard and the side panels are drawn from:
// loaded from the plug-in module's resources, drawn whole onto a place of a window.
//
// Owns: each Picture's bitmap (freePicture deletes it).
// Entry points: loadPicture, freePicture, drawPicture, copyPicture.
// Failure: a bitmap the module does not hold loads as an empty Picture, which draws
// nothing: the panel shows its background where the picture would be.
#pragma once

#include "base/types.h"

#include <windows.h>

struct Picture {
    HBITMAP bitmap = nullptr; // null: empty
    i32 width = 0;            // the bitmap's own size in pixels
    i32 height = 0;
};

// A rectangle by its top-left corner and size, in a window's client pixels.
struct Place {
    i32 x = 0;
    i32 y = 0;
    i32 width = 0;
    i32 height = 0;
};

Picture loadPicture(HINSTANCE module, LPCSTR name);
inline Picture loadPicture(HINSTANCE module, u16 id)
{
    return loadPicture(module, MAKEINTRESOURCE(id));
}
void freePicture(Picture& picture);

// The whole picture stretched onto `place` of `dc`, through `memory`, a context made
// compatible with `dc`. The stretching mode is the caller's (the panels use halftone).
void drawPicture(HDC dc, HDC memory, const Picture& picture, const Place& place);
// The picture at its own size with its top-left corner at (x, y).
void copyPicture(HDC dc, HDC memory, const Picture& picture, i32 x, i32 y);

// For drawing outside WM_PAINT (a press, a release): the window's context with the
// halftone stretching the paint uses, and a memory context to go with it.
class WindowDrawing {
public:
    explicit WindowDrawing(HWND window);
    ~WindowDrawing();
    WindowDrawing(const WindowDrawing&) = delete;
    WindowDrawing& operator=(const WindowDrawing&) = delete;
    void draw(const Picture& picture, const Place& place)
    {
        drawPicture(dc_, memory_, picture, place);
    }

private:
    HWND window_;
    HDC dc_;
    HDC memory_;
};
