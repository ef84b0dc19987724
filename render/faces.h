// render/faces.h - per-frame face data: unit normals, hidden marks, and the drawing
// order of objects and faces (nearest first).
//
// Reads: the World's objects, faces, faceIndices and vertices (in whatever frame the
// vertices stand: view coordinates for the picture, a light's frame for its shadow map).
// Writes: each face's flags and normal; RenderState's objectOrder and faceOrder, or
// (the fast path) its drawing order.
// Entry points: ObjectVertices, ObjectFaces, FaceCornersValid, ComputeFaceNormals,
//               ComputeFaceNormal, SortObjectsAndFaces, OrderedDepthKey, SortDrawFaces,
//               BuildDrawOrder.
// Order of faces: ascending by nearest corner; faces with exactly equal keys keep their
// table order, so the order does not depend on how the sort moves them.
// Failure: a face with no corners, or with a corner outside faceIndices or naming a
// vertex the world does not have, gets the hidden mark and is never drawn.
#pragma once

#include "render/render.h"

#include <algorithm>
#include <bit>
#include <cmath>

constexpr u16 kFaceHidden = 0xFFFF;

// A run of rows of one table: the first row (0-based) and how many.
struct RowRange {
    u32 first;
    u32 count;
};

// An object's vertices and faces, cut to the rows the world actually has.
RowRange ObjectVertices(const World& world, const ObjectRecord& object);
RowRange ObjectFaces(const World& world, const ObjectRecord& object);

// True when the face has at least one corner and every corner names a vertex.
inline bool FaceCornersValid(const World& world, const FaceRecord& face)
{
    if (face.vertexCount <= 0) return false;
    const u64 end = static_cast<u64>(face.firstIndex) + static_cast<u64>(face.vertexCount);
    if (end > world.faceIndexCount) return false;
    const u32* corner = world.faceIndices + face.firstIndex;
    bool named = true;
    for (i16 k = 0; k < face.vertexCount; ++k) named = named & (corner[k] < world.vertexCount);
    return named;
}

// Clears each face's hidden mark (or sets it for a face with bad corners) and stores
// its unit normal: the first corner triple whose cross product is longer than 100.0,
// else the triple with the longest cross product, else (a face without extent, or whose
// products are not finite) (1, 1, 1) / sqrt(3).
void ComputeFaceNormals(World& world, i16 object);
// The same for one face whose corners are known to be valid: flags 0 and its normal.
inline void ComputeFaceNormal(const World& world, FaceRecord& face);

// Hidden marks for faces wholly behind the eye, objects by their nearest vertex
// (selection sort), and each object's faces by their nearest corner (Shell sort;
// table order for tag 11 and single faces). False when the sort keys could not be
// had: the orders are then table order, the hidden marks still set.
bool SortObjectsAndFaces(World& world, RenderState& render);

// A depth as an unsigned integer that orders as the depth does: -0 and +0 are one key
// (they compare equal), and every value, a NaN too, has its place.
inline u32 OrderedDepthKey(f32 depth)
{
    if (depth == 0.0f) depth = 0.0f;
    const u32 bits = std::bit_cast<u32>(depth);
    return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

// Whether a projected corner has a defined place: no NaN in its screen position or
// depth. A face with an undefined corner is never drawn, in the image or in a map.
inline bool CornerDefined(const ProjectedVertex& corner)
{
    return (corner.screenX == corner.screenX) & (corner.screenY == corner.screenY) &
           (corner.depth == corner.depth);
}

// DrawFace::hiddenBelow for a face whose corner depths lie from nearest to farthest.
inline f32 HiddenBelow(f32 nearest, f32 farthest)
{
    return nearest - 1.0e-3f * std::max(std::fabs(nearest), std::fabs(farthest));
}

// Sorts `count` faces by key, equal keys keeping the order they came in; `spare` has
// room for as many.
void SortDrawFaces(DrawFace* faces, DrawFace* spare, u32 count);

// The fast path's preparation of faces, with the same normals, hidden marks and object
// order as ComputeFaceNormals and SortObjectsAndFaces: then, for each object, the faces
// that can write a pixel of the frame (not behind the eye, no corner undefined, an edge
// crossing a row and a column boundary inside the image for one eye at least), in
// drawing order. Needs the projected tables of this frame. False when its buffers
// are missing.
bool BuildDrawOrder(World& world, RenderState& render, const FrameState& frame);
// Room the drawing order needs: the rows of every object (more than faceCount only where
// a broken world's objects share rows), at most UINT32_MAX.
u32 DrawFaceRoom(const World& world);

// --- One face's normal ------------------------------------------------------------------

// World coordinates are large (5000 a file unit), so a cross product of 100.0 or less is
// passed over while a longer one may follow; a face whose products are all that short
// takes its longest.
constexpr f32 kSmallestNormal = 100.0f;
constexpr f32 kInverseRootThree = 0.57735026f;

inline void StoreFallbackNormal(FaceRecord& face)
{
    face.normal[0] = face.normal[1] = face.normal[2] = kInverseRootThree;
}

// The unit normal of a face whose corners are valid.
inline void FaceNormalOf(const World& world, const FaceRecord& face, f32 out[3])
{
    const f32* first = world.vertexZ;
    const f32* second = world.vertexX;
    const f32* third = world.vertexY;
    const u32* corners = world.faceIndices + face.firstIndex;
    const i32 n = face.vertexCount;
    // The first triple longer than kSmallestNormal decides, as it always has; a face
    // too small for any (a 2 mm face of a model drawn in metres) takes its longest
    // triple instead, since those few units still say which way it faces.
    f32 longest[3] = {0.0f, 0.0f, 0.0f};
    f32 longestLength = 0.0f;
    for (i32 k = 0; k + 1 < n; ++k) {
        const u32 a = corners[k];
        const u32 b = corners[k + 1 < n ? k + 1 : k + 1 - n];
        const u32 c = corners[k + 2 < n ? k + 2 : k + 2 - n];
        const f32 u[3] = {first[c] - first[b], second[c] - second[b], third[c] - third[b]};
        const f32 w[3] = {first[a] - first[b], second[a] - second[b], third[a] - third[b]};
        const f32 normal[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                               u[0] * w[1] - u[1] * w[0]};
        const f32 length =
            std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
        if (!std::isfinite(length)) continue; // beyond a float: says nothing
        if (length > kSmallestNormal) {
            for (int axis = 0; axis < 3; ++axis) out[axis] = normal[axis] / length;
            return;
        }
        if (length > longestLength) {
            for (int axis = 0; axis < 3; ++axis) longest[axis] = normal[axis];
            longestLength = length;
        }
    }
    // Only a face without any extent (every product zero, or not finite) is left
    // without a direction of its own.
    if (longestLength > 0.0f) {
        for (int axis = 0; axis < 3; ++axis) out[axis] = longest[axis] / longestLength;
    } else {
        for (int axis = 0; axis < 3; ++axis) out[axis] = kInverseRootThree;
    }
}

inline void ComputeFaceNormal(const World& world, FaceRecord& face)
{
    face.flags = 0;
    FaceNormalOf(world, face, face.normal);
}
