// Allocation, growth and release of the working buffers.
#include "render/buffers.h"

#include "memory/memory.h"
#include "render/faces.h"
#include "render/lighting.h"
#include "render/shadow.h"
#include "render/workers.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr u32 kMinimumScratch = 256;

template <class T> void release(T*& buffer)
{
    PluginFree(buffer);
    buffer = nullptr;
}

// Gives `buffer` room for `count` elements (at least one), zero-filled when new unless
// `unfilled`. True when it already had the room or got it; on failure the old buffer
// stays.
template <class T>
bool fit(T*& buffer, u32& capacity, u64 count, bool& allocated, bool unfilled = false)
{
    count = std::max<u64>(count, 1);
    if (buffer && capacity >= count) return true;
    if (count > UINT32_MAX) return false;
    T* block = static_cast<T*>(PluginAllocArray(count, sizeof(T)));
    if (!block) return false;
    if (!unfilled)
        std::memset(static_cast<void*>(block), 0, static_cast<std::size_t>(count * sizeof(T)));
    PluginFree(buffer);
    buffer = block;
    capacity = static_cast<u32>(count);
    allocated = true;
    return true;
}

// The largest face of the world, in corners.
u32 largestFace(const World& world)
{
    i32 largest = 0;
    for (u32 f = 0; f < world.faceCount; ++f)
        largest = std::max<i32>(largest, world.faces[f].vertexCount);
    return static_cast<u32>(largest);
}

u32 largestObject(const World& world)
{
    u32 largest = 0;
    for (i16 o = 0; o < world.objectCount; ++o)
        largest = std::max(largest, world.objects[o].vertexCount);
    return std::min(largest, world.vertexCount);
}

void releaseScratch(FaceScratch& scratch)
{
    release(scratch.polygon);
    release(scratch.colours);
    release(scratch.reflections);
    release(scratch.slotNext);
    release(scratch.slotValid);
    release(scratch.contourEnds);
    release(scratch.slotValues);
    release(scratch.crossingValues);
    release(scratch.crossingOrder);
    scratch.capacity = 0;
}

bool allocateScratch(FaceScratch& scratch, u32 room)
{
    bool unused = false;
    u32 capacity = 0;
    const u64 values = u64{room} * kMaxScanValues;
    const bool ok = fit(scratch.polygon, capacity = 0, room, unused) &&
                    fit(scratch.colours, capacity = 0, room, unused) &&
                    fit(scratch.reflections, capacity = 0, room, unused) &&
                    fit(scratch.slotNext, capacity = 0, room, unused) &&
                    fit(scratch.slotValid, capacity = 0, room, unused) &&
                    fit(scratch.contourEnds, capacity = 0, room, unused) &&
                    fit(scratch.slotValues, capacity = 0, values, unused) &&
                    fit(scratch.crossingValues, capacity = 0, values, unused) &&
                    fit(scratch.crossingOrder, capacity = 0, room, unused);
    if (!ok) releaseScratch(scratch);
    scratch.capacity = ok ? room : 0;
    return ok;
}

// The per-face buffers are replaced as one set, so the shared capacity is true of every
// one of them; when a new set cannot be had, the old one stays.
bool fitCornerBuffers(RenderState& render, u32 corners, bool& allocated)
{
    const u32 room = std::max(corners, kMinimumCornerRoom);
    if (render.corners.capacity >= room) return true;
    FaceScratch fresh;
    if (!allocateScratch(fresh, room)) return false;
    std::swap(render.corners, fresh);
    releaseScratch(fresh);
    allocated = true;
    return true;
}

} // namespace

bool EnsureWorldBuffers(const World& world, RenderState& render, bool stereo, bool& allocated)
{
    const bool worldChanged = render.sizedObjectCount != world.objectCount ||
                              render.sizedVertexCount != world.vertexCount ||
                              render.sizedFaceCount != world.faceCount ||
                              render.sizedFaceIndexCount != world.faceIndexCount;
    if (worldChanged) {
        render.largestFace = largestFace(world);
        // The face lists describe the old world; they are built again.
        render.derivedTablesBuilt = false;
    }
    const u32 objects = world.objectCount > 0 ? static_cast<u32>(world.objectCount) : 0;
    bool ok = fit(render.objectOrder, render.objectOrderCapacity, objects, allocated) &&
              fit(render.faceOrder, render.faceOrderCapacity, world.faceCount, allocated) &&
              fitCornerBuffers(render, render.largestFace, allocated) &&
              fit(render.projected, render.projectedCapacity, world.vertexCount, allocated) &&
              fit(render.faceScratch, render.faceScratchCapacity,
                  std::max(largestObject(world), kMinimumScratch), allocated);
    // The face lists themselves are sized by BuildVertexFaceLists, which counts them.
    if (ok && !render.vertexFaceLists)
        ok = fit(render.vertexFaceLists, render.vertexFaceListCapacity, 1, allocated);
    if (ok && (!render.vertexFaceCounts || !render.vertexFaceStarts ||
               render.vertexFaceHeadCapacity < std::max<u32>(world.vertexCount, 1))) {
        u32 countCapacity = render.vertexFaceHeadCapacity;
        u32 startCapacity = render.vertexFaceHeadCapacity;
        if (!render.vertexFaceCounts) countCapacity = 0;
        if (!render.vertexFaceStarts) startCapacity = 0;
        ok = fit(render.vertexFaceCounts, countCapacity, world.vertexCount, allocated) &&
             fit(render.vertexFaceStarts, startCapacity, world.vertexCount, allocated);
        render.vertexFaceHeadCapacity = ok ? std::min(countCapacity, startCapacity) : 0;
    }
    // The fast path's drawing order and the object keys (the face keys of the plain
    // path's sort come with its first sort).
    if (ok && !render.referencePath) {
        const u32 room = DrawFaceRoom(world);
        u32 sortingCapacity = render.drawFaceCapacity;
        if (!render.drawSorting) sortingCapacity = 0;
        // Left unfilled: a frame writes every entry it reads, and it reaches only the
        // faces it keeps (about half of them face away), so the rest of a large world's
        // rows never take memory.
        ok = fit(render.drawFaces, render.drawFaceCapacity, room, allocated, true) &&
             fit(render.drawSorting, sortingCapacity, room, allocated, true);
        render.drawFaceCapacity = ok ? std::min(render.drawFaceCapacity, sortingCapacity) : 0;
        u32 countCapacity = render.drawObjectCapacity;
        if (!render.drawCount) countCapacity = 0;
        ok = ok && fit(render.drawFirst, render.drawObjectCapacity, objects, allocated) &&
             fit(render.drawCount, countCapacity, objects, allocated);
        render.drawObjectCapacity = ok ? std::min(render.drawObjectCapacity, countCapacity) : 0;
    }
    if (ok) ok = fit(render.objectKeys, render.objectKeyCapacity, objects, allocated);
    if (ok && stereo) ok = EnsureRightEyeTable(world, render);
    if (!ok) return false;
    render.sizedObjectCount = world.objectCount;
    render.sizedVertexCount = world.vertexCount;
    render.sizedFaceCount = world.faceCount;
    render.sizedFaceIndexCount = world.faceIndexCount;
    if (allocated) render.derivedTablesBuilt = false;
    return true;
}

bool AllocateWorldBuffers(const World& world, RenderState& render)
{
    bool allocated = false;
    return EnsureWorldBuffers(world, render, false, allocated);
}

bool EnsureRightEyeTable(const World& world, RenderState& render)
{
    bool allocated = false;
    return fit(render.projectedRight, render.projectedRightCapacity, world.vertexCount, allocated);
}

bool EnsureShadowTables(const World& world, RenderState& render)
{
    bool allocated = false;
    if (!render.shadowDescriptors) {
        u32 capacity = 0;
        if (!fit(render.shadowDescriptors, capacity, kMaxShadowLights, allocated)) return false;
    }
    const u64 floats = u64{world.faceIndexCount} * 3u * ShadowLightsFor(world);
    return fit(render.lightCoordinates, render.lightCoordinateCapacity, floats, allocated);
}

namespace {

bool resetTiles(DepthTiles& tiles, const FrameState& frame)
{
    const i32 columns = (frame.renderWidth + kDepthTileSide - 1) >> kDepthTileShift;
    const i32 rows = (frame.renderHeight + kDepthTileSide - 1) >> kDepthTileShift;
    const u64 count = u64{static_cast<u32>(columns)} * static_cast<u32>(rows);
    bool allocated = false;
    u32 knownCapacity = tiles.known ? tiles.capacity : 0;
    if (!fit(tiles.farthest, tiles.capacity, count, allocated) ||
        !fit(tiles.known, knownCapacity, count, allocated)) {
        tiles.capacity = 0;
        return false;
    }
    tiles.capacity = std::min(tiles.capacity, knownCapacity);
    tiles.columns = columns;
    tiles.rows = rows;
    std::memset(tiles.known, 0, static_cast<std::size_t>(count)); // an empty depth buffer
    return true;
}

void releaseTiles(DepthTiles& tiles)
{
    release(tiles.farthest);
    release(tiles.known);
    tiles = DepthTiles{};
}

void releaseBandScratch(RenderState& render)
{
    for (u32 b = 0; b < render.bandScratchCount; ++b) releaseScratch(render.bandScratch[b]);
    release(render.bandScratch);
    render.bandScratchCount = 0;
}

} // namespace

bool EnsureBandScratch(RenderState& render, u32 bands)
{
    const u32 extra = bands > 0 ? bands - 1 : 0;
    bool fits = render.bandScratch && render.bandScratchCount >= extra;
    for (u32 b = 0; fits && b < extra; ++b)
        fits = render.bandScratch[b].capacity >= render.corners.capacity;
    if (fits) return true;
    releaseBandScratch(render);
    if (extra == 0) return true;
    auto* sets = static_cast<FaceScratch*>(PluginAllocArray(extra, sizeof(FaceScratch)));
    if (!sets) return false;
    for (u32 b = 0; b < extra; ++b) sets[b] = FaceScratch{};
    render.bandScratch = sets;
    render.bandScratchCount = extra;
    for (u32 b = 0; b < extra; ++b) {
        if (!allocateScratch(sets[b], render.corners.capacity)) {
            releaseBandScratch(render);
            return false;
        }
    }
    return true;
}

bool ResetDepthTiles(RenderState& render, const FrameState& frame, bool stereo)
{
    return resetTiles(render.depthTiles[0], frame) &&
           (!stereo || resetTiles(render.depthTiles[1], frame));
}

void FreeShadowTables(RenderState& render)
{
    release(render.shadowDescriptors);
    release(render.lightCoordinates);
    render.lightCoordinateCapacity = 0;
    render.shadowLightCount = 0;
}

void FreeWorldBuffers(RenderState& render)
{
    release(render.objectOrder);
    release(render.faceOrder);
    release(render.projected);
    release(render.projectedRight);
    releaseScratch(render.corners);
    release(render.faceScratch);
    release(render.vertexFaceLists);
    release(render.vertexFaceCounts);
    release(render.vertexFaceStarts);
    release(render.objectKeys);
    release(render.faceKeys);
    release(render.drawFaces);
    release(render.drawSorting);
    release(render.drawFirst);
    release(render.drawCount);
    release(render.preparedLights);
    StopFrameWorkers(render);
    releaseBandScratch(render);
    releaseTiles(render.depthTiles[0]);
    releaseTiles(render.depthTiles[1]);
    FreeShadowTables(render);
    ReleaseShadowMaps(render);
    release(render.rightDepthBuffer);
    // The options outlive the buffers: a second world keeps reflection as it was.
    const u16 reflectionFlag = render.reflectionFlag;
    const bool referencePath = render.referencePath;
    const u32 frameThreads = render.frameThreads;
    render = RenderState{};
    render.reflectionFlag = reflectionFlag;
    render.referencePath = referencePath;
    render.frameThreads = frameThreads;
}
