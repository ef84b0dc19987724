// render/camera.h - the camera's rotation, the move of the world into view coordinates
// and back, and the projection to the screen.
//
// Reads: the World's camera (eye point, target point, roll and view angle), its
// vertices and lights, and the render size of a FrameState.
// Writes: RenderState's view matrix, screen geometry and view bounds; the World's
// vertex arrays and light rows in place (view coordinates from TransformVertices and
// TransformLights until RestoreWorld); the projected vertex tables.
// Entry points: SetScreenGeometry, BuildViewMatrix, TransformVertices, TransformLights,
//               RestoreWorld, ComputeViewBounds, ProjectVertices, ProjectVerticesStereo
//               (WorldToView and ViewToWorld are declared in render/render.h).
// View coordinates: (depth, left, up), depth positive in front of the eye.
#pragma once

#include "render/render.h"

// The widest half-opening the projection uses: the tangent of larger view angles
// turns negative from pi/2 on and would turn the picture over, so 89 degrees it is.
constexpr f32 kWidestViewAngle = 1.5533430f;

// Screen coordinates beyond this are pinned to it: a vertex in the eye plane divides
// by zero, and a finite stand-in keeps every later difference and slope finite.
constexpr f32 kFarScreen = 1.0e18f;

// Screen centre (W / 2, H / 2, integer division) and aspect ratio H / W.
void SetScreenGeometry(RenderState& render, i16 width, i16 height);

// Forward, left and up rows from the eye point, target point and roll angle; the eye
// point they were built from is kept beside them (viewEye).
void BuildViewMatrix(const World& world, RenderState& render);

// Every vertex to view coordinates in place; widens the view bounds as it goes. The
// vertices are cut into render.frameParts runs done by as many threads; the bounds come
// out the same (each run's are taken with the same strict comparisons, then merged in
// order).
void TransformVertices(World& world, RenderState& render);
// Directional and spot directions rotated, point and spot positions moved like
// vertices, in place. Rows of other kinds, or with a kindIndex outside their table,
// are left alone.
void TransformLights(World& world, const RenderState& render);
// Vertices and lights back to world coordinates (the transposed rotation, then the
// eye point added), in render.frameParts runs.
void RestoreWorld(World& world, RenderState& render);

// Scene centre (middle of the view bounds) and diameter (their diagonal).
void ComputeViewBounds(RenderState& render);

// Single view: |depth| x tan(view angle) divides left and up (in render.frameParts runs).
void ProjectVertices(const World& world, RenderState& render);
// Both eyes, 500 x eyeGap to either side, signed depth; left eye into `projected`,
// right eye into `projectedRight`.
void ProjectVerticesStereo(const World& world, RenderState& render);
