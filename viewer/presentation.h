// viewer/presentation.h - the finished frame shown in the Viewer's window through
// DrawDib, stretched by the display scale.
//
// Owns: the Viewer's DrawDib handle and the bitmap header that describes its frame
// buffer (32 bits a pixel, BI_RGB, rows bottom-up).
// Reads: the FrameState's render size and frame buffer.
// Entry points: openPresentation, presentFrame, closePresentation.
// Failure: DrawDib's results are not needed: a frame that cannot be drawn leaves the
// window as it was, and the next frame tries again.
#pragma once

#include "render/render.h"

#include <windows.h>

#include <vfw.h> // after <windows.h>, whose types it uses

struct Presentation {
    HDRAWDIB drawDib = nullptr;
    BITMAPINFOHEADER bitmapHeader{}; // biWidth and biHeight follow the render size
};

// DrawDibOpen, then DrawDibBegin for a W x H frame drawn at its own size.
void openPresentation(Presentation& presentation, i16 width, i16 height);

// One DrawDibDraw of the whole frame at the window's top-left corner: W x H when the
// display scale is exactly 1.0, otherwise stretched by the scale's whole part.
void presentFrame(Presentation& presentation, const FrameState& frame, HDC dc, f32 displayScale);

// DrawDibEnd and DrawDibClose; the handle is cleared.
void closePresentation(Presentation& presentation);
