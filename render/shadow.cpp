// Shadow maps: an orthographic depth image of the world from each light.
#include "render/shadow.h"

#include "memory/memory.h"
#include "render/faces.h"
#include "render/scan.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

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
        theta = std::atan(static_cast<f64>(d[1]) / d[0]);
        if (d[0] < 0.0f) theta += kPi;
    }
    const f64 horizontal = std::sqrt(static_cast<f64>(d[0]) * d[0] + static_cast<f64>(d[1]) * d[1]);
    const f64 psi = horizontal == 0.0 ? (d[2] < 0.0f ? -kHalfPi : kHalfPi)
                                      : std::atan(static_cast<f64>(d[2]) / horizontal);
    heading = static_cast<f32>(theta);
    elevation = static_cast<f32>(psi);
    return true;
}

void setRotation(ShadowDescriptor& map, f32 heading, f32 elevation)
{
    const f64 ct = std::cos(static_cast<f64>(heading)), st = std::sin(static_cast<f64>(heading));
    const f64 cp = std::cos(static_cast<f64>(elevation)),
              sp = std::sin(static_cast<f64>(elevation));
    const f64 rows[9] = {cp * ct, cp * st, sp, -st, ct, 0.0, -sp * ct, -sp * st, cp};
    for (int i = 0; i < 9; ++i) map.rotation[i] = static_cast<f32>(rows[i]);
}

// Every vertex into the light's frame, in place; the bounds go into the descriptor and
// the depths are counted from the nearest vertex.
void turnToLight(World& world, ShadowDescriptor& map)
{
    const f32* r = map.rotation;
    f32 low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    for (u32 v = 0; v < world.vertexCount; ++v) {
        const f32 x = world.vertexZ[v], y = world.vertexX[v], z = world.vertexY[v];
        const f32 turned[3] = {r[0] * x + r[1] * y + r[2] * z, r[3] * x + r[4] * y + r[5] * z,
                               r[6] * x + r[7] * y + r[8] * z};
        world.vertexZ[v] = turned[0];
        world.vertexX[v] = turned[1];
        world.vertexY[v] = turned[2];
        for (int axis = 0; axis < 3; ++axis) {
            if (v == 0 || turned[axis] < low[axis]) low[axis] = turned[axis];
            if (v == 0 || turned[axis] > high[axis]) high[axis] = turned[axis];
        }
    }
    map.minDepth = low[0];
    map.minLeft = low[1];
    map.minUp = low[2];
    map.depthRange = high[0] - low[0];
    map.maxLeft = high[1];
    map.maxUp = high[2];
    for (u32 v = 0; v < world.vertexCount; ++v) world.vertexZ[v] -= map.minDepth;
}

void turnBack(World& world, const ShadowDescriptor& map)
{
    const f32* r = map.rotation;
    for (u32 v = 0; v < world.vertexCount; ++v) {
        const f32 d = world.vertexZ[v] + map.minDepth, l = world.vertexX[v], u = world.vertexY[v];
        world.vertexZ[v] = r[0] * d + r[3] * l + r[6] * u;
        world.vertexX[v] = r[1] * d + r[4] * l + r[7] * u;
        world.vertexY[v] = r[2] * d + r[5] * l + r[8] * u;
    }
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
void fillMapSpan(ShadowTexel* row, i32 width, const f32* left, const f32* right, i16 object)
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

void drawFaceIntoMap(const World& world, RenderState& render, const ShadowDescriptor& map,
                     ShadowTexel* texels, const FaceRecord& face, bool detectContours, i16 object)
{
    const u32 slots = static_cast<u32>(face.vertexCount);
    assert(slots <= render.cornerCapacity); // sized for the world's largest face
    const u32* vertices = world.faceIndices + face.firstIndex;
    f32 top = 0.0f, bottom = 0.0f;
    for (u32 s = 0; s < slots; ++s) {
        const ProjectedVertex& corner = render.projected[vertices[s]];
        if (std::isnan(corner.screenX) || std::isnan(corner.screenY) || std::isnan(corner.depth))
            return;
        render.polygonBuffer[s] = corner;
        render.slotValues[s * kMapStride] = corner.screenX;
        render.slotValues[s * kMapStride + 1] = corner.depth;
        render.slotValid[s] = 1;
        if (s == 0 || corner.screenY < top) top = corner.screenY;
        if (s == 0 || corner.screenY > bottom) bottom = corner.screenY;
    }
    linkContours(world, vertices, slots, detectContours, render.slotNext, render.contourEnds);
    const i32 firstRow = clampTrunc(top, 0, map.height - 1);
    const i32 lastRow = clampTrunc(bottom, 0, map.height - 1);
    for (i32 y = firstRow; y <= lastRow; ++y) {
        const u32 count = findCrossings(static_cast<f32>(y), render.polygonBuffer, render.slotNext,
                                        render.slotValid, slots, render.slotValues, kMapStride,
                                        render.crossingValues);
        if (count < 2) continue;
        sortCrossings(render.crossingValues, kMapStride, render.crossingOrder, count);
        ShadowTexel* row = texels + map.offset + static_cast<u32>(y * map.width);
        for (u32 p = 0; p + 1 < count; p += 2) {
            fillMapSpan(row, map.width,
                        render.crossingValues + render.crossingOrder[p] * kMapStride,
                        render.crossingValues + render.crossingOrder[p + 1] * kMapStride, object);
        }
    }
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
        turnToLight(world, map);
        if (hasExtent(map)) {
            drawMap(world, render, map, block);
            storeLightCoordinates(world, render, map, j, lights);
            any = true;
        } else {
            map.active = 0;
        }
        turnBack(world, map);
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
