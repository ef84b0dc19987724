// render/shadow.h - shadow maps: the world drawn once from each light into a depth
// image, and the per-pixel test against them.
//
// Owns: the layout of RenderState's shadow descriptors, shadow maps and per-corner
// light coordinates.
// Reads: the World's lights, objects, bounds, faces and vertices (world coordinates:
// BuildShadowMaps runs before the frame moves them to view coordinates).
// Writes: RenderState's descriptors, shadowMaps (allocated here, freed by RenderFrame
// through ReleaseShadowMaps), lightCoordinates and shadowLightCount. On the way it
// turns the vertices into each light's frame and back, and leaves the face normals,
// hidden marks, orders and projected table of the last light (the frame computes
// them again).
// Entry points: BuildShadowMaps, ReleaseShadowMaps, ShadowedBy.
#pragma once

#include "base/convert.h"
#include "render/render.h"

constexpr u32 kMaxShadowLights = 8;

// Lights that cast shadows this frame: the light count limited to 1..8 (a world
// without lights is shadowed from a default direction).
inline u32 ShadowLightsFor(const World& world)
{
    const i32 lights = world.lightCount < 1 ? 1 : world.lightCount;
    return static_cast<u32>(lights > static_cast<i32>(kMaxShadowLights) ? kMaxShadowLights
                                                                        : lights);
}

struct ShadowDescriptor {
    i16 width; // map size in texels: twice the screen centre
    i16 height;
    u32 offset;      // first texel of this map in the shadow map block
    u32 size;        // width x height
    f32 rotation[9]; // the light's forward, left and up rows
    f32 minDepth;    // the light-frame bounds of the world
    f32 minLeft;
    f32 minUp;
    f32 depthRange;
    f32 maxLeft;
    f32 maxUp;
    u8 active; // 1 when this light has a map this frame
};

// One texel of a map: the nearest surface the light sees there.
struct ShadowTexel {
    i16 object; // object index + 1; 0 = empty
    f32 depth;  // depth along the light's direction, from the world's nearest point
};

// Draws every light's map (at most kMaxShadowLights; a light that is switched off, or
// whose view of the world has no extent, gets none) and the light coordinates of every
// corner. False when there is nothing to test against this frame.
bool BuildShadowMaps(World& world, RenderState& render, const FrameState& frame);

// Frees this frame's shadow maps.
void ReleaseShadowMaps(RenderState& render);

// True when map j hides the pixel at light coordinates (u, v, depth) behind another
// object than `object`.
inline bool ShadowedBy(const ShadowDescriptor& map, const ShadowTexel* texels, i32 object, f32 u,
                       f32 v, f32 depth)
{
    const i32 row = clampTrunc(static_cast<f32>(map.height) * u, 0, map.height - 1);
    const i32 column = clampTrunc(static_cast<f32>(map.width) * v, 0, map.width - 1);
    const ShadowTexel& texel = texels[map.offset + static_cast<u32>(row * map.width + column)];
    return texel.object > 0 && texel.object != object + 1 && texel.depth <= depth;
}
