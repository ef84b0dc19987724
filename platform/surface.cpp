// Pixel blocks for surfaces and bitmaps: zeroed, bounded, checked.
#include "platform/surface.h"

#include <cstdlib>
#include <cstring>

bool allocateSurface(i32 width, i32 height, Surface* surface)
{
    if (width < 0 || height < 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide)
        return false;
    Surface made;
    made.width = width;
    made.height = height;
    made.stride = width * 4; // at most 2^16: no overflow
    if (width > 0 && height > 0) {
        made.pixels = static_cast<u8*>(
            std::calloc(static_cast<std::size_t>(height), static_cast<std::size_t>(made.stride)));
        if (!made.pixels) return false;
    }
    *surface = made;
    return true;
}

bool reallocateSurface(i32 width, i32 height, Surface* surface)
{
    Surface made;
    if (!allocateSurface(width, height, &made)) return false;
    const i32 sharedWidth = width < surface->width ? width : surface->width;
    const i32 sharedHeight = height < surface->height ? height : surface->height;
    for (i32 y = 0; y < sharedHeight; ++y)
        std::memcpy(surfacePixel(made, 0, y), surfacePixel(*surface, 0, y),
                    static_cast<std::size_t>(sharedWidth) * 4);
    freeSurface(surface);
    *surface = made;
    return true;
}

void freeSurface(Surface* surface)
{
    std::free(surface->pixels);
    *surface = Surface{};
}
