// StretchBlt. Sampling, per axis:
//  - COLORONCOLOR (and BLACKONWHITE / WHITEONBLACK, which only differ from it for
//    one-bit bitmaps): the source pixel under the centre of each destination pixel.
//  - HALFTONE: when an axis shrinks, the average of the source area a destination
//    pixel covers, each source pixel weighted by how much of it is covered; when it
//    grows (or keeps its size), the pixel under the centre, so enlarged bitmaps keep
//    hard edges instead of blurring.
// Source pixels outside the source context's clip take no part; a destination pixel
// that would see none is left as it is.
#include "platform/blit.h"
#include "platform/rect.h"
#include "platform/surface.h"

#include <cstring>

// Sizes beyond this are refused; it keeps every weighted sum inside 64 bits.
constexpr int kMaxStretchSide = 65536;

namespace {

struct AxisMap {
    i64 destinationLength;
    i64 sourceLength;
    bool average; // HALFTONE on a shrinking axis
};

// Where source pixels are read: pixel (x, y) of the surface, or of a snapshot that
// starts at (left, top) when source and destination share one surface.
struct SourceView {
    const u8* pixels;
    i64 stride;
    i64 left;
    i64 top;
    RECT valid; // surface coordinates that may be read
};

} // namespace

// The source offsets [first, last) that destination offset i reads.
static void sourceRange(const AxisMap& map, i64 i, i64* first, i64* last)
{
    if (!map.average) {
        *first = ((2 * i + 1) * map.sourceLength) / (2 * map.destinationLength);
        *last = *first + 1;
        return;
    }
    *first = (i * map.sourceLength) / map.destinationLength;
    *last = ((i + 1) * map.sourceLength + map.destinationLength - 1) / map.destinationLength;
}

// How much of destination pixel i source pixel s covers, in units of 1 / sourceLength
// of a destination pixel (so the weights of one destination pixel add up to sourceLength).
static i64 coverage(const AxisMap& map, i64 i, i64 s)
{
    if (!map.average) return 1;
    const i64 low = s * map.destinationLength > i * map.sourceLength ? s * map.destinationLength
                                                                     : i * map.sourceLength;
    const i64 high = (s + 1) * map.destinationLength < (i + 1) * map.sourceLength
                         ? (s + 1) * map.destinationLength
                         : (i + 1) * map.sourceLength;
    return high - low;
}

// One destination pixel from the source area it maps to; false when none of it is readable.
static bool samplePixel(const SourceView& view, const AxisMap& across, const AxisMap& down,
                        i64 sourceX, i64 sourceY, i64 column, i64 row, u8* out)
{
    i64 firstX = 0, lastX = 0, firstY = 0, lastY = 0;
    sourceRange(across, column, &firstX, &lastX);
    sourceRange(down, row, &firstY, &lastY);
    u64 sum[3] = {0, 0, 0};
    u64 total = 0;
    for (i64 s = firstY; s < lastY; ++s) {
        const i64 y = sourceY + s;
        if (y < view.valid.top || y >= view.valid.bottom) continue;
        const u64 weightY = static_cast<u64>(coverage(down, row, s));
        for (i64 t = firstX; t < lastX; ++t) {
            const i64 x = sourceX + t;
            if (x < view.valid.left || x >= view.valid.right) continue;
            const u64 weight = weightY * static_cast<u64>(coverage(across, column, t));
            const u8* in = view.pixels + (y - view.top) * view.stride + (x - view.left) * 4;
            for (int c = 0; c < 3; ++c) sum[c] += weight * in[c];
            total += weight;
        }
    }
    if (total == 0) return false;
    // Each average is a weighted mean of bytes, so it is a byte again.
    for (int c = 0; c < 3; ++c) out[c] = static_cast<u8>((sum[c] + total / 2) / total);
    out[3] = 0;
    return true;
}

// A copy of the readable source rectangle, for a stretch within one surface.
static bool snapshotSource(const Surface& surface, const RECT& area, Surface* copy)
{
    if (!allocateSurface(area.right - area.left, area.bottom - area.top, copy)) return false;
    for (LONG y = area.top; y < area.bottom; ++y)
        std::memcpy(surfacePixel(*copy, 0, y - area.top), surfacePixel(surface, area.left, y),
                    static_cast<std::size_t>(copy->stride));
    return true;
}

BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, DWORD rop)
{
    // Mirroring through negative sizes is not offered.
    if (rop != SRCCOPY || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return FALSE;
    if (width > kMaxStretchSide || height > kMaxStretchSide || sourceWidth > kMaxStretchSide ||
        sourceHeight > kMaxStretchSide)
        return FALSE;
    if (width == sourceWidth && height == sourceHeight)
        return BitBlt(destination, x, y, width, height, source, sourceX, sourceY, rop);
    DrawTarget to, from;
    if (!resolveBlitPair(destination, source, &to, &from)) return FALSE;
    const bool halftone = lookupContext(destination)->stretchMode == HALFTONE;
    const AxisMap across{width, sourceWidth, halftone && sourceWidth > width};
    const AxisMap down{height, sourceHeight, halftone && sourceHeight > height};
    const i64 toX = to.originX + x, toY = to.originY + y;
    const i64 fromX = from.originX + sourceX, fromY = from.originY + sourceY;

    const RECT wanted{clampLong(fromX), clampLong(fromY), clampLong(fromX + sourceWidth),
                      clampLong(fromY + sourceHeight)};
    SourceView view{from.surface->pixels, from.surface->stride, 0, 0,
                    intersectRect(from.clip, wanted)};
    Surface snapshot;
    if (to.surface == from.surface && !rectEmpty(view.valid)) {
        if (!snapshotSource(*from.surface, view.valid, &snapshot)) return FALSE;
        view.pixels = snapshot.pixels;
        view.stride = snapshot.stride;
        view.left = view.valid.left;
        view.top = view.valid.top;
    }
    const AxisSpan columns = clipAxis(width, toX, to.clip.left, to.clip.right, 0, 0, width);
    const AxisSpan rows = clipAxis(height, toY, to.clip.top, to.clip.bottom, 0, 0, height);
    for (i64 row = rows.first; row < rows.last; ++row) {
        // Inside the destination clip, so the coordinates fit i32.
        u8* out = surfacePixel(*to.surface, static_cast<i32>(toX + columns.first),
                               static_cast<i32>(toY + row));
        for (i64 column = columns.first; column < columns.last; ++column, out += 4)
            samplePixel(view, across, down, fromX, fromY, column, row, out);
    }
    freeSurface(&snapshot);
    return TRUE;
}
