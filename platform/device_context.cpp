// Device contexts: window and memory contexts, where their drawing lands, and the
// stretch mode they carry.
#include "platform/backend.h"
#include "platform/gdi_state.h"
#include "platform/handles.h"
#include "platform/surface.h"
#include "platform/window_state.h"

#include <new>

DeviceContextRecord* lookupContext(HDC dc)
{
    return lookupAs<DeviceContextRecord>(dc, HandleKind::DeviceContext);
}

// Holds `object` selected in a context: its count rises, the previous one's falls.
static void replaceSelection(HGDIOBJ* slot, HGDIOBJ object)
{
    if (GdiObjectRecord* previous = lookupObject(*slot)) --previous->selections;
    *slot = object;
    if (GdiObjectRecord* next = lookupObject(object)) ++next->selections;
}

// A context with the Win32 defaults (black pen, white brush); null when memory runs out.
static DeviceContextRecord* makeContext(HWND window)
{
    const HGDIOBJ pen = stockObject(BLACK_PEN);
    const HGDIOBJ brush = stockObject(WHITE_BRUSH);
    const HGDIOBJ bitmap = window ? nullptr : stockObject(kStockDefaultBitmap);
    if (!pen || !brush || (!window && !bitmap)) return nullptr;
    DeviceContextRecord* context = new (std::nothrow) DeviceContextRecord;
    if (!context) return nullptr;
    context->handle = static_cast<HDC>(handleCreate(HandleKind::DeviceContext, context));
    if (!context->handle) {
        delete context;
        return nullptr;
    }
    context->window = window;
    replaceSelection(&context->pen, pen);
    replaceSelection(&context->brush, brush);
    replaceSelection(&context->bitmap, bitmap);
    return context;
}

HDC makeWindowContext(HWND window, bool fromPaint, const RECT& paintArea)
{
    DeviceContextRecord* context = makeContext(window);
    if (!context) return nullptr;
    context->fromPaint = fromPaint;
    context->paintArea = paintArea;
    return context->handle;
}

void freeContext(DeviceContextRecord* context)
{
    replaceSelection(&context->pen, nullptr);
    replaceSelection(&context->brush, nullptr);
    replaceSelection(&context->bitmap, nullptr);
    handleRelease(context->handle);
    delete context;
}

bool resolveTarget(const DeviceContextRecord* context, DrawTarget* target)
{
    if (!context->window) {
        GdiObjectRecord* bitmap = lookupObject(context->bitmap);
        if (!bitmap) return false;
        *target = DrawTarget{&bitmap->bitmap, 0, 0,
                             RECT{0, 0, bitmap->bitmap.width, bitmap->bitmap.height}};
        return true;
    }
    WindowRecord* window = lookupWindow(context->window);
    if (!window) return false;
    target->surface = &topLevelOf(window)->surface;
    windowOrigin(window, &target->originX, &target->originY);
    target->clip = windowClip(window);
    return true;
}

// Pins a context coordinate, moved onto the surface, into [low, high].
static LONG pinToClip(i64 value, LONG low, LONG high)
{
    return static_cast<LONG>(value < low ? low : value > high ? high : value);
}

void fillArea(const DrawTarget& target, i64 left, i64 top, i64 right, i64 bottom, COLORREF color)
{
    const RECT& clip = target.clip;
    const LONG x0 = pinToClip(left + target.originX, clip.left, clip.right);
    const LONG x1 = pinToClip(right + target.originX, clip.left, clip.right);
    const LONG y0 = pinToClip(top + target.originY, clip.top, clip.bottom);
    const LONG y1 = pinToClip(bottom + target.originY, clip.top, clip.bottom);
    for (LONG y = y0; y < y1; ++y) {
        u8* pixel = surfacePixel(*target.surface, x0, y);
        for (LONG x = x0; x < x1; ++x, pixel += 4) writeColor(pixel, color);
    }
}

bool eraseWithBrush(HDC dc, HBRUSH brush)
{
    const DeviceContextRecord* context = lookupContext(dc);
    const GdiObjectRecord* record = lookupObject(brush);
    if (!context || !record || record->kind != GdiKind::Brush || record->hollow) return false;
    DrawTarget target;
    if (!resolveTarget(context, &target)) return false;
    if (context->fromPaint) {
        const RECT& area = context->paintArea;
        fillArea(target, area.left, area.top, area.right, area.bottom, record->color);
    } else {
        const RECT& clip = target.clip;
        fillArea(target, clip.left - target.originX, clip.top - target.originY,
                 clip.right - target.originX, clip.bottom - target.originY, record->color);
    }
    return true;
}

void presentContext(const DeviceContextRecord* context)
{
    WindowRecord* window = lookupWindow(context->window);
    if (!window) return;
    WindowRecord* top = topLevelOf(window);
    currentBackend().present(top->handle, top->surface);
}

HDC GetDC(HWND window)
{
    // There is no screen to draw on, so a null window gives no context.
    if (!lookupWindow(window)) return nullptr;
    return makeWindowContext(window, false, RECT{});
}

int ReleaseDC(HWND window, HDC dc)
{
    DeviceContextRecord* context = lookupContext(dc);
    if (!context || !context->window || context->window != window || context->fromPaint) return 0;
    presentContext(context);
    freeContext(context);
    return 1;
}

HDC CreateCompatibleDC(HDC dc)
{
    if (dc && !lookupContext(dc)) return nullptr;
    DeviceContextRecord* context = makeContext(nullptr);
    return context ? context->handle : nullptr;
}

BOOL DeleteDC(HDC dc)
{
    DeviceContextRecord* context = lookupContext(dc);
    if (!context) return FALSE;
    freeContext(context);
    return TRUE;
}

int SetStretchBltMode(HDC dc, int mode)
{
    DeviceContextRecord* context = lookupContext(dc);
    if (!context || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    const int previous = context->stretchMode;
    context->stretchMode = mode;
    return previous;
}

int GetStretchBltMode(HDC dc)
{
    const DeviceContextRecord* context = lookupContext(dc);
    return context ? context->stretchMode : 0;
}
