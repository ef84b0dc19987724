// Hidden marks and the front-to-back order of objects and faces.
#include "render/faces.h"

#include "memory/memory.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

// True when face a is drawn after face b: a farther key, or an equal one and a later row.
inline bool drawnAfter(const f32* faceKeys, u32 a, u32 b)
{
    const u32 keyA = OrderedDepthKey(faceKeys[a]);
    const u32 keyB = OrderedDepthKey(faceKeys[b]);
    return keyA > keyB || (keyA == keyB && a > b);
}

// Gaps n/2, n/4, ... 1; within a gap an entry moves down while the entry a gap earlier
// is drawn after it. Key and row together order every pair, so the result is the one
// sorted order whatever the gaps.
void shellSort(u32* order, const f32* faceKeys, u32 count)
{
    for (u32 gap = count / 2; gap > 0; gap /= 2) {
        for (u32 i = gap; i < count; ++i) {
            const u32 entry = order[i];
            u32 j = i;
            while (j >= gap && drawnAfter(faceKeys, order[j - gap], entry)) {
                order[j] = order[j - gap];
                j -= gap;
            }
            order[j] = entry;
        }
    }
}

// Room for `count` keys in a table kept from frame to frame.
f32* keyRoom(f32*& keys, u32& capacity, u64 count)
{
    count = std::max<u64>(count, 1);
    if (keys && capacity >= count) return keys;
    f32* block = static_cast<f32*>(PluginAllocArray(count, sizeof(f32)));
    if (!block) return nullptr;
    PluginFree(keys);
    keys = block;
    capacity = static_cast<u32>(count);
    return keys;
}

constexpr u32 kDigitBits = 11;
constexpr u32 kDigitValues = 1u << kDigitBits;
constexpr u32 kDigitPasses = 3; // 33 bits cover the 32 of a key
// Short runs are sorted in place: a radix pass costs its histogram whatever the count.
constexpr u32 kShortRun = 48;

void insertionSort(DrawFace* faces, u32 count)
{
    for (u32 i = 1; i < count; ++i) {
        const DrawFace entry = faces[i];
        u32 j = i;
        while (j > 0 && faces[j - 1].key > entry.key) {
            faces[j] = faces[j - 1];
            --j;
        }
        faces[j] = entry;
    }
}

} // namespace

void SortDrawFaces(DrawFace* faces, DrawFace* spare, u32 count)
{
    if (count <= kShortRun) {
        insertionSort(faces, count);
        return;
    }
    // A stable radix sort, least significant digit first: every pass keeps the order
    // of equal digits, so equal keys keep the order they came in.
    u32 histogram[kDigitPasses][kDigitValues];
    std::memset(histogram, 0, sizeof histogram);
    for (u32 i = 0; i < count; ++i) {
        const u32 key = faces[i].key;
        for (u32 pass = 0; pass < kDigitPasses; ++pass)
            ++histogram[pass][(key >> (pass * kDigitBits)) & (kDigitValues - 1)];
    }
    DrawFace* from = faces;
    DrawFace* to = spare;
    for (u32 pass = 0; pass < kDigitPasses; ++pass) {
        const u32 shift = pass * kDigitBits;
        u32* offsets = histogram[pass];
        // A digit every key shares moves nothing.
        if (offsets[(from[0].key >> shift) & (kDigitValues - 1)] == count) continue;
        u32 sum = 0;
        for (u32 d = 0; d < kDigitValues; ++d) {
            const u32 held = offsets[d];
            offsets[d] = sum;
            sum += held;
        }
        for (u32 i = 0; i < count; ++i)
            to[offsets[(from[i].key >> shift) & (kDigitValues - 1)]++] = from[i];
        std::swap(from, to);
    }
    if (from != faces) std::memcpy(faces, from, sizeof(DrawFace) * count);
}

bool SortObjectsAndFaces(World& world, RenderState& render)
{
    const u32 objectCount = world.objectCount > 0 ? static_cast<u32>(world.objectCount) : 0;
    f32* objectKeys = keyRoom(render.objectKeys, render.objectKeyCapacity, objectCount);
    f32* faceKeys = keyRoom(render.faceKeys, render.faceKeyCapacity, world.faceCount);
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
    if (!sorting) return false;
    selectionSort(render.objectOrder, objectKeys, objectCount);
    for (u32 o = 0; o < objectCount; ++o) {
        const ObjectRecord& object = world.objects[o];
        const RowRange faces = ObjectFaces(world, object);
        if (object.tag == 11 || faces.count < 2) continue; // tag 11 keeps table order
        shellSort(render.faceOrder + faces.first, faceKeys, faces.count);
    }
    return true;
}
