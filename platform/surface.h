// platform/surface.h - pixel blocks on the C heap for surfaces and bitmaps.
// Entry points: allocateSurface, reallocateSurface, freeSurface, surfacePixel.
#pragma once

#include "base/types.h"

// The pixels of a top-level window: 32 bits a pixel (blue, green, red, unused), rows
// top-down, `stride` bytes a row. A 0 x 0 surface has no pixels.
struct Surface {
    u8* pixels = nullptr;
    i32 width = 0;
    i32 height = 0;
    i32 stride = 0;
};

// The largest side of any surface or bitmap the platform allocates. Keeps every byte
// count far inside 32 bits (16384 x 16384 x 4 = 2^30).
constexpr i32 kMaxSurfaceSide = 16384;

// A zeroed block of width x height pixels; false (surface untouched) for sizes outside
// 0 .. kMaxSurfaceSide or when the heap refuses.
bool allocateSurface(i32 width, i32 height, Surface* surface);
// A new block of the new size holding the old pixels where both sizes overlap, the rest
// zeroed; false leaves the surface as it was.
bool reallocateSurface(i32 width, i32 height, Surface* surface);
void freeSurface(Surface* surface);

// The first byte of pixel (x, y); the caller has checked that it lies inside.
inline u8* surfacePixel(const Surface& surface, i32 x, i32 y)
{
    return surface.pixels + static_cast<i64>(y) * surface.stride + static_cast<i64>(x) * 4;
}
