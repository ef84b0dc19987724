// Hidden marks and the front-to-back order of objects and faces.
#include "render/faces.h"

#include "memory/memory.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr f32 kNoKey = std::numeric_limits<f32>::max(); // sorts after every real depth

// Object key: its nearest vertex. An object without vertices goes last.
f32 nearestVertex(const World& world, const ObjectRecord& object)
{
    const RowRange vertices = ObjectVertices(world, object);
    if (vertices.count == 0) return kNoKey;
    f32 nearest = world.vertexZ[vertices.first];
    for (u32 v = vertices.first + 1; v < vertices.first + vertices.count; ++v)
        if (world.vertexZ[v] < nearest) nearest = world.vertexZ[v];
    return nearest;
}

// Face key (nearest corner) and the hidden mark for a face wholly behind the eye.
// A depth of -0.0 is not negative, so a face lying in the eye plane stays drawn.
f32 keyAndMark(World& world, FaceRecord& face)
{
    if (face.flags == kFaceHidden) return kNoKey; // bad corners, marked by the normals
    const u32* corners = world.faceIndices + face.firstIndex;
    f32 nearest = world.vertexZ[corners[0]];
    f32 farthest = nearest;
    for (i16 k = 1; k < face.vertexCount; ++k) {
        const f32 depth = world.vertexZ[corners[k]];
        if (depth < nearest) nearest = depth;
        if (depth > farthest) farthest = depth;
    }
    if (farthest < 0.0f) face.flags = kFaceHidden;
    return nearest;
}

// Each position takes every later entry whose key is strictly smaller than the one it
// holds now: the swaps, not only the minimum, decide the order of equal keys.
void selectionSort(u32* order, f32* keys, u32 count)
{
    for (u32 i = 0; i + 1 < count; ++i) {
        for (u32 j = i + 1; j < count; ++j) {
            if (keys[j] < keys[i]) {
                std::swap(keys[i], keys[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
}

// Gaps n/2, n/4, ... 1; within a gap an entry moves down while the entry a gap
// earlier has a strictly greater key.
void shellSort(u32* order, const f32* faceKeys, u32 count)
{
    for (u32 gap = count / 2; gap > 0; gap /= 2) {
        for (u32 i = gap; i < count; ++i) {
            const u32 entry = order[i];
            const f32 key = faceKeys[entry];
            u32 j = i;
            while (j >= gap && faceKeys[order[j - gap]] > key) {
                order[j] = order[j - gap];
                j -= gap;
            }
            order[j] = entry;
        }
    }
}

struct KeyedFace {
    f32 key;
    u32 face;
};

// The same Shell sort, moving each key with its face so the comparisons read memory
// in order instead of looking every key up: the same moves, the same order.
void shellSortKeyed(KeyedFace* faces, u32 count)
{
    for (u32 gap = count / 2; gap > 0; gap /= 2) {
        for (u32 i = gap; i < count; ++i) {
            const KeyedFace entry = faces[i];
            u32 j = i;
            while (j >= gap && faces[j - gap].key > entry.key) {
                faces[j] = faces[j - gap];
                j -= gap;
            }
            faces[j] = entry;
        }
    }
}

// Sorts one object's block of the face order, keyed when room for the pairs is there.
void sortFaces(u32* order, const f32* faceKeys, u32 count, KeyedFace* keyed)
{
    if (!keyed) {
        shellSort(order, faceKeys, count);
        return;
    }
    for (u32 i = 0; i < count; ++i) keyed[i] = KeyedFace{faceKeys[order[i]], order[i]};
    shellSortKeyed(keyed, count);
    for (u32 i = 0; i < count; ++i) order[i] = keyed[i].face;
}

} // namespace

bool SortObjectsAndFaces(World& world, RenderState& render)
{
    const u32 objectCount = world.objectCount > 0 ? static_cast<u32>(world.objectCount) : 0;
    f32* objectKeys = static_cast<f32*>(PluginAllocArray(objectCount + 1u, sizeof(f32)));
    f32* faceKeys = static_cast<f32*>(PluginAllocArray(u64{world.faceCount} + 1u, sizeof(f32)));
    const bool sorting = objectKeys && faceKeys;

    for (u32 f = 0; f < world.faceCount; ++f) render.faceOrder[f] = f;
    for (u32 o = 0; o < objectCount; ++o) {
        const ObjectRecord& object = world.objects[o];
        render.objectOrder[o] = o;
        if (sorting) objectKeys[o] = nearestVertex(world, object);
        const RowRange faces = ObjectFaces(world, object);
        for (u32 f = faces.first; f < faces.first + faces.count; ++f) {
            const f32 key = keyAndMark(world, world.faces[f]);
            if (sorting) faceKeys[f] = key;
        }
    }

    if (sorting) {
        selectionSort(render.objectOrder, objectKeys, objectCount);
        // The keyed sort's pairs, for the largest object; without them (memory, or
        // the plain path) the faces sort through the key table.
        u32 largest = 0;
        for (u32 o = 0; o < objectCount; ++o)
            largest = std::max(largest, ObjectFaces(world, world.objects[o]).count);
        KeyedFace* keyed = nullptr;
        if (!render.referencePath)
            keyed = static_cast<KeyedFace*>(PluginAllocArray(largest, sizeof(KeyedFace)));
        for (u32 o = 0; o < objectCount; ++o) {
            const ObjectRecord& object = world.objects[o];
            const RowRange faces = ObjectFaces(world, object);
            if (object.tag == 11 || faces.count < 2) continue; // tag 11 keeps table order
            sortFaces(render.faceOrder + faces.first, faceKeys, faces.count, keyed);
        }
        PluginFree(keyed);
    }
    PluginFree(objectKeys);
    PluginFree(faceKeys);
    return sorting;
}
