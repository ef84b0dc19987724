// The fast path's drawing order: one pass over the faces in table order gives each its
// normal, its hidden mark and its sort key, and keeps only the faces that can write a
// pixel, so the sort and the rasterizer never see the others.
#include "render/faces.h"

#include "render/camera.h"

#include "base/convert.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace {

// Where a face's corners fall on the screen, for one eye.
struct CornerBounds {
    f32 minX;
    f32 maxX;
    f32 minY;
    f32 maxY;
};

// The corners' screen extent; false when a corner's position is undefined (such a face
// is never drawn).
bool boundsOf(const ProjectedVertex* projected, const u32* corners, i16 count, CornerBounds& bounds)
{
    const ProjectedVertex& first = projected[corners[0]];
    bounds = {first.screenX, first.screenX, first.screenY, first.screenY};
    bool defined =
        !std::isnan(first.screenX) && !std::isnan(first.screenY) && !std::isnan(first.depth);
    for (i16 k = 1; k < count; ++k) {
        const ProjectedVertex& corner = projected[corners[k]];
        defined = defined && !std::isnan(corner.screenX) && !std::isnan(corner.screenY) &&
                  !std::isnan(corner.depth);
        bounds.minX = std::min(bounds.minX, corner.screenX);
        bounds.maxX = std::max(bounds.maxX, corner.screenX);
        bounds.minY = std::min(bounds.minY, corner.screenY);
        bounds.maxY = std::max(bounds.maxY, corner.screenY);
    }
    return defined;
}

// A crossing's x is interpolated between two corners and may stray from them by a few
// float steps; this margin (some hundred steps, and a thousandth of a pixel) keeps the
// column test below on the safe side.
inline f32 columnMargin(f32 minX, f32 maxX)
{
    return 1.0e-3f + std::max(std::fabs(minX), std::fabs(maxX)) * (1.0f / 65536.0f);
}

// True when a span of the face can hold a pixel: rows are scanned at whole y, so a
// row must lie between the corners' y; a span covers the columns from trunc(left) up to
// trunc(right), both clipped to [0, width - 1], so a whole column number c with
// left < c <= right, 1 <= c <= width - 1, must lie between the corners' x.
bool mayWritePixel(const CornerBounds& b, i32 width, i32 height)
{
    const f32 firstRow = std::max(std::ceil(b.minY), 0.0f);
    const f32 lastRow = std::min(std::floor(b.maxY), static_cast<f32>(height - 1));
    if (!(firstRow <= lastRow)) return false;
    const f32 margin = columnMargin(b.minX, b.maxX);
    const f32 firstColumn = std::max(std::floor(b.minX - margin) + 1.0f, 1.0f);
    const f32 lastColumn = std::min(std::floor(b.maxX + margin), static_cast<f32>(width - 1));
    return firstColumn <= lastColumn;
}

struct FaceEyes {
    const ProjectedVertex* left;  // the single view, or the left eye
    const ProjectedVertex* right; // the right eye in stereo, else null
    i32 width;
    i32 height;
};

// The face's rows when some eye may draw it; false when neither can.
bool drawableRows(const FaceEyes& eyes, const u32* corners, i16 count, i16& firstRow, i16& lastRow)
{
    CornerBounds left, right;
    if (!boundsOf(eyes.left, corners, count, left)) return false;
    bool drawn = mayWritePixel(left, eyes.width, eyes.height);
    if (eyes.right) {
        // Both eyes' corners must be defined, as the anaglyph draws the face for both.
        if (!boundsOf(eyes.right, corners, count, right)) return false;
        drawn = drawn || mayWritePixel(right, eyes.width, eyes.height);
    }
    if (!drawn) return false;
    // Screen y is the same for both eyes: the whole rows between the corners.
    firstRow = static_cast<i16>(clampTrunc(std::ceil(left.minY), 0, eyes.height - 1));
    lastRow = static_cast<i16>(clampTrunc(std::floor(left.maxY), 0, eyes.height - 1));
    return true;
}

// Nearest and farthest corner depth, as SortObjectsAndFaces takes them.
void depthRange(const World& world, const u32* corners, i16 count, f32& nearest, f32& farthest)
{
    nearest = world.vertexZ[corners[0]];
    farthest = nearest;
    for (i16 k = 1; k < count; ++k) {
        const f32 depth = world.vertexZ[corners[k]];
        if (depth < nearest) nearest = depth;
        if (depth > farthest) farthest = depth;
    }
}

// Normals, marks and drawable faces of one object, written to `out`.
u32 gatherObjectFaces(World& world, const ObjectRecord& object, const FaceEyes& eyes, DrawFace* out)
{
    u32 kept = 0;
    const RowRange faces = ObjectFaces(world, object);
    for (u32 f = faces.first; f < faces.first + faces.count; ++f) {
        FaceRecord& face = world.faces[f];
        if (!FaceCornersValid(world, face)) {
            face.flags = kFaceHidden;
            StoreFallbackNormal(face);
            continue;
        }
        ComputeFaceNormal(world, face);
        const u32* corners = world.faceIndices + face.firstIndex;
        f32 nearest = 0.0f, farthest = 0.0f;
        depthRange(world, corners, face.vertexCount, nearest, farthest);
        if (farthest < 0.0f) { // wholly behind the eye; -0 is not
            face.flags = kFaceHidden;
            continue;
        }
        i16 firstRow = 0, lastRow = 0;
        if (!drawableRows(eyes, corners, face.vertexCount, firstRow, lastRow)) continue;
        out[kept++] = DrawFace{OrderedDepthKey(nearest), f, firstRow, lastRow};
    }
    return kept;
}

f32 nearestVertex(const World& world, const ObjectRecord& object)
{
    const RowRange vertices = ObjectVertices(world, object);
    if (vertices.count == 0) return std::numeric_limits<f32>::max();
    f32 nearest = world.vertexZ[vertices.first];
    for (u32 v = vertices.first + 1; v < vertices.first + vertices.count; ++v)
        if (world.vertexZ[v] < nearest) nearest = world.vertexZ[v];
    return nearest;
}

// Objects nearest first: each position takes every later entry whose key is strictly
// smaller than the one it holds now (the swaps decide the order of equal keys).
void orderObjects(RenderState& render, u32 objectCount)
{
    u32* order = render.objectOrder;
    f32* keys = render.objectKeys;
    for (u32 i = 0; i + 1 < objectCount; ++i) {
        for (u32 j = i + 1; j < objectCount; ++j) {
            if (keys[j] < keys[i]) {
                std::swap(keys[i], keys[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
}

} // namespace

bool BuildDrawOrder(World& world, RenderState& render, const FrameState& frame)
{
    render.drawOrderReady = false;
    const u32 objectCount = world.objectCount > 0 ? static_cast<u32>(world.objectCount) : 0;
    const bool stereo = frame.stereoFlag == 1;
    if (!render.drawFaces || !render.drawSorting || render.drawFaceCapacity < DrawFaceRoom(world) ||
        !render.drawFirst || !render.drawCount || render.drawObjectCapacity < objectCount ||
        !render.objectKeys || render.objectKeyCapacity < objectCount || !render.projected ||
        (stereo && !render.projectedRight))
        return false;
    const FaceEyes eyes{render.projected, stereo ? render.projectedRight : nullptr,
                        frame.renderWidth, frame.renderHeight};
    u32 next = 0;
    for (u32 o = 0; o < objectCount; ++o) {
        const ObjectRecord& object = world.objects[o];
        render.objectOrder[o] = o;
        render.objectKeys[o] = nearestVertex(world, object);
        // The table has room for every object's rows (DrawFaceRoom), even where the
        // rows of two objects overlap.
        assert(ObjectFaces(world, object).count <= render.drawFaceCapacity - next);
        const u32 kept = gatherObjectFaces(world, object, eyes, render.drawFaces + next);
        if (object.tag != 11) SortDrawFaces(render.drawFaces + next, render.drawSorting, kept);
        render.drawFirst[o] = next;
        render.drawCount[o] = kept;
        next += kept;
    }
    orderObjects(render, objectCount);
    render.drawOrderReady = true;
    return true;
}
