// Shadow maps: an orthographic depth image of the world from each light.
#include "render/shadow.h"

#include "base/portable_math.h"
#include "memory/memory.h"
#include "render/faces.h"
#include "render/scan.h"
#include "render/workers.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr f64 kHalfPi = 1.5707963267948966;
constexpr f64 kPi = 3.141592653589793;
// Looking down from behind and to the side when there is no light to follow.
constexpr f32 kDefaultHeading = 3.9269907f;
constexpr f32 kDefaultElevation = -0.785398f;
constexpr u32 kMapStride = 2; // slot values of a map: screen x, depth

// Middle of the world's extent on the first two axes, lowest point on the third: the
// spot a point light is taken to look at.
void worldFocus(const World& world, f32 focus[3])
{
    bool any = false;
    f32 low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    for (i16 o = 0; o < world.objectCount; ++o) {
        if (world.objects[o].vertexCount == 0) continue;
        const f32* b = world.objectBounds[o];
        for (int axis = 0; axis < 3; ++axis) {
            if (!any || b[2 * axis] < low[axis]) low[axis] = b[2 * axis];
            if (!any || b[2 * axis + 1] > high[axis]) high[axis] = b[2 * axis + 1];
        }
        any = true;
    }
    focus[0] = (low[0] + high[0]) / 2.0f;
    focus[1] = (low[1] + high[1]) / 2.0f;
    focus[2] = low[2];
}

// The direction light j looks along, as heading and elevation. False for a light that
// casts no shadow: switched off, or a row outside its table.
bool lightAngles(const World& world, u32 j, f32& heading, f32& elevation)
{
    if (world.lightCount < 1) {
        heading = kDefaultHeading;
        elevation = kDefaultElevation;
        return true;
    }
    const LightRecord& light = world.lights[j];
    if (light.enabled != 1.0f) return false;
    f32 d[3];
    const i16 row = light.kindIndex;
    if (light.kind == 1) {
        if (row < 0 || row >= world.directionalLightCount) return false;
        // The row points toward the light; the light looks the other way.
        for (int c = 0; c < 3; ++c) d[c] = -world.directionalLights[row][c];
    } else if (light.kind == 2) {
        if (row < 0 || row >= world.pointLightCount) return false;
        f32 focus[3];
        worldFocus(world, focus);
        for (int c = 0; c < 3; ++c) d[c] = focus[c] - world.pointLights[row][c];
    } else if (light.kind == 3) {
        if (row < 0 || row >= world.spotLightCount) return false;
        std::memcpy(d, world.spotLights[row].direction, sizeof d);
    } else {
        heading = kDefaultHeading;
        elevation = kDefaultElevation;
        return true;
    }
    f64 theta;
    if (d[0] == 0.0f) {
        theta = d[1] >= 0.0f ? kHalfPi : -kHalfPi;
    } else {
        theta = portable::atan(static_cast<f64>(d[1]) / d[0]);
        if (d[0] < 0.0f) theta += kPi;
    }
    const f64 horizontal = std::sqrt(static_cast<f64>(d[0]) * d[0] + static_cast<f64>(d[1]) * d[1]);
    const f64 psi = horizontal == 0.0 ? (d[2] < 0.0f ? -kHalfPi : kHalfPi)
                                      : portable::atan(static_cast<f64>(d[2]) / horizontal);
    heading = static_cast<f32>(theta);
    elevation = static_cast<f32>(psi);
    return true;
}

void setRotation(ShadowDescriptor& map, f32 heading, f32 elevation)
{
    const f64 ct = portable::cos(static_cast<f64>(heading)),
              st = portable::sin(static_cast<f64>(heading));
    const f64 cp = portable::cos(static_cast<f64>(elevation)),
              sp = portable::sin(static_cast<f64>(elevation));
    const f64 rows[9] = {cp * ct, cp * st, sp, -st, ct, 0.0, -sp * ct, -sp * st, cp};
    for (int i = 0; i < 9; ++i) map.rotation[i] = static_cast<f32>(rows[i]);
}

constexpr f32 kBeyond = std::numeric_limits<f32>::infinity();

// Vertices [first, end) into the light's frame, with their bounds: each run's start
// beyond every value and widen only on strictly smaller or larger ones, so merged in
// order after vertex 0 they are the bounds of one run from vertex 0.
void turnRange(World& world, const ShadowDescriptor& map, u32 first, u32 end, f32 low[3],
               f32 high[3])
{
    // The rotation and the bounds in locals: the vertex stores could otherwise alias them.
    f32 r[9];
    std::memcpy(r, map.rotation, sizeof r);
    f32 lowest[3] = {kBeyond, kBeyond, kBeyond}, highest[3] = {-kBeyond, -kBeyond, -kBeyond};
    f32* depthAxis = world.vertexZ;
    f32* leftAxis = world.vertexX;
    f32* upAxis = world.vertexY;
    for (u32 v = first; v < end; ++v) {
        const f32 x = depthAxis[v], y = leftAxis[v], z = upAxis[v];
        const f32 turned[3] = {r[0] * x + r[1] * y + r[2] * z, r[3] * x + r[4] * y + r[5] * z,
                               r[6] * x + r[7] * y + r[8] * z};
        depthAxis[v] = turned[0];
        leftAxis[v] = turned[1];
        upAxis[v] = turned[2];
        for (int axis = 0; axis < 3; ++axis) {
            if (turned[axis] < lowest[axis]) lowest[axis] = turned[axis];
            if (turned[axis] > highest[axis]) highest[axis] = turned[axis];
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = lowest[axis];
        high[axis] = highest[axis];
    }
}

// Every vertex into the light's frame, in place; the bounds go into the descriptor and
// the depths are counted from the nearest vertex.
void turnToLight(World& world, RenderState& render, ShadowDescriptor& map)
{
    const u32 count = world.vertexCount;
    const u32 parts = FrameParts(render);
    f32 runLow[kMostBands][3], runHigh[kMostBands][3];
    RunRanges(render, parts, count, [&](u32 first, u32 end, u32 part) {
        turnRange(world, map, first, end, runLow[part], runHigh[part]);
    });
    f32 low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    if (count > 0) {
        // The bounds start at vertex 0 and widen only on strictly larger or smaller values.
        const f32 first[3] = {world.vertexZ[0], world.vertexX[0], world.vertexY[0]};
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = high[axis] = first[axis];
            for (u32 part = 0; part < parts; ++part) {
                if (runLow[part][axis] < low[axis]) low[axis] = runLow[part][axis];
                if (runHigh[part][axis] > high[axis]) high[axis] = runHigh[part][axis];
            }
        }
    }
    map.minDepth = low[0];
    map.minLeft = low[1];
    map.minUp = low[2];
    map.depthRange = high[0] - low[0];
    map.maxLeft = high[1];
    map.maxUp = high[2];
    const f32 nearest = map.minDepth;
    RunRanges(render, parts, count, [&](u32 first, u32 end, u32) {
        f32* depth = world.vertexZ;
        for (u32 v = first; v < end; ++v) depth[v] -= nearest;
    });
}

void turnBack(World& world, RenderState& render, const ShadowDescriptor& map)
{
    const f32* r = map.rotation;
    RunRanges(render, FrameParts(render), world.vertexCount, [&](u32 first, u32 end, u32) {
        for (u32 v = first; v < end; ++v) {
            const f32 d = world.vertexZ[v] + map.minDepth, l = world.vertexX[v],
                      u = world.vertexY[v];
            world.vertexZ[v] = r[0] * d + r[3] * l + r[6] * u;
            world.vertexX[v] = r[1] * d + r[4] * l + r[7] * u;
            world.vertexY[v] = r[2] * d + r[5] * l + r[8] * u;
        }
    });
}

// A light whose view of the world is flat or undefined in either direction casts no
// usable shadow (and would divide zero by zero).
bool hasExtent(const ShadowDescriptor& map)
{
    const f32 across = map.maxLeft - map.minLeft;
    const f32 upward = map.maxUp - map.minUp;
    return across > 0.0f && upward > 0.0f && std::isfinite(across) && std::isfinite(upward);
}

// Map coordinates of a vertex in the light's frame: u up the map, v across it.
inline f32 mapU(const ShadowDescriptor& map, f32 up)
{
    return (up - map.minUp) / (map.maxUp - map.minUp);
}
inline f32 mapV(const ShadowDescriptor& map, f32 left)
{
    return (map.maxLeft - left) / (map.maxLeft - map.minLeft);
}

void projectToMap(const World& world, RenderState& render, const ShadowDescriptor& map)
{
    const f32 width = static_cast<f32>(map.width);
    const f32 height = static_cast<f32>(map.height);
    for (u32 v = 0; v < world.vertexCount; ++v) {
        render.projected[v].screenX = width * mapV(map, world.vertexX[v]);
        render.projected[v].screenY = height * mapU(map, world.vertexY[v]);
        render.projected[v].depth = world.vertexZ[v];
    }
}

void storeLightCoordinates(const World& world, RenderState& render, const ShadowDescriptor& map,
                           u32 j, u32 lights)
{
    for (u32 corner = 0; corner < world.faceIndexCount; ++corner) {
        const u32 v = world.faceIndices[corner];
        if (v >= world.vertexCount) continue;
        f32* out = render.lightCoordinates + (u64{corner} * lights + j) * 3;
        out[0] = mapU(map, world.vertexY[v]);
        out[1] = mapV(map, world.vertexX[v]);
        out[2] = world.vertexZ[v];
    }
}

// A span of a map covers its first and its last texel; the nearer surface stays.
inline void fillMapSpan(ShadowTexel* row, i32 width, const f32* left, const f32* right, i16 object)
{
    f32 lx = left[0], ld = left[1];
    f32 rx = right[0], rd = right[1];
    const f32 last = static_cast<f32>(width - 1);
    if (lx > last || rx < 0.0f) return;
    if (lx < 0.0f) {
        ld = ld + (rd - ld) * ((0.0f - lx) / (rx - lx));
        lx = 0.0f;
    }
    if (rx > last) {
        rd = left[1] + (right[1] - left[1]) * ((last - left[0]) / (right[0] - left[0]));
        rx = last;
    }
    const f32 length = rx - lx;
    const f32 step = length > 0.0f ? (rd - ld) / length : 0.0f;
    const i32 x0 = clampTrunc(lx, 0, width - 1);
    const i32 x1 = clampTrunc(rx, 0, width - 1);
    f32 depth = ld;
    for (i32 x = x0; x <= x1; ++x, depth += step) {
        ShadowTexel& texel = row[x];
        if (texel.object <= 0 || texel.depth > depth) texel = ShadowTexel{object, depth};
    }
}

// Rows first to last of a face of any shape into the map: the slots' values set from
// the corners in `scratch.polygon`, then each row's crossings found, sorted and filled in
// pairs.
void drawMapRowsGeneral(const FaceScratch& scratch, u32 slots, const ShadowDescriptor& map,
                        ShadowTexel* texels, i32 first, i32 last, i16 object)
{
    for (u32 s = 0; s < slots; ++s) {
        scratch.slotValues[s * kMapStride] = scratch.polygon[s].screenX;
        scratch.slotValues[s * kMapStride + 1] = scratch.polygon[s].depth;
        scratch.slotValid[s] = 1;
    }
    for (i32 y = first; y <= last; ++y) {
        const u32 count =
            findCrossings(static_cast<f32>(y), scratch.polygon, scratch.slotNext, scratch.slotValid,
                          slots, scratch.slotValues, kMapStride, scratch.crossingValues);
        if (count < 2) continue;
        sortCrossings(scratch.crossingValues, kMapStride, scratch.crossingOrder, count);
        ShadowTexel* row = texels + map.offset + static_cast<u32>(y * map.width);
        for (u32 p = 0; p + 1 < count; p += 2) {
            fillMapSpan(row, map.width,
                        scratch.crossingValues + scratch.crossingOrder[p] * kMapStride,
                        scratch.crossingValues + scratch.crossingOrder[p + 1] * kMapStride, object);
        }
    }
}

void drawFaceIntoMap(const World& world, RenderState& render, const ShadowDescriptor& map,
                     ShadowTexel* texels, const FaceRecord& face, bool detectContours, i16 object)
{
    const FaceScratch& scratch = render.corners;
    const u32 slots = static_cast<u32>(face.vertexCount);
    assert(slots <= scratch.capacity); // sized for the world's largest face
    const u32* vertices = world.faceIndices + face.firstIndex;
    f32 top = 0.0f, bottom = 0.0f;
    for (u32 s = 0; s < slots; ++s) {
        const ProjectedVertex& corner = render.projected[vertices[s]];
        if (!CornerDefined(corner)) return;
        scratch.polygon[s] = corner;
        if (s == 0 || corner.screenY < top) top = corner.screenY;
        if (s == 0 || corner.screenY > bottom) bottom = corner.screenY;
    }
    linkContours(world, vertices, slots, detectContours, scratch.slotNext, scratch.contourEnds);
    drawMapRowsGeneral(scratch, slots, map, texels, clampTrunc(top, 0, map.height - 1),
                       clampTrunc(bottom, 0, map.height - 1), object);
}

void drawMap(World& world, RenderState& render, const ShadowDescriptor& map, ShadowTexel* texels)
{
    for (u32 t = 0; t < map.size; ++t) texels[map.offset + t] = ShadowTexel{0, 0.0f};
    for (i16 o = 0; o < world.objectCount; ++o) ComputeFaceNormals(world, o);
    SortObjectsAndFaces(world, render);
    projectToMap(world, render, map);
    for (i16 i = 0; i < world.objectCount; ++i) {
        // The orders are the sort's own: every entry names a row of its table.
        const u32 entry = render.objectOrder[i] & 0xFFFF;
        assert(entry < static_cast<u32>(world.objectCount));
        const i16 object = static_cast<i16>(entry);
        const ObjectRecord& record = world.objects[object];
        const RowRange faces = ObjectFaces(world, record);
        for (u32 pos = faces.first; pos < faces.first + faces.count; ++pos) {
            const u32 f = render.faceOrder[pos];
            assert(f < world.faceCount);
            if (world.faces[f].flags != 0) continue;
            drawFaceIntoMap(world, render, map, texels, world.faces[f], record.tag == 12,
                            static_cast<i16>(object + 1));
        }
    }
}

// --- The fast path ------------------------------------------------------------------------

// A texel keeps the nearest surface drawn into it, and of equal depths the first, so
// the order of one object's faces changes nothing (they carry the same object number);
// only the order of the objects counts. That holds while no depth a span works out can
// be NaN: the corner depths are finite (counted from the nearest, up to the range), so
// their differences, clips and increments are finite or infinite of one sign.
bool facesInAnyOrder(const ShadowDescriptor& map)
{
    return std::isfinite(map.minDepth) && std::isfinite(map.depthRange) && map.depthRange < 1.0e30f;
}

// Objects nearest the light first: SortObjectsAndFaces's selection sort of the nearest
// vertex, without sorting the faces.
void orderObjectsFromLight(const World& world, RenderState& render)
{
    const u32 objectCount = world.objectCount > 0 ? static_cast<u32>(world.objectCount) : 0;
    u32* order = render.objectOrder;
    f32* keys = render.objectKeys;
    for (u32 o = 0; o < objectCount; ++o) {
        order[o] = o;
        const RowRange vertices = ObjectVertices(world, world.objects[o]);
        f32 nearest = std::numeric_limits<f32>::max();
        if (vertices.count > 0) nearest = world.vertexZ[vertices.first];
        for (u32 v = vertices.first + 1; v < vertices.first + vertices.count; ++v)
            if (world.vertexZ[v] < nearest) nearest = world.vertexZ[v];
        keys[o] = nearest;
    }
    for (u32 i = 0; i + 1 < objectCount; ++i) {
        for (u32 j = i + 1; j < objectCount; ++j) {
            if (keys[j] < keys[i]) {
                std::swap(keys[i], keys[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
}

// u, v and depth of every vertex (the light coordinates of its corners) into the
// projected table, then each corner's copied from there, then the table turned into map
// positions: width x v and height x u, as projectToMap works them out.
void mapCoordinates(const World& world, RenderState& render, const ShadowDescriptor& map, u32 j,
                    u32 lights)
{
    const u32 parts = FrameParts(render);
    const u32 vertexCount = world.vertexCount;
    ProjectedVertex* table = render.projected;
    const ShadowDescriptor bounds = map; // a copy the table's stores cannot alias
    RunRanges(render, parts, vertexCount, [&](u32 first, u32 end, u32) {
        for (u32 v = first; v < end; ++v)
            table[v] = {mapV(bounds, world.vertexX[v]), mapU(bounds, world.vertexY[v]),
                        world.vertexZ[v]};
    });
    RunRanges(render, parts, world.faceIndexCount, [&](u32 first, u32 end, u32) {
        const u32* corners = world.faceIndices;
        const u64 step = u64{lights} * 3;
        f32* out = render.lightCoordinates + (u64{first} * lights + j) * 3;
        for (u32 corner = first; corner < end; ++corner, out += step) {
            const u32 v = corners[corner];
            if (v >= vertexCount) continue;
            const ProjectedVertex at = table[v];
            out[0] = at.screenY;
            out[1] = at.screenX;
            out[2] = at.depth;
        }
    });
    const f32 width = static_cast<f32>(map.width);
    const f32 height = static_cast<f32>(map.height);
    RunRanges(render, parts, vertexCount, [&](u32 first, u32 end, u32) {
        for (u32 v = first; v < end; ++v) {
            table[v].screenX = width * table[v].screenX;
            table[v].screenY = height * table[v].screenY;
        }
    });
}

// Rows firstRow to lastRow of a face of Slots corners: drawFaceIntoMap's crossings, with
// each crossing's depth worked out as findCrossings works it out.
template <u32 Slots>
void drawMapRows(const ProjectedVertex* polygon, const u32* next, const ShadowDescriptor& map,
                 ShadowTexel* texels, i32 firstRow, i32 lastRow, i16 object)
{
    f32 depthDifference[Slots];
    for (u32 i = 0; i < Slots; ++i) depthDifference[i] = polygon[next[i]].depth - polygon[i].depth;
    forEachSpan<Slots>(
        polygon, next, firstRow, lastRow, [&](i32 row, const Hit& left, const Hit& right) {
            const f32 leftEnd[kMapStride] = {left.x, polygon[left.edge].depth +
                                                         depthDifference[left.edge] * left.t};
            const f32 rightEnd[kMapStride] = {right.x, polygon[right.edge].depth +
                                                           depthDifference[right.edge] * right.t};
            fillMapSpan(texels + map.offset + static_cast<u32>(row * map.width), map.width, leftEnd,
                        rightEnd, object);
            return false;
        });
}

// The first row of the band a face's edges can cross: rows are scanned at whole y, and
// the row truncate(top) lies above every corner when the top corner is not on a whole
// row, so it would find no crossing and change nothing.
inline i32 firstMapRow(f32 top, const ShadowDescriptor& map, i32 firstRow)
{
    i32 first = clampTrunc(top, 0, map.height - 1);
    if (static_cast<f32>(first) < top) ++first;
    return std::max(first, firstRow);
}

// The last row of the band a face's edges can cross: the one its bottom corner is on.
inline i32 lastMapRow(f32 bottom, const ShadowDescriptor& map, i32 lastRow)
{
    return std::min(clampTrunc(bottom, 0, map.height - 1), lastRow);
}

// A triangle is always one contour, whether contours are looked for or not (its last
// corner is the only one that could close it, and it links back to the first anyway), so
// its outline is fixed and its corners stay in registers.
constexpr u32 kTriangleNext[3] = {1, 2, 0};

// Rows first to last of a triangle. When two of its edges each have one corner above
// the row and one below, the row meets no corner (every corner ends two of the three
// edges) and lies beyond the third edge's rows: forEachSpan's rules take exactly those
// two, with t in (0, 1]. Such a row takes them in edge order, without a branch on where
// the row lies, with forEachSpan's t, x and order of crossings and drawMapRows' depths.
// Any other row (through a corner, above or below the face) goes through drawMapRows.
void drawMapTriangleRows(const ProjectedVertex* polygon, const ShadowDescriptor& map,
                         ShadowTexel* texels, i32 first, i32 last, i16 object)
{
    f32 startY[3], dy[3], startX[3], dx[3], startDepth[3], dd[3], low[3], high[3];
    for (u32 i = 0; i < 3; ++i) {
        const ProjectedVertex& from = polygon[i];
        const ProjectedVertex& to = polygon[kTriangleNext[i]];
        startY[i] = from.screenY;
        dy[i] = to.screenY - from.screenY;
        startX[i] = from.screenX;
        dx[i] = to.screenX - from.screenX;
        startDepth[i] = from.depth;
        dd[i] = to.depth - from.depth;
        low[i] = std::min(from.screenY, to.screenY);
        high[i] = std::max(from.screenY, to.screenY);
    }
    ShadowTexel* rowTexels = texels + map.offset + static_cast<u32>(first * map.width);
    for (i32 row = first; row <= last; ++row, rowTexels += map.width) {
        const f32 y = static_cast<f32>(row);
        const u32 crosses[3] = {u32{low[0] < y} & u32{y < high[0]},
                                u32{low[1] < y} & u32{y < high[1]},
                                u32{low[2] < y} & u32{y < high[2]}};
        const u32 a = crosses[0] ? 0 : 1, b = crosses[2] ? 2 : 1;
        f32 ta = -1.0f, tb = -1.0f;
        if (crosses[0] + crosses[1] + crosses[2] == 2) {
            ta = (y - startY[a]) / dy[a];
            tb = (y - startY[b]) / dy[b];
        }
        // (A t outside [0, 1] cannot come of finite corners; should one, the row goes
        // the general way too.)
        if (!(ta >= 0.0f && ta <= 1.0f && tb >= 0.0f && tb <= 1.0f)) {
            drawMapRows<3>(polygon, kTriangleNext, map, texels, row, row, object);
            continue;
        }
        const f32 xa = startX[a] + dx[a] * ta, xb = startX[b] + dx[b] * tb;
        const f32 da = startDepth[a] + dd[a] * ta, db = startDepth[b] + dd[b] * tb;
        const bool swapped = xb < xa;
        const f32 leftEnd[kMapStride] = {swapped ? xb : xa, swapped ? db : da};
        const f32 rightEnd[kMapStride] = {swapped ? xa : xb, swapped ? da : db};
        fillMapSpan(rowTexels, map.width, leftEnd, rightEnd, object);
    }
}

void drawMapTriangle(const u32* vertices, const ShadowDescriptor& map, ShadowTexel* texels,
                     const ProjectedVertex* table, i16 object, i32 firstRow, i32 lastRow)
{
    ProjectedVertex polygon[3];
    for (u32 s = 0; s < 3; ++s) {
        polygon[s] = table[vertices[s]];
        if (!CornerDefined(polygon[s])) return;
    }
    const f32 top = std::min(std::min(polygon[0].screenY, polygon[1].screenY), polygon[2].screenY);
    const f32 bottom =
        std::max(std::max(polygon[0].screenY, polygon[1].screenY), polygon[2].screenY);
    const i32 first = firstMapRow(top, map, firstRow);
    const i32 last = lastMapRow(bottom, map, lastRow);
    if (first > last) return;
    drawMapTriangleRows(polygon, map, texels, first, last, object);
}

// One face into rows firstRow to lastRow of the map, with one thread's buffers.
void drawFaceRows(const World& world, const ShadowDescriptor& map, ShadowTexel* texels,
                  const ProjectedVertex* table, const FaceScratch& scratch, const FaceRecord& face,
                  bool detectContours, i16 object, i32 firstRow, i32 lastRow)
{
    const u32 slots = static_cast<u32>(face.vertexCount);
    const u32* vertices = world.faceIndices + face.firstIndex;
    if (slots == 3) {
        drawMapTriangle(vertices, map, texels, table, object, firstRow, lastRow);
        return;
    }
    f32 top = 0.0f, bottom = 0.0f;
    for (u32 s = 0; s < slots; ++s) {
        const ProjectedVertex& corner = table[vertices[s]];
        if (!CornerDefined(corner)) return;
        scratch.polygon[s] = corner;
        if (s == 0 || corner.screenY < top) top = corner.screenY;
        if (s == 0 || corner.screenY > bottom) bottom = corner.screenY;
    }
    const i32 first = firstMapRow(top, map, firstRow);
    const i32 last = lastMapRow(bottom, map, lastRow);
    if (first > last) return;
    linkContours(world, vertices, slots, detectContours, scratch.slotNext, scratch.contourEnds);
    if (slots == 4) {
        drawMapRows<4>(scratch.polygon, scratch.slotNext, map, texels, first, last, object);
        return;
    }
    drawMapRowsGeneral(scratch, slots, map, texels, first, last, object);
}

// The map drawn by every thread of the frame, each a band of its rows: objects nearest
// the light first, each one's faces in table order; then the light coordinates.
void drawMapFast(World& world, RenderState& render, const ShadowDescriptor& map,
                 ShadowTexel* texels, u32 j, u32 lights)
{
    orderObjectsFromLight(world, render);
    mapCoordinates(world, render, map, j, lights);
    const u32 parts =
        std::clamp<u32>(std::min(render.frameParts, render.bandScratchCount + 1), 1, kMostBands);
    const u32 rows = static_cast<u32>(map.height);
    auto band = [&](u32 part) {
        const i32 firstRow = static_cast<i32>(PartStart(rows, parts, part));
        const i32 lastRow = static_cast<i32>(PartStart(rows, parts, part + 1)) - 1;
        if (firstRow > lastRow) return;
        // Every texel empty: object 0, depth 0, all bytes zero.
        std::memset(
            static_cast<void*>(texels + map.offset + static_cast<u32>(firstRow * map.width)), 0,
            sizeof(ShadowTexel) * static_cast<u32>((lastRow - firstRow + 1) * map.width));
        const FaceScratch scratch = BandScratch(render, part);
        for (i16 i = 0; i < world.objectCount; ++i) {
            const i16 object = static_cast<i16>(render.objectOrder[i]);
            const ObjectRecord& record = world.objects[object];
            const RowRange faces = ObjectFaces(world, record);
            for (u32 f = faces.first; f < faces.first + faces.count; ++f) {
                const FaceRecord& face = world.faces[f];
                if (!FaceCornersValid(world, face)) continue; // the hidden mark of such a face
                drawFaceRows(world, map, texels, render.projected, scratch, face, record.tag == 12,
                             static_cast<i16>(object + 1), firstRow, lastRow);
            }
        }
    };
    RunParts(render, parts, band);
}

} // namespace

bool BuildShadowMaps(World& world, RenderState& render, const FrameState& frame)
{
    (void)frame;
    render.shadowLightCount = 0;
    ReleaseShadowMaps(render);
    const u32 lights = ShadowLightsFor(world);
    const i32 width = 2 * render.screenCentreX;
    const i32 height = 2 * render.screenCentreY;
    if (width <= 0 || height <= 0 || !render.shadowDescriptors || !render.lightCoordinates)
        return false;
    if (render.lightCoordinateCapacity < u64{world.faceIndexCount} * 3u * lights) return false;

    // Decide which lights get a map first, so the block is allocated before any vertex
    // leaves world coordinates.
    u64 texels = 0;
    for (u32 j = 0; j < lights; ++j) {
        ShadowDescriptor& map = render.shadowDescriptors[j];
        std::memset(&map, 0, sizeof map);
        f32 heading = 0.0f, elevation = 0.0f;
        map.active = lightAngles(world, j, heading, elevation) ? 1 : 0;
        map.width = static_cast<i16>(width); // twice a centre of a 16-bit size: fits
        map.height = static_cast<i16>(height);
        map.offset = static_cast<u32>(texels);
        if (!map.active) continue;
        setRotation(map, heading, elevation);
        map.size = static_cast<u32>(width * height);
        texels += map.size;
    }
    if (texels == 0) return false;
    render.shadowMaps = PluginAllocArray(texels + 1, sizeof(ShadowTexel)); // and one spare
    if (!render.shadowMaps) return false;
    ShadowTexel* block = static_cast<ShadowTexel*>(render.shadowMaps);

    bool any = false;
    for (u32 j = 0; j < lights; ++j) {
        ShadowDescriptor& map = render.shadowDescriptors[j];
        if (!map.active) continue;
        turnToLight(world, render, map);
        if (hasExtent(map)) {
            if (render.referencePath || !facesInAnyOrder(map)) {
                drawMap(world, render, map, block);
                storeLightCoordinates(world, render, map, j, lights);
            } else {
                drawMapFast(world, render, map, block, j, lights);
            }
            any = true;
        } else {
            map.active = 0;
        }
        turnBack(world, render, map);
    }
    render.shadowLightCount = any ? lights : 0;
    return any;
}

void ReleaseShadowMaps(RenderState& render)
{
    PluginFree(render.shadowMaps);
    render.shadowMaps = nullptr;
    render.shadowLightCount = 0;
}
