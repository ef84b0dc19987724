// render/lighting.h - the colour of one polygon corner from the world's lights.
//
// Reads: the World's lights (in view coordinates during a frame), materials and their
// colour ramps.
// Writes: a corner colour record of nine floats: untextured red, green, blue; textured
// diffuse factors red, green, blue; textured highlight red, green, blue (0..1 a light,
// summed over the lights, so they may pass 1).
// Entry points: ShadeCorner, LightDirection, AddLightContribution, PrepareLights,
//               ShadePreparedCorner (BuildColourRamps, BuildMaterialRamps and
//               FreeMaterialRamps are in render/render.h).
// Light directions: every vector here points from the corner toward the light.
#pragma once

#include "render/render.h"

constexpr i32 kCornerColourValues = 9;
constexpr f32 kRampScale = 1000.0f; // a wrapped cosine of 0..1 to ramp entries 0..1000

// The surface a corner belongs to: its unit normal and the face's facing value (the
// eye is on the face's back side when it is 0 or less).
struct CornerSurface {
    f32 normal[3];
    f32 facing;
};

// Clears the record, then adds every enabled light that reaches the corner (the
// built-in camera light when the world has none, and after the world's own lights when
// world.vrmlHeadlight and headlightOn say the headlight shines). `material` must name a
// row.
void ShadeCorner(const World& world, i16 material, const CornerSurface& surface,
                 const f32 position[3], f32 record[kCornerColourValues]);

// The unit vector from `position` toward the light and the light's distance. False for
// a light that gives no direction here: a corner at the light's own position, a zero
// direction row, or a kind other than 1, 2 and 3.
bool LightDirection(const World& world, const LightRecord& light, const f32 position[3],
                    f32 toLight[3], f32& distance);

// Builds the ramps of every material row (row 0 alone when there is none), allocating
// the ones missing; false when a table or memory is missing.
bool BuildRampTables(World& world);

// Adds one light's diffuse and highlight colour to the record. `light` null stands for
// the built-in light fixed to the camera, white, from (-1, 1, 1) / sqrt(3).
void AddLightContribution(const LightRecord* light, const MaterialRecord& material,
                          f32* const ramps[6], const f32 toLight[3], f32 distance,
                          const CornerSurface& surface, f32 record[kCornerColourValues]);

// --- The fast path: what a frame's lights have in common for every corner ---------------

// One light of the world as ShadeCorner meets it, with what does not depend on the corner
// worked out once a frame (in view coordinates): a directional light's unit vector and
// length, a spot's cone.
struct PreparedLight {
    const LightRecord* light; // its row; skipped lights are not prepared
    const f32* position;      // point and spot lights: where they stand; else null
    f32 toLight[3];           // directional: the unit vector toward the light
    f32 distance;             // directional: the length of its row
    const f32* spotDirection; // spot lights: the cone's axis as read; else null
    f32 spotLength;           // its length
    f32 coneCosine;           // cos(pi x cone), as insideCone takes it
};

// The lights of this frame that can shine (enabled, with a row of their kind), in table
// order, into render.preparedLights (grown when the world has more lights). False when
// the room for them cannot be had.
bool PrepareLights(const World& world, RenderState& render);

// ShadeCorner with the prepared lights of this frame: the same contributions, added in
// the same order, so the same record.
void ShadePreparedCorner(const World& world, const RenderState& render, i16 material,
                         const CornerSurface& surface, const f32 position[3],
                         f32 record[kCornerColourValues]);
