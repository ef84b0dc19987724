// The Viewer's frame: its buffers, the background every frame starts from, and the
// frame itself from background to presentation.
#include "render/camera.h"
#include "render/prepare.h"
#include "render/raster.h"
#include "render/shadow.h"

#include "image/image.h"
#include "plugin/memory.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr u32 kPixelBytes = 4;
constexpr i16 kSolidBackground = 1;
constexpr i16 kPictureBackground = 3;
constexpr i32 kLargestStretch = 64; // far beyond any display scale in use

u64 pixelCount(i16 width, i16 height)
{
    return u64{static_cast<u32>(std::max<i16>(width, 0))} *
           static_cast<u32>(std::max<i16>(height, 0));
}

void setHeaderSize(BITMAPINFOHEADER& header, i16 width, i16 height)
{
    header.biWidth = width;
    header.biHeight = height; // positive: rows bottom-up
}

void fillHeader(BITMAPINFOHEADER& header, i16 width, i16 height)
{
    std::memset(&header, 0, sizeof header);
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    setHeaderSize(header, width, height);
}

// The three pixel-sized buffers of one size, zero-filled; all or none.
struct PixelBuffers {
    u8* frame = nullptr;
    u8* background = nullptr;
    DepthRecord* depth = nullptr;
};

void releaseBuffers(PixelBuffers& buffers)
{
    PluginFree(buffers.frame);
    PluginFree(buffers.background);
    PluginFree(buffers.depth);
    buffers = PixelBuffers{};
}

bool allocateBuffers(u64 pixels, PixelBuffers& buffers)
{
    if (pixels == 0) return true; // an empty frame has no buffers and draws nothing
    buffers.frame = static_cast<u8*>(PluginAllocArray(pixels, kPixelBytes));
    buffers.background = static_cast<u8*>(PluginAllocArray(pixels, kPixelBytes));
    buffers.depth = static_cast<DepthRecord*>(PluginAllocArray(pixels, sizeof(DepthRecord)));
    if (!buffers.frame || !buffers.background || !buffers.depth) {
        releaseBuffers(buffers);
        return false;
    }
    std::memset(buffers.frame, 0, pixels * kPixelBytes);
    std::memset(buffers.background, 0, pixels * kPixelBytes);
    std::memset(static_cast<void*>(buffers.depth), 0, pixels * sizeof(DepthRecord));
    return true;
}

void copyPrefix(void* to, const void* from, u64 newBytes, u64 oldBytes)
{
    if (to && from) std::memcpy(to, from, std::min(newBytes, oldBytes));
}

// The stretch DrawDib applies: none at exactly 1.0, else the scale's whole part.
i32 stretchFactor(f32 displayScale)
{
    if (displayScale == 1.0f) return 1;
    return clampTrunc(displayScale, 1, kLargestStretch);
}

} // namespace

bool CreateFrameBuffers(FrameState& frame, i16 width, i16 height)
{
    FreeFrameBuffers(frame);
    width = std::max<i16>(width, 0);
    height = std::max<i16>(height, 0);
    frame.bitmapHeader = static_cast<BITMAPINFOHEADER*>(PluginAlloc(sizeof(BITMAPINFOHEADER)));
    if (!frame.bitmapHeader) return false;
    fillHeader(*frame.bitmapHeader, width, height);
    PixelBuffers buffers;
    if (!allocateBuffers(pixelCount(width, height), buffers)) {
        FreeFrameBuffers(frame);
        return false;
    }
    frame.frameBuffer = buffers.frame;
    frame.backgroundBuffer = buffers.background;
    frame.depthBuffer = buffers.depth;
    frame.renderWidth = width;
    frame.renderHeight = height;
    return true;
}

bool ResizeFrameBuffers(const World& world, FrameState& frame, i16 width, i16 height)
{
    width = std::max<i16>(width, 0);
    height = std::max<i16>(height, 0);
    if (!frame.bitmapHeader) {
        frame.bitmapHeader = static_cast<BITMAPINFOHEADER*>(PluginAlloc(sizeof(BITMAPINFOHEADER)));
        if (!frame.bitmapHeader) return false;
        fillHeader(*frame.bitmapHeader, frame.renderWidth, frame.renderHeight);
    }
    // New blocks first: when one cannot be had, the frame keeps its old size whole.
    const u64 oldPixels = frame.frameBuffer ? pixelCount(frame.renderWidth, frame.renderHeight) : 0;
    const u64 newPixels = pixelCount(width, height);
    PixelBuffers buffers;
    if (!allocateBuffers(newPixels, buffers)) return false;
    copyPrefix(buffers.frame, frame.frameBuffer, newPixels * kPixelBytes, oldPixels * kPixelBytes);
    copyPrefix(buffers.background, frame.backgroundBuffer, newPixels * kPixelBytes,
               oldPixels * kPixelBytes);
    copyPrefix(buffers.depth, frame.depthBuffer, newPixels * sizeof(DepthRecord),
               oldPixels * sizeof(DepthRecord));
    PluginFree(frame.frameBuffer);
    PluginFree(frame.backgroundBuffer);
    PluginFree(frame.depthBuffer);
    frame.frameBuffer = buffers.frame;
    frame.backgroundBuffer = buffers.background;
    frame.depthBuffer = buffers.depth;
    frame.renderWidth = width;
    frame.renderHeight = height;
    setHeaderSize(*frame.bitmapHeader, width, height);
    PrepareBackground(world, frame);
    return true;
}

void PrepareBackground(const World& world, FrameState& frame)
{
    const i32 width = frame.renderWidth;
    const i32 height = frame.renderHeight;
    if (width <= 0 || height <= 0 || !frame.backgroundBuffer) return;
    u8* buffer = frame.backgroundBuffer;
    if (world.backgroundMode == kSolidBackground) {
        for (i32 x = 0; x < width; ++x) { // the fourth byte of each pixel is left alone
            buffer[4 * x] = world.backgroundBlue;
            buffer[4 * x + 1] = world.backgroundGreen;
            buffer[4 * x + 2] = world.backgroundRed;
        }
        const u64 rowBytes = u64{static_cast<u32>(width)} * kPixelBytes;
        for (i32 y = 1; y < height; ++y) std::memcpy(buffer + y * rowBytes, buffer, rowBytes);
    } else if (world.backgroundMode == kPictureBackground) {
        loadBackgroundPicture(world, buffer, width, height);
    }
}

void FreeFrameBuffers(FrameState& frame)
{
    PluginFree(frame.frameBuffer);
    frame.frameBuffer = nullptr;
    PluginFree(frame.bitmapHeader);
    frame.bitmapHeader = nullptr;
    PluginFree(frame.backgroundBuffer);
    frame.backgroundBuffer = nullptr;
    PluginFree(frame.depthBuffer);
    frame.depthBuffer = nullptr;
}

void RenderFrame(World& world, RenderState& render, FrameState& frame, HDC dc, f32 displayScale)
{
    const i32 width = frame.renderWidth;
    const i32 height = frame.renderHeight;
    if (width <= 0 || height <= 0) return; // nothing to draw, nothing to divide by
    if (!frame.frameBuffer || !frame.backgroundBuffer || !frame.depthBuffer) return;
    const u64 pixels = pixelCount(frame.renderWidth, frame.renderHeight);

    std::memcpy(frame.frameBuffer, frame.backgroundBuffer, pixels * kPixelBytes);
    if (PrepareFrame(world, render, frame)) {
        std::memset(static_cast<void*>(frame.depthBuffer), 0, pixels * sizeof(DepthRecord));
        for (i16 i = 0; i < world.objectCount; ++i) {
            const u32 entry = render.objectOrder[i] & 0xFFFF;
            if (entry >= static_cast<u32>(world.objectCount)) continue;
            const i16 object = static_cast<i16>(entry);
            if (frame.stereoFlag == 0) {
                RasterizeObject(world, render, frame, object);
            } else if (frame.stereoFlag == 1) {
                RasterizeObjectStereo(world, render, frame, object);
            }
        }
        if (dc && frame.bitmapHeader) {
            const i32 stretch = stretchFactor(displayScale);
            DrawDibDraw(frame.drawDib, dc, 0, 0, width * stretch, height * stretch,
                        frame.bitmapHeader, frame.frameBuffer, 0, 0, width, height, 0);
        }
        RestoreWorld(world, render);
    }
    PluginFree(render.rightDepthBuffer);
    render.rightDepthBuffer = nullptr;
    releaseShadowMaps(render);
}
