// platform/gdi_state.h - the records behind HDC and HGDIOBJ, shared by the drawing
// files of the platform layer.
// Owns: every device context and GDI object record, and the stock objects.
// A device context draws either into a window's top-level surface (GetDC, BeginPaint)
// or into the bitmap selected into it (a memory context). A window context keeps only
// the window's handle and works out its origin and clip at each drawing call, so moving
// or destroying the window never leaves it pointing at stale pixels.
// Entry points: lookupContext, lookupObject, makeWindowContext, freeContext,
// resolveTarget, fillArea, eraseWithBrush, presentContext, writeColor, stockObject,
// makeBitmapObject, freeAllDrawing.
#pragma once

#include "base/types.h"
#include "platform/backend.h"
#include "platform/windows.h"

enum class GdiKind : u8 { Bitmap, Pen, Brush };

struct GdiObjectRecord {
    GdiKind kind = GdiKind::Brush;
    bool stock = false;  // GetStockObject's: shared, never deleted, selectable anywhere
    bool hollow = false; // NULL_BRUSH: fills nothing
    COLORREF color = 0;  // pens and brushes
    i32 penWidth = 1;    // pens: 1 for a cosmetic pen, more for a thick outline
    Surface bitmap;      // bitmaps: 32-bit pixels, rows top-down
    u32 selections = 0;  // contexts holding this object selected
};

struct DeviceContextRecord {
    HDC handle = nullptr;
    HWND window = nullptr;    // the window drawn into; null for a memory context
    bool fromPaint = false;   // made by BeginPaint, released by EndPaint
    RECT paintArea{};         // client coordinates: what BeginPaint validated
    HGDIOBJ bitmap = nullptr; // memory contexts: the selected bitmap
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    int stretchMode = BLACKONWHITE; // the Win32 default
};

// Where a context's drawing lands: the surface, the context's (0, 0) on it, and the
// part of the surface it may change (never outside the surface).
struct DrawTarget {
    Surface* surface = nullptr;
    i64 originX = 0;
    i64 originY = 0;
    RECT clip{};
};

DeviceContextRecord* lookupContext(HDC dc);
GdiObjectRecord* lookupObject(HGDIOBJ object);
// The 1 x 1 bitmap every memory context starts with, in the stock object numbering.
constexpr int kStockDefaultBitmap = 16;
// A stock object, made on first use; null when memory runs out.
HGDIOBJ stockObject(int which);
// A bitmap object owning the pixels (freed on failure too); null when memory runs out.
HBITMAP makeBitmapObject(Surface pixels);

// A new context drawing into the window (BeginPaint passes its validated area).
HDC makeWindowContext(HWND window, bool fromPaint, const RECT& paintArea);
// Deselects everything the context holds and forgets it.
void freeContext(DeviceContextRecord* context);
// False when the context's window or bitmap is gone.
bool resolveTarget(const DeviceContextRecord* context, DrawTarget* target);

// Fills the rectangle, in the context's coordinates (any values), clipped.
void fillArea(const DrawTarget& target, i64 left, i64 top, i64 right, i64 bottom, COLORREF color);
// Fills a paint context's validated area (any other context: its whole clip) with the
// brush, for WM_ERASEBKGND; false when the brush draws nothing.
bool eraseWithBrush(HDC dc, HBRUSH brush);
// Shows the top-level surface of a window context (after ReleaseDC, EndPaint, DrawDib).
void presentContext(const DeviceContextRecord* context);

inline void writeColor(u8* pixel, COLORREF color)
{
    pixel[0] = GetBValue(color);
    pixel[1] = GetGValue(color);
    pixel[2] = GetRValue(color);
    pixel[3] = 0;
}

// Frees every context and GDI object, stock objects too (platformReset).
void freeAllDrawing();
