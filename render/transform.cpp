// The whole world into view coordinates and back, in place, once per frame.
#include "render/camera.h"

#include <cmath>

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

} // namespace

void TransformVertices(World& world, RenderState& render)
{
    const f32 ex = world.camera.eyePoint[0];
    const f32 ey = world.camera.eyePoint[1];
    const f32 ez = world.camera.eyePoint[2];
    const f32 f0 = render.forward[0], f1 = render.forward[1], f2 = render.forward[2];
    const f32 l0 = render.left[0], l1 = render.left[1], l2 = render.left[2];
    const f32 u0 = render.up[0], u1 = render.up[1], u2 = render.up[2];
    f32* first = world.vertexZ;
    f32* second = world.vertexX;
    f32* third = world.vertexY;
    for (u32 v = 0; v < world.vertexCount; ++v) {
        const f32 x = first[v] - ex, y = second[v] - ey, z = third[v] - ez;
        first[v] = f0 * x + f1 * y + f2 * z;
        second[v] = l0 * x + l1 * y + l2 * z;
        third[v] = u0 * x + u1 * y + u2 * z;
    }
    if (world.vertexCount == 0) return;
    // The bounds start at vertex 0 and widen only on strictly larger or smaller values.
    f32* mins = render.viewMin;
    f32* maxs = render.viewMax;
    mins[0] = maxs[0] = first[0];
    mins[1] = maxs[1] = second[0];
    mins[2] = maxs[2] = third[0];
    for (u32 v = 1; v < world.vertexCount; ++v) {
        if (first[v] < mins[0]) mins[0] = first[v];
        if (first[v] > maxs[0]) maxs[0] = first[v];
        if (second[v] < mins[1]) mins[1] = second[v];
        if (second[v] > maxs[1]) maxs[1] = second[v];
        if (third[v] < mins[2]) mins[2] = third[v];
        if (third[v] > maxs[2]) maxs[2] = third[v];
    }
}

void TransformLights(World& world, const RenderState& render)
{
    moveLights(
        world, [&](f32* p) { WorldToView(world, render, p[0], p[1], p[2]); },
        [&](f32* d) { rotateToView(render, d); });
}

void RestoreWorld(World& world, const RenderState& render)
{
    const f32 ex = world.camera.eyePoint[0];
    const f32 ey = world.camera.eyePoint[1];
    const f32 ez = world.camera.eyePoint[2];
    const f32 f0 = render.forward[0], f1 = render.forward[1], f2 = render.forward[2];
    const f32 l0 = render.left[0], l1 = render.left[1], l2 = render.left[2];
    const f32 u0 = render.up[0], u1 = render.up[1], u2 = render.up[2];
    f32* first = world.vertexZ;
    f32* second = world.vertexX;
    f32* third = world.vertexY;
    for (u32 v = 0; v < world.vertexCount; ++v) {
        const f32 depth = first[v], left = second[v], up = third[v];
        first[v] = f0 * depth + l0 * left + u0 * up + ex;
        second[v] = f1 * depth + l1 * left + u1 * up + ey;
        third[v] = f2 * depth + l2 * left + u2 * up + ez;
    }
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
