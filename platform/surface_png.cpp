// Host services on top-level surfaces: the pixels themselves, and a PNG of them.
#include "platform/surface.h"
#include "platform/window_state.h"

#include <cstdlib>
#include <png.h>

SurfaceView platformSurface(HWND topLevel)
{
    const WindowRecord* record = lookupWindow(topLevel);
    if (!record || record->parent || !record->surface.pixels) return SurfaceView{nullptr, 0, 0, 0};
    const Surface& surface = record->surface;
    return SurfaceView{surface.pixels, surface.width, surface.height, surface.stride};
}

// The area's pixels as packed red, green, blue rows; null when memory runs out.
static u8* packRgb(const Surface& surface, const RECT& area)
{
    const std::size_t width = static_cast<std::size_t>(area.right - area.left);
    const std::size_t height = static_cast<std::size_t>(area.bottom - area.top);
    u8* rgb = static_cast<u8*>(std::malloc(width * height * 3)); // at most 3 x 2^28 bytes
    if (!rgb) return nullptr;
    u8* out = rgb;
    for (LONG y = area.top; y < area.bottom; ++y) {
        const u8* in = surfacePixel(surface, area.left, y);
        for (std::size_t x = 0; x < width; ++x, in += 4, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return rgb;
}

// Encodes the area (null: all) of the top-level surface as an RGB PNG through `write`,
// which gets the libpng image and the packed rows.
template <class Write> static bool encodeSurfacePng(HWND topLevel, const RECT* area, Write write)
{
    const WindowRecord* record = lookupWindow(topLevel);
    if (!record || record->parent) return false;
    const Surface& surface = record->surface;
    const RECT whole{0, 0, surface.width, surface.height};
    const RECT saved = area ? intersectRect(*area, whole) : whole;
    if (rectEmpty(saved)) return false;
    u8* rgb = packRgb(surface, saved);
    if (!rgb) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(saved.right - saved.left);
    image.height = static_cast<png_uint_32>(saved.bottom - saved.top);
    image.format = PNG_FORMAT_RGB;
    const int written = write(image, rgb);
    png_image_free(&image);
    std::free(rgb);
    return written != 0;
}

bool platformSaveSurfacePng(HWND topLevel, const RECT* area, const char* path)
{
    if (!path) return false;
    return encodeSurfacePng(topLevel, area, [&](png_image& image, const u8* rgb) {
        return png_image_write_to_file(&image, path, 0, rgb, 0, nullptr);
    });
}

bool platformWriteSurfacePng(HWND topLevel, const RECT* area, std::FILE* file)
{
    if (!file) return false;
    return encodeSurfacePng(topLevel, area, [&](png_image& image, const u8* rgb) {
        return png_image_write_to_stdio(&image, file, 0, rgb, 0, nullptr);
    });
}
