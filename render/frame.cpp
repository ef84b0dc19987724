// The Viewer's frame: its buffers, and the frame itself from the background to the
// finished frame buffer (the Viewer presents it).
#include "render/buffers.h"
#include "render/camera.h"
#include "render/prepare.h"
#include "render/raster.h"
#include "render/shadow.h"
#include "render/workers.h"

#include "memory/memory.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

constexpr u32 kPixelBytes = 4;

u64 pixelCount(i16 width, i16 height)
{
    return u64{static_cast<u32>(std::max<i16>(width, 0))} *
           static_cast<u32>(std::max<i16>(height, 0));
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
    // The blocks exist, so their sizes fit a size_t on a 32-bit system too.
    std::memset(buffers.frame, 0, static_cast<std::size_t>(pixels * kPixelBytes));
    std::memset(buffers.background, 0, static_cast<std::size_t>(pixels * kPixelBytes));
    std::memset(static_cast<void*>(buffers.depth), 0,
                static_cast<std::size_t>(pixels * sizeof(DepthRecord)));
    return true;
}

void copyPrefix(void* to, const void* from, u64 newBytes, u64 oldBytes)
{
    // Both blocks exist, so the smaller size fits a size_t on a 32-bit system too.
    if (to && from) std::memcpy(to, from, static_cast<std::size_t>(std::min(newBytes, oldBytes)));
}

// Bands for this frame: one for each thread asked for (each processor by default), at
// most one for each row of depth blocks; 1 on the plain path.
u32 frameBands(const RenderState& render, const FrameState& frame)
{
    if (render.referencePath) return 1;
    const u32 threads = render.frameThreads == 0 ? CoreCount() : render.frameThreads;
    const u32 blockRows =
        static_cast<u32>((frame.renderHeight + kDepthTileSide - 1) / kDepthTileSide);
    return std::min({threads, blockRows, kMostBands});
}

// The rows of band `band`: the image cut into runs of whole rows of depth blocks, so no
// block is shared by two bands.
void bandRows(i32 height, u32 bands, u32 band, i32& first, i32& last)
{
    const u32 blockRows = static_cast<u32>((height + kDepthTileSide - 1) / kDepthTileSide);
    first = static_cast<i32>(blockRows * band / bands) * kDepthTileSide;
    last = std::min(static_cast<i32>(blockRows * (band + 1) / bands) * kDepthTileSide, height) - 1;
}

struct BandedFrame {
    const World* world;
    RenderState* render;
    FrameState* frame;
    u32 bands;
};

// One band: its rows of the background and of the empty depth buffer, then every object
// in drawing order, cut to its rows. The bands touch disjoint rows and blocks.
void drawBand(void* context, u32 band)
{
    const BandedFrame& job = *static_cast<const BandedFrame*>(context);
    RenderState& render = *job.render;
    FrameState& frame = *job.frame;
    const World& world = *job.world;
    const i32 width = frame.renderWidth, height = frame.renderHeight;
    i32 first = 0, last = 0;
    bandRows(height, job.bands, band, first, last);
    if (first > last) return;
    const u64 rows = static_cast<u64>(last - first + 1);
    // Frame rows are stored bottom-up: the band's rows end at stored row height - 1 - first.
    const u64 stored = static_cast<u64>(height - 1 - last) * static_cast<u32>(width) * kPixelBytes;
    std::memcpy(frame.frameBuffer + stored, frame.backgroundBuffer + stored,
                static_cast<size_t>(rows * static_cast<u32>(width) * kPixelBytes));
    std::memset(
        static_cast<void*>(frame.depthBuffer + static_cast<u64>(first) * static_cast<u32>(width)),
        0, static_cast<size_t>(rows * static_cast<u32>(width) * sizeof(DepthRecord)));
    const FaceScratch scratch = BandScratch(render, band);
    for (i16 i = 0; i < world.objectCount; ++i) {
        const u32 entry = render.objectOrder[i] & 0xFFFF;
        assert(entry < static_cast<u32>(world.objectCount)); // the sort's own order
        RasterizeObjectRows(world, render, frame, static_cast<i16>(entry), first, last, scratch);
    }
}

// The whole frame on the calling thread, as before there were bands.
void drawWhole(World& world, RenderState& render, FrameState& frame, u64 pixels)
{
    // The buffers were allocated at these sizes, so the counts fit a size_t.
    std::memcpy(frame.frameBuffer, frame.backgroundBuffer,
                static_cast<size_t>(pixels * kPixelBytes));
    std::memset(static_cast<void*>(frame.depthBuffer), 0,
                static_cast<size_t>(pixels * sizeof(DepthRecord)));
    for (i16 i = 0; i < world.objectCount; ++i) {
        const u32 entry = render.objectOrder[i] & 0xFFFF;
        assert(entry < static_cast<u32>(world.objectCount)); // the sort's own order
        const i16 object = static_cast<i16>(entry);
        if (frame.stereoFlag == 0) {
            RasterizeObject(world, render, frame, object);
        } else if (frame.stereoFlag == 1) {
            RasterizeObjectStereo(world, render, frame, object);
        }
    }
}

} // namespace

bool CreateFrameBuffers(FrameState& frame, i16 width, i16 height)
{
    FreeFrameBuffers(frame);
    width = std::max<i16>(width, 0);
    height = std::max<i16>(height, 0);
    PixelBuffers buffers;
    if (!allocateBuffers(pixelCount(width, height), buffers)) return false;
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
    // New blocks first: when one cannot be had, the frame keeps its old size whole.
    const u64 oldPixels = frame.frameBuffer ? pixelCount(frame.renderWidth, frame.renderHeight) : 0;
    const u64 newPixels = pixelCount(width, height);
    PixelBuffers buffers;
    if (!allocateBuffers(newPixels, buffers)) return false;
    copyPrefix(buffers.frame, frame.frameBuffer, newPixels * kPixelBytes, oldPixels * kPixelBytes);
    copyPrefix(buffers.background, frame.backgroundBuffer, newPixels * kPixelBytes,
               oldPixels * kPixelBytes);
    PluginFree(frame.frameBuffer);
    PluginFree(frame.backgroundBuffer);
    PluginFree(frame.depthBuffer);
    frame.frameBuffer = buffers.frame;
    frame.backgroundBuffer = buffers.background;
    frame.depthBuffer = buffers.depth;
    frame.renderWidth = width;
    frame.renderHeight = height;
    PrepareBackground(world, frame);
    return true;
}

void FreeFrameBuffers(FrameState& frame)
{
    PluginFree(frame.frameBuffer);
    frame.frameBuffer = nullptr;
    PluginFree(frame.backgroundBuffer);
    frame.backgroundBuffer = nullptr;
    PluginFree(frame.depthBuffer);
    frame.depthBuffer = nullptr;
}

bool RenderFrame(World& world, RenderState& render, FrameState& frame)
{
    const i32 width = frame.renderWidth;
    const i32 height = frame.renderHeight;
    if (width <= 0 || height <= 0) return false; // nothing to draw, nothing to divide by
    if (!frame.frameBuffer || !frame.backgroundBuffer || !frame.depthBuffer) return false;
    // The buffers of this many pixels exist, so their sizes fit a size_t.
    const auto pixels = static_cast<std::size_t>(pixelCount(frame.renderWidth, frame.renderHeight));

    // The threads share the preparation's passes too.
    u32 bands = frameBands(render, frame);
    if (bands > 1) bands = StartFrameWorkers(render, bands);
    render.frameParts = bands;
    const bool composed = PrepareFrame(world, render, frame);
    if (composed) {
        // Bands need the drawing order, and their own buffers for every thread but this.
        if (bands > 1 &&
            !(frame.stereoFlag <= 1 && render.drawOrderReady && EnsureBandScratch(render, bands)))
            bands = 1;
        if (bands > 1) {
            BandedFrame job{&world, &render, &frame, bands};
            RunBands(render, bands, drawBand, &job);
        } else {
            drawWhole(world, render, frame, pixels);
        }
        RestoreWorld(world, render);
    } else {
        std::memcpy(frame.frameBuffer, frame.backgroundBuffer, pixels * kPixelBytes);
    }
    render.frameParts = 1;
    PluginFree(render.rightDepthBuffer);
    render.rightDepthBuffer = nullptr;
    ReleaseShadowMaps(render);
    return composed;
}
