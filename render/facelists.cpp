// The faces that use each vertex, for smooth shading: built once per world.
#include "render/buffers.h"

#include "memory/memory.h"
#include "render/faces.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr u32 kMostFacesPerVertex = 0xFFFF; // a list head counts in 16 bits

template <class Visit>
void forEachOwnCorner(const World& world, const ObjectRecord& object, Visit visit)
{
    const RowRange vertices = ObjectVertices(world, object);
    const RowRange faces = ObjectFaces(world, object);
    for (u32 f = faces.first; f < faces.first + faces.count; ++f) {
        const FaceRecord& face = world.faces[f];
        if (!FaceCornersValid(world, face)) continue; // such a face is never drawn
        const u32* corners = world.faceIndices + face.firstIndex;
        for (i16 k = 0; k < face.vertexCount; ++k) {
            const u32 v = corners[k];
            // Only the object's own vertices: a face that borrows another object's
            // vertices does not smooth them.
            if (v >= vertices.first && v - vertices.first < vertices.count) visit(f, v);
        }
    }
}

u64 countEntries(const World& world)
{
    u64 entries = 0;
    for (i16 o = 0; o < world.objectCount; ++o)
        forEachOwnCorner(world, world.objects[o], [&](u32, u32) { ++entries; });
    return entries;
}

bool growLists(RenderState& render, u64 entries)
{
    entries = std::max<u64>(entries, 1);
    if (render.vertexFaceLists && render.vertexFaceListCapacity >= entries) return true;
    if (entries > UINT32_MAX) return false;
    u32* lists = static_cast<u32*>(PluginAllocArray(entries, sizeof(u32)));
    if (!lists) return false;
    PluginFree(render.vertexFaceLists);
    render.vertexFaceLists = lists;
    render.vertexFaceListCapacity = static_cast<u32>(entries);
    return true;
}

void clearHeads(RenderState& render)
{
    if (!render.vertexFaceCounts || !render.vertexFaceStarts) return;
    std::memset(render.vertexFaceCounts, 0, sizeof(u16) * render.vertexFaceHeadCapacity);
    std::memset(render.vertexFaceStarts, 0, sizeof(u32) * render.vertexFaceHeadCapacity);
}

} // namespace

void BuildVertexFaceLists(const World& world, RenderState& render)
{
    render.derivedTablesBuilt = true;
    clearHeads(render);
    if (!render.vertexFaceCounts || !render.vertexFaceStarts ||
        render.vertexFaceHeadCapacity < world.vertexCount)
        return; // no heads: every list stays empty and faces shade flat
    const u32 scratchNeeded = [&] {
        u32 largest = 0;
        for (i16 o = 0; o < world.objectCount; ++o)
            largest = std::max(largest, ObjectVertices(world, world.objects[o]).count);
        return largest;
    }();
    if (!render.faceScratch || render.faceScratchCapacity < scratchNeeded) return;
    if (!growLists(render, countEntries(world))) return;

    // Each vertex's list holds its object's faces in table order, a face once for each
    // of its corners at that vertex; lists follow each other in the order the vertices
    // are visited, object by object.
    u32* perVertex = render.faceScratch;
    u32 nextStart = 0;
    for (i16 o = 0; o < world.objectCount; ++o) {
        const ObjectRecord& object = world.objects[o];
        const RowRange vertices = ObjectVertices(world, object);
        std::fill(perVertex, perVertex + vertices.count, 0u);
        forEachOwnCorner(world, object, [&](u32, u32 v) { ++perVertex[v - vertices.first]; });
        for (u32 local = 0; local < vertices.count; ++local) {
            const u32 v = vertices.first + local;
            const u32 count = std::min(perVertex[local], kMostFacesPerVertex);
            render.vertexFaceStarts[v] = nextStart;
            render.vertexFaceCounts[v] = static_cast<u16>(count); // at most 0xFFFF
            nextStart += count;
            perVertex[local] = 0; // from here on: entries filled so far
        }
        forEachOwnCorner(world, object, [&](u32 f, u32 v) {
            u32& filled = perVertex[v - vertices.first];
            if (filled >= render.vertexFaceCounts[v]) return;
            render.vertexFaceLists[render.vertexFaceStarts[v] + filled] = f;
            ++filled;
        });
    }
}
