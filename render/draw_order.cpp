// The fast path's drawing order: one pass over the faces in table order gives each its
// normal, its hidden mark and its sort key, and keeps only the faces that can write a
// pixel, so the sort and the rasterizer never see the others.
#include "render/faces.h"

#include "render/camera.h"
#include "render/workers.h"

#include "base/convert.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// The largest whole number not above v (the smallest not below, for pinCeiling), pinned
// into [lo, hi]; v is a defined value (NaN comes out as lo).
inline i32 pinFloor(f32 v, i32 lo, i32 hi)
{
    const i32 t = clampTrunc(v, lo, hi);
    return static_cast<f32>(t) > v && t > lo ? t - 1 : t;
}
inline i32 pinCeiling(f32 v, i32 lo, i32 hi)
{
    const i32 t = clampTrunc(v, lo, hi);
    return static_cast<f32>(t) < v && t < hi ? t + 1 : t;
}

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
    if (count == 3) { // most faces: the same comparisons without the loop
        const ProjectedVertex& a = projected[corners[0]];
        const ProjectedVertex& b = projected[corners[1]];
        const ProjectedVertex& c = projected[corners[2]];
        bounds = {std::min(std::min(a.screenX, b.screenX), c.screenX),
                  std::max(std::max(a.screenX, b.screenX), c.screenX),
                  std::min(std::min(a.screenY, b.screenY), c.screenY),
                  std::max(std::max(a.screenY, b.screenY), c.screenY)};
        return CornerDefined(a) & CornerDefined(b) & CornerDefined(c);
    }
    const ProjectedVertex& first = projected[corners[0]];
    bounds = {first.screenX, first.screenX, first.screenY, first.screenY};
    bool defined = CornerDefined(first);
    for (i16 k = 1; k < count; ++k) {
        const ProjectedVertex& corner = projected[corners[k]];
        defined = defined & CornerDefined(corner);
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

// The pixels a face can write, for one eye: rows are scanned at whole y, so a row lies
// between the corners' y; a span covers the columns from trunc(left) up to trunc(right),
// both clipped to [0, width - 1], so it holds a pixel only when a whole column number c
// with left < c <= right, 1 <= c <= width - 1, lies between the corners' x, and then its
// pixels lie in [c - 1, right - 1]. Empty (first > last) when it can write none.
struct PixelArea {
    i32 firstRow;
    i32 lastRow;
    i32 firstColumn;
    i32 lastColumn;
};

// The rows of writableArea alone: empty when the face reaches no row of the image.
PixelArea writableRows(const CornerBounds& b, i32 height)
{
    if (b.maxY < 0.0f || b.minY > static_cast<f32>(height - 1)) return {0, -1, 0, -1};
    return {pinCeiling(b.minY, 0, height), pinFloor(b.maxY, -1, height - 1), 0, 0};
}

// The columns of writableArea for a face whose rows are `rows`: the anaglyph's eyes share
// screen y, so their rows are worked out once.
PixelArea writableColumns(const CornerBounds& b, i32 width, const PixelArea& rows)
{
    const f32 margin = columnMargin(b.minX, b.maxX);
    if (b.maxX + margin < 1.0f || b.minX - margin >= static_cast<f32>(width - 1))
        return {0, -1, 0, -1};
    return {rows.firstRow, rows.lastRow, pinFloor(b.minX - margin, 0, width),
            pinFloor(b.maxX + margin, 0, width - 1) - 1};
}

PixelArea writableArea(const CornerBounds& b, i32 width, i32 height)
{
    const PixelArea rows = writableRows(b, height);
    return rows.firstRow > rows.lastRow ? rows : writableColumns(b, width, rows);
}

bool holdsPixel(const PixelArea& area)
{
    return area.firstRow <= area.lastRow && area.firstColumn <= area.lastColumn;
}

struct FaceEyes {
    const ProjectedVertex* left;  // the single view, or the left eye
    const ProjectedVertex* right; // the right eye in stereo, else null
    i32 width;
    i32 height;
};

// The face's rows and columns when some eye may draw it; false when neither can.
bool drawableArea(const FaceEyes& eyes, const u32* corners, i16 count, DrawFace& entry)
{
    CornerBounds bounds;
    if (!boundsOf(eyes.left, corners, count, bounds)) return false;
    PixelArea areas[2] = {writableArea(bounds, eyes.width, eyes.height), {0, -1, 0, -1}};
    if (eyes.right) {
        // Both eyes' corners must be defined, as the anaglyph draws the face for both.
        if (!boundsOf(eyes.right, corners, count, bounds)) return false;
        areas[1] = writableArea(bounds, eyes.width, eyes.height);
    }
    const bool drawn[2] = {holdsPixel(areas[0]), holdsPixel(areas[1])};
    if (!drawn[0] && !drawn[1]) return false;
    // Screen y is the same for both eyes; the rows are those of an eye that draws.
    const PixelArea& rows = drawn[0] ? areas[0] : areas[1];
    entry.firstRow = static_cast<i16>(rows.firstRow);
    entry.lastRow = static_cast<i16>(rows.lastRow);
    for (int eye = 0; eye < 2; ++eye) {
        // Inside the image where the eye draws; an empty run where it does not.
        entry.firstColumn[eye] = static_cast<i16>(drawn[eye] ? areas[eye].firstColumn : 1);
        entry.lastColumn[eye] = static_cast<i16>(drawn[eye] ? areas[eye].lastColumn : 0);
    }
    return true;
}

// Nearest and farthest corner depth, as SortObjectsAndFaces takes them (the projected
// tables carry the view depths unchanged).
void depthRange(const ProjectedVertex* projected, const u32* corners, i16 count, f32& nearest,
                f32& farthest)
{
    nearest = projected[corners[0]].depth;
    farthest = nearest;
    for (i16 k = 1; k < count; ++k) {
        const f32 depth = projected[corners[k]].depth;
        if (depth < nearest) nearest = depth;
        if (depth > farthest) farthest = depth;
    }
}

// The normals of a run of faces. Most faces are triangles whose first corner triple is
// long enough; their cross products are formed one face at a time, and their lengths
// and quotients as whole blocks, which the compiler turns into vector instructions (the
// same operations on the same values, so the same results as ComputeFaceNormal). The
// other faces, and the rare triangle whose first triple is too short, take
// ComputeFaceNormal itself.
constexpr u32 kNormalBlock = 16;

struct NormalBlock {
    f32 x[kNormalBlock];
    f32 y[kNormalBlock];
    f32 z[kNormalBlock];
    f32 length[kNormalBlock];
    bool triangle[kNormalBlock];
    bool valid[kNormalBlock];
};

void firstTripleProduct(const World& world, const u32* corners, NormalBlock& block, u32 i)
{
    const f32* first = world.vertexZ;
    const f32* second = world.vertexX;
    const f32* third = world.vertexY;
    const u32 a = corners[0], b = corners[1], c = corners[2];
    const f32 u[3] = {first[c] - first[b], second[c] - second[b], third[c] - third[b]};
    const f32 w[3] = {first[a] - first[b], second[a] - second[b], third[a] - third[b]};
    block.x[i] = u[1] * w[2] - u[2] * w[1];
    block.y[i] = u[2] * w[0] - u[0] * w[2];
    block.z[i] = u[0] * w[1] - u[1] * w[0];
}

void computeNormals(World& world, u32 firstFace, u32 count, NormalBlock& block)
{
    for (u32 i = 0; i < kNormalBlock; ++i) {
        block.x[i] = block.y[i] = block.z[i] = 1.0f; // rows past the run: any length will do
        block.triangle[i] = block.valid[i] = false;
    }
    for (u32 i = 0; i < count; ++i) {
        const FaceRecord& face = world.faces[firstFace + i];
        block.valid[i] = FaceCornersValid(world, face);
        block.triangle[i] = block.valid[i] && face.vertexCount == 3;
        if (block.triangle[i])
            firstTripleProduct(world, world.faceIndices + face.firstIndex, block, i);
    }
    for (u32 i = 0; i < kNormalBlock; ++i)
        block.length[i] =
            std::sqrt(block.x[i] * block.x[i] + block.y[i] * block.y[i] + block.z[i] * block.z[i]);
    for (u32 i = 0; i < kNormalBlock; ++i) {
        block.x[i] /= block.length[i];
        block.y[i] /= block.length[i];
        block.z[i] /= block.length[i];
    }
    for (u32 i = 0; i < count; ++i) {
        FaceRecord& face = world.faces[firstFace + i];
        if (!block.valid[i]) {
            face.flags = kFaceHidden;
            StoreFallbackNormal(face);
        } else if (block.triangle[i] && std::isfinite(block.length[i]) &&
                   block.length[i] > kSmallestNormal) {
            face.flags = 0;
            face.normal[0] = block.x[i];
            face.normal[1] = block.y[i];
            face.normal[2] = block.z[i];
        } else {
            ComputeFaceNormal(world, face);
        }
    }
}

// The nearest and farthest depth of a triangle's corners, compared as depthRange does.
inline void triangleDepths(const ProjectedVertex& a, const ProjectedVertex& b,
                           const ProjectedVertex& c, f32& nearest, f32& farthest)
{
    nearest = farthest = a.depth;
    if (b.depth < nearest) nearest = b.depth;
    if (b.depth > farthest) farthest = b.depth;
    if (c.depth < nearest) nearest = c.depth;
    if (c.depth > farthest) farthest = c.depth;
}

// A triangle in the single view, the face pass of most worlds: depthRange, boundsOf and
// writableArea in one, with the same comparisons. 0 when it writes no pixel, -1 when
// it lies wholly behind the eye, 1 when `entry` takes it.
inline int keepTriangle(const ProjectedVertex* projected, const u32* corners, i32 width, i32 height,
                        DrawFace& entry)
{
    const ProjectedVertex& a = projected[corners[0]];
    const ProjectedVertex& b = projected[corners[1]];
    const ProjectedVertex& c = projected[corners[2]];
    f32 nearest, farthest;
    triangleDepths(a, b, c, nearest, farthest);
    if (farthest < 0.0f) return -1; // wholly behind the eye; -0 is not
    if (!(CornerDefined(a) & CornerDefined(b) & CornerDefined(c))) return 0;
    const CornerBounds bounds{std::min(std::min(a.screenX, b.screenX), c.screenX),
                              std::max(std::max(a.screenX, b.screenX), c.screenX),
                              std::min(std::min(a.screenY, b.screenY), c.screenY),
                              std::max(std::max(a.screenY, b.screenY), c.screenY)};
    const PixelArea area = writableArea(bounds, width, height);
    if (!holdsPixel(area)) return 0;
    entry.key = OrderedDepthKey(nearest);
    entry.hiddenBelow = HiddenBelow(nearest, farthest);
    entry.firstRow = static_cast<i16>(area.firstRow); // each inside the image now
    entry.lastRow = static_cast<i16>(area.lastRow);
    entry.firstColumn[0] = static_cast<i16>(area.firstColumn);
    entry.lastColumn[0] = static_cast<i16>(area.lastColumn);
    entry.firstColumn[1] = 1; // no right eye
    entry.lastColumn[1] = 0;
    return 1;
}

// A triangle in the anaglyph: drawableArea for both eyes with keepTriangle's order of
// tests. The eyes share screen y and depth, so the rows and the depth range are worked
// out once and only the columns per eye; each eye's columns are writableArea's own.
inline int keepTriangleStereo(const FaceEyes& eyes, const u32* corners, DrawFace& entry)
{
    const ProjectedVertex& a = eyes.left[corners[0]];
    const ProjectedVertex& b = eyes.left[corners[1]];
    const ProjectedVertex& c = eyes.left[corners[2]];
    f32 nearest, farthest;
    triangleDepths(a, b, c, nearest, farthest);
    if (farthest < 0.0f) return -1; // wholly behind the eye; -0 is not
    const ProjectedVertex& ra = eyes.right[corners[0]];
    const ProjectedVertex& rb = eyes.right[corners[1]];
    const ProjectedVertex& rc = eyes.right[corners[2]];
    // Both eyes' corners must be defined, as the anaglyph draws the face for both; the
    // right eye's screen y and depth are the left eye's own values.
    if (!(CornerDefined(a) & CornerDefined(b) & CornerDefined(c) & (ra.screenX == ra.screenX) &
          (rb.screenX == rb.screenX) & (rc.screenX == rc.screenX)))
        return 0;
    const f32 minY = std::min(std::min(a.screenY, b.screenY), c.screenY);
    const f32 maxY = std::max(std::max(a.screenY, b.screenY), c.screenY);
    // A triangle that reaches no row of the image, or lies between two rows, is drawn by
    // neither eye.
    const PixelArea rowsOfBoth = writableRows({0.0f, 0.0f, minY, maxY}, eyes.height);
    if (rowsOfBoth.firstRow > rowsOfBoth.lastRow) return 0;
    const PixelArea areas[2] = {
        writableColumns({std::min(std::min(a.screenX, b.screenX), c.screenX),
                         std::max(std::max(a.screenX, b.screenX), c.screenX), minY, maxY},
                        eyes.width, rowsOfBoth),
        writableColumns({std::min(std::min(ra.screenX, rb.screenX), rc.screenX),
                         std::max(std::max(ra.screenX, rb.screenX), rc.screenX), minY, maxY},
                        eyes.width, rowsOfBoth)};
    const bool drawn[2] = {holdsPixel(areas[0]), holdsPixel(areas[1])};
    if (!drawn[0] && !drawn[1]) return 0;
    const PixelArea& rows = drawn[0] ? areas[0] : areas[1];
    entry.key = OrderedDepthKey(nearest);
    entry.hiddenBelow = HiddenBelow(nearest, farthest);
    entry.firstRow = static_cast<i16>(rows.firstRow);
    entry.lastRow = static_cast<i16>(rows.lastRow);
    for (int eye = 0; eye < 2; ++eye) {
        entry.firstColumn[eye] = static_cast<i16>(drawn[eye] ? areas[eye].firstColumn : 1);
        entry.lastColumn[eye] = static_cast<i16>(drawn[eye] ? areas[eye].lastColumn : 0);
    }
    return 1;
}

// Normals, marks and drawable faces of one object, written to `out`.
u32 gatherFaces(World& world, RowRange faces, const FaceEyes& eyes, DrawFace* out)
{
    u32 kept = 0;
    NormalBlock block;
    for (u32 base = faces.first; base < faces.first + faces.count; base += kNormalBlock) {
        const u32 count = std::min(kNormalBlock, faces.first + faces.count - base);
        computeNormals(world, base, count, block);
        for (u32 f = base; f < base + count; ++f) {
            FaceRecord& face = world.faces[f];
            if (face.flags == kFaceHidden) continue; // corners outside the tables
            const u32* corners = world.faceIndices + face.firstIndex;
            if (face.vertexCount == 3) {
                const int kept3 = eyes.right ? keepTriangleStereo(eyes, corners, out[kept])
                                             : keepTriangle(eyes.left, corners, eyes.width,
                                                            eyes.height, out[kept]);
                if (kept3 < 0) face.flags = kFaceHidden;
                if (kept3 > 0) out[kept++].face = f;
                continue;
            }
            f32 nearest = 0.0f, farthest = 0.0f;
            depthRange(eyes.left, corners, face.vertexCount, nearest, farthest);
            if (farthest < 0.0f) { // wholly behind the eye; -0 is not
                face.flags = kFaceHidden;
                continue;
            }
            DrawFace& entry = out[kept];
            if (!drawableArea(eyes, corners, face.vertexCount, entry)) continue;
            entry.key = OrderedDepthKey(nearest);
            entry.face = f;
            entry.hiddenBelow = HiddenBelow(nearest, farthest);
            ++kept;
        }
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

// An object with at least this many faces has them gathered by every thread of the
// frame, a run each; below it the threads would wait longer than they work.
constexpr u32 kFacesWorthSharing = 8192;

// The object's drawable faces at `out`, in table order; answers how many.
u32 gatherObjectFaces(World& world, RenderState& render, const ObjectRecord& object,
                      const FaceEyes& eyes, DrawFace* out)
{
    const RowRange faces = ObjectFaces(world, object);
    const u32 parts = FrameParts(render);
    if (parts == 1 || faces.count < kFacesWorthSharing) return gatherFaces(world, faces, eyes, out);
    // Each run keeps its faces where its rows start, then the runs close up in order.
    u32 kept[kMostBands];
    auto work = [&](u32 part) {
        const u32 first = PartStart(faces.count, parts, part);
        const u32 end = PartStart(faces.count, parts, part + 1);
        kept[part] = gatherFaces(world, {faces.first + first, end - first}, eyes, out + first);
    };
    RunParts(render, parts, work);
    u32 total = kept[0];
    for (u32 part = 1; part < parts; ++part) {
        std::memmove(out + total, out + PartStart(faces.count, parts, part),
                     sizeof(DrawFace) * kept[part]);
        total += kept[part];
    }
    return total;
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
        const u32 kept = gatherObjectFaces(world, render, object, eyes, render.drawFaces + next);
        if (object.tag != 11) SortDrawFaces(render.drawFaces + next, render.drawSorting, kept);
        render.drawFirst[o] = next;
        render.drawCount[o] = kept;
        next += kept;
    }
    orderObjects(render, objectCount);
    render.drawOrderReady = true;
    return true;
}
