// BitBlt, GetPixel and Rectangle: straight copies and fills, clipped to both contexts.
#include "platform/blit.h"

#include "platform/surface.h"

#include <cstring>

AxisSpan clipAxis(i64 length, i64 destinationStart, LONG destinationLow, LONG destinationHigh,
                  i64 sourceStart, LONG sourceLow, LONG sourceHigh)
{
    i64 first = 0, last = length;
    if (destinationLow - destinationStart > first) first = destinationLow - destinationStart;
    if (sourceLow - sourceStart > first) first = sourceLow - sourceStart;
    if (destinationHigh - destinationStart < last) last = destinationHigh - destinationStart;
    if (sourceHigh - sourceStart < last) last = sourceHigh - sourceStart;
    return AxisSpan{first, last > first ? last : first};
}

bool resolveBlitPair(HDC destination, HDC source, DrawTarget* to, DrawTarget* from)
{
    const DeviceContextRecord* toContext = lookupContext(destination);
    const DeviceContextRecord* fromContext = lookupContext(source);
    return toContext && fromContext && resolveTarget(toContext, to) &&
           resolveTarget(fromContext, from);
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rop)
{
    if (rop != SRCCOPY || width < 0 || height < 0) return FALSE;
    DrawTarget to, from;
    if (!resolveBlitPair(destination, source, &to, &from)) return FALSE;
    const i64 toX = to.originX + x, toY = to.originY + y;
    const i64 fromX = from.originX + sourceX, fromY = from.originY + sourceY;
    const AxisSpan columns =
        clipAxis(width, toX, to.clip.left, to.clip.right, fromX, from.clip.left, from.clip.right);
    const AxisSpan rows =
        clipAxis(height, toY, to.clip.top, to.clip.bottom, fromY, from.clip.top, from.clip.bottom);
    if (columns.first == columns.last || rows.first == rows.last) return TRUE;
    // Every coordinate below lies inside a clip rectangle, so it fits i32.
    const std::size_t rowBytes = static_cast<std::size_t>(columns.last - columns.first) * 4;
    // Within one surface, copy rows in the order that never reads a row already written.
    const bool upward = to.surface == from.surface && toY > fromY;
    for (i64 step = 0; step < rows.last - rows.first; ++step) {
        const i64 row = upward ? rows.last - 1 - step : rows.first + step;
        u8* out = surfacePixel(*to.surface, static_cast<i32>(toX + columns.first),
                               static_cast<i32>(toY + row));
        const u8* in = surfacePixel(*from.surface, static_cast<i32>(fromX + columns.first),
                                    static_cast<i32>(fromY + row));
        std::memmove(out, in, rowBytes);
    }
    return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    const DeviceContextRecord* context = lookupContext(dc);
    DrawTarget target;
    if (!context || !resolveTarget(context, &target)) return CLR_INVALID;
    const i64 pixelX = target.originX + x, pixelY = target.originY + y;
    const RECT& clip = target.clip;
    if (pixelX < clip.left || pixelX >= clip.right || pixelY < clip.top || pixelY >= clip.bottom)
        return CLR_INVALID;
    const u8* pixel =
        surfacePixel(*target.surface, static_cast<i32>(pixelX), static_cast<i32>(pixelY));
    return RGB(pixel[2], pixel[1], pixel[0]);
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    const DeviceContextRecord* context = lookupContext(dc);
    DrawTarget target;
    if (!context || !resolveTarget(context, &target)) return FALSE;
    const GdiObjectRecord* pen = lookupObject(context->pen);
    const GdiObjectRecord* brush = lookupObject(context->brush);
    // GDI takes the corners in either order.
    const i64 l = left < right ? left : right, r = left < right ? right : left;
    const i64 t = top < bottom ? top : bottom, b = top < bottom ? bottom : top;
    // A thick pen stays inside the rectangle, so the shape never grows with the pen.
    const i64 edge = pen ? pen->penWidth : 0;
    if (brush && !brush->hollow)
        fillArea(target, l + edge, t + edge, r - edge, b - edge, brush->color);
    if (pen) {
        fillArea(target, l, t, r, t + edge, pen->color);               // top
        fillArea(target, l, b - edge, r, b, pen->color);               // bottom
        fillArea(target, l, t + edge, l + edge, b - edge, pen->color); // left
        fillArea(target, r - edge, t + edge, r, b - edge, pen->color); // right
    }
    return TRUE;
}
