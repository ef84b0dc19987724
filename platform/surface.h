// platform/surface.h - pixel blocks on the C heap for surfaces and bitmaps.
// Entry points: allocateSurface, reallocateSurface, freeSurface, surfacePixel.
#pragma once

#include "platform/backend.h"

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
