// The whole world into view coordinates and back, in place, once per frame.
#include "render/camera.h"

#include "render/workers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Rotation only: directions have no position, so the eye point is not subtracted.
void rotateToView(const RenderState& render, f32* v)
{
    const f32 x = v[0], y = v[1], z = v[2];
    v[0] = render.forward[0] * x + render.forward[1] * y + render.forward[2] * z;
    v[1] = render.left[0] * x + render.left[1] * y + render.left[2] * z;
    v[2] = render.up[0] * x + render.up[1] * y + render.up[2] * z;
}

void rotateToWorld(const RenderState& render, f32* v)
{
    const f32 depth = v[0], left = v[1], up = v[2];
    v[0] = render.forward[0] * depth + render.left[0] * left + render.up[0] * up;
    v[1] = render.forward[1] * depth + render.left[1] * left + render.up[1] * up;
    v[2] = render.forward[2] * depth + render.left[2] * left + render.up[2] * up;
}

// The per-kind row a light names, or null when its kindIndex lies outside the table.
f32* directionalRow(World& world, const LightRecord& light)
{
    if (light.kindIndex < 0 || light.kindIndex >= world.directionalLightCount) return nullptr;
    return world.directionalLights[light.kindIndex];
}

f32* pointRow(World& world, const LightRecord& light)
{
    if (light.kindIndex < 0 || light.kindIndex >= world.pointLightCount) return nullptr;
    return world.pointLights[light.kindIndex];
}

SpotLightRow* spotRow(World& world, const LightRecord& light)
{
    if (light.kindIndex < 0 || light.kindIndex >= world.spotLightCount) return nullptr;
    return &world.spotLights[light.kindIndex];
}

template <class PointMove, class DirectionMove>
void moveLights(World& world, PointMove movePoint, DirectionMove moveDirection)
{
    for (i16 l = 0; l < world.lightCount; ++l) {
        const LightRecord& light = world.lights[l];
        if (light.kind == 1) {
            if (f32* row = directionalRow(world, light)) moveDirection(row);
        } else if (light.kind == 2) {
            if (f32* row = pointRow(world, light)) movePoint(row);
        } else if (light.kind == 3) {
            if (SpotLightRow* spot = spotRow(world, light)) {
                movePoint(spot->location);
                moveDirection(spot->direction);
            }
        }
    }
}

constexpr f32 kBeyond = std::numeric_limits<f32>::infinity();

// The eye point and the view's axes as plain values: the loops below write the vertex
// tables and must not read the camera back through them.
struct ViewBasis {
    f32 ex, ey, ez;
    f32 f0, f1, f2;
    f32 l0, l1, l2;
    f32 u0, u1, u2;
};

ViewBasis viewBasis(const World& world, const RenderState& render)
{
    const f32* eye = world.camera.eyePoint;
    return {eye[0],
            eye[1],
            eye[2],
            render.forward[0],
            render.forward[1],
            render.forward[2],
            render.left[0],
            render.left[1],
            render.left[2],
            render.up[0],
            render.up[1],
            render.up[2]};
}

// Vertices [first, end) into view coordinates, with their bounds.
void transformRange(World& world, const RenderState& render, u32 first, u32 end, f32 low[3],
                    f32 high[3])
{
    const ViewBasis b = viewBasis(world, render);
    f32* depth = world.vertexZ;
    f32* left = world.vertexX;
    f32* up = world.vertexY;
    for (u32 v = first; v < end; ++v) {
        const f32 x = depth[v] - b.ex, y = left[v] - b.ey, z = up[v] - b.ez;
        depth[v] = b.f0 * x + b.f1 * y + b.f2 * z;
        left[v] = b.l0 * x + b.l1 * y + b.l2 * z;
        up[v] = b.u0 * x + b.u1 * y + b.u2 * z;
    }
    f32* axes[3] = {depth, left, up};
    for (int axis = 0; axis < 3; ++axis) {
        f32 lowest = kBeyond, highest = -kBeyond;
        const f32* values = axes[axis];
        for (u32 v = first; v < end; ++v) {
            if (values[v] < lowest) lowest = values[v];
            if (values[v] > highest) highest = values[v];
        }
        low[axis] = lowest;
        high[axis] = highest;
    }
}

void restoreRange(World& world, const RenderState& render, u32 first, u32 end)
{
    const ViewBasis b = viewBasis(world, render);
    f32* firstAxis = world.vertexZ;
    f32* second = world.vertexX;
    f32* third = world.vertexY;
    for (u32 v = first; v < end; ++v) {
        const f32 depth = firstAxis[v], left = second[v], up = third[v];
        firstAxis[v] = b.f0 * depth + b.l0 * left + b.u0 * up + b.ex;
        second[v] = b.f1 * depth + b.l1 * left + b.u1 * up + b.ey;
        third[v] = b.f2 * depth + b.l2 * left + b.u2 * up + b.ez;
    }
}

} // namespace

void TransformVertices(World& world, RenderState& render)
{
    const u32 count = world.vertexCount;
    const u32 parts = FrameParts(render);
    // Each run's own bounds: they start beyond every value and widen only on strictly
    // larger or smaller ones, so a NaN is passed over and, of equal values, the first
    // stays, as in one run.
    f32 runMin[kMostBands][3], runMax[kMostBands][3];
    const RenderState& view = render;
    RunRanges(render, parts, count, [&](u32 first, u32 end, u32 part) {
        transformRange(world, view, first, end, runMin[part], runMax[part]);
    });
    if (count == 0) return;
    // The bounds start at vertex 0 and widen only on strictly larger or smaller values.
    f32* mins = render.viewMin;
    f32* maxs = render.viewMax;
    mins[0] = maxs[0] = world.vertexZ[0];
    mins[1] = maxs[1] = world.vertexX[0];
    mins[2] = maxs[2] = world.vertexY[0];
    for (u32 part = 0; part < parts; ++part) {
        for (int axis = 0; axis < 3; ++axis) {
            if (runMin[part][axis] < mins[axis]) mins[axis] = runMin[part][axis];
            if (runMax[part][axis] > maxs[axis]) maxs[axis] = runMax[part][axis];
        }
    }
}

void TransformLights(World& world, const RenderState& render)
{
    moveLights(
        world, [&](f32* p) { WorldToView(world, render, p[0], p[1], p[2]); },
        [&](f32* d) { rotateToView(render, d); });
}

void RestoreWorld(World& world, RenderState& render)
{
    const RenderState& view = render;
    RunRanges(render, FrameParts(render), world.vertexCount,
              [&](u32 first, u32 end, u32) { restoreRange(world, view, first, end); });
    moveLights(
        world, [&](f32* p) { ViewToWorld(world, render, p[0], p[1], p[2]); },
        [&](f32* d) { rotateToWorld(render, d); });
}

void ComputeViewBounds(RenderState& render)
{
    f32 halfDiagonalSquared = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        render.sceneCentre[axis] = (render.viewMin[axis] + render.viewMax[axis]) / 2.0f;
        const f32 half = render.viewMax[axis] - render.sceneCentre[axis];
        halfDiagonalSquared += half * half;
    }
    render.sceneDiameter = 2.0f * std::sqrt(halfDiagonalSquared);
}
