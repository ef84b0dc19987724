// render/buffers.h - the renderer's working buffers sized from the world: orders,
// projected tables, the per-face scratch of the scan converter, the vertex face lists
// and the shadow tables.
//
// Owns: every buffer of RenderState (allocated through PluginAlloc, freed through
// PluginFree, each pointer cleared once freed).
// Reads: the World's counts, faces and objects (to size the largest face and the face
// lists).
// Entry points: EnsureWorldBuffers, EnsureRightEyeTable, EnsureShadowTables,
//               ShadowLightsFor (AllocateWorldBuffers, FreeWorldBuffers,
//               BuildVertexFaceLists, SetStereo, SetShadows, SetReflection are in
//               render/render.h).
// Failure: a buffer that cannot be had leaves the one before it in place (or none) and
// answers false; nothing is left half-sized.
#pragma once

#include "render/render.h"

// The most values a slot or crossing carries: screen x, depth, three colours, three
// highlights, two texture and two reflection coordinates, and three light coordinates
// for each of eight shadow lights.
constexpr u32 kMaxScanValues = 2 + 3 + 3 + 2 + 2 + 3 * 8;

// Faces keep at least this much per-face room, as the original buffers did.
constexpr u32 kMinimumCornerRoom = 1000;

// Makes every working buffer of a single view fit the world's current counts (and the
// right-eye table when `stereo`). `allocated` turns true when any buffer was
// (re)allocated, so that the caller builds the derived tables again.
bool EnsureWorldBuffers(const World& world, RenderState& render, bool stereo, bool& allocated);

// The right-eye projected table, one record per vertex.
bool EnsureRightEyeTable(const World& world, RenderState& render);

// Shadow descriptors (room for 8 lights) and the light coordinates of every corner for
// ShadowLightsFor(world) lights, zero-filled when new.
bool EnsureShadowTables(const World& world, RenderState& render);

// The depth blocks of the Viewer's depth buffer (and of the right eye's in stereo) for
// the frame's size, no pixel known (the depth buffers start the frame empty).
bool ResetDepthTiles(RenderState& render, const FrameState& frame, bool stereo);

// Per-face buffers for bands 1 to bands - 1 (band 0 uses RenderState's own), each with
// corners.capacity slots. False when they cannot be had; the frame is then drawn whole.
bool EnsureBandScratch(RenderState& render, u32 bands);

// Frees the shadow descriptors and light coordinates.
void FreeShadowTables(RenderState& render);
