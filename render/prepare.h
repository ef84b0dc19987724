// render/prepare.h - the per-frame preparation: everything the rasterizer needs, in
// its fixed order.
//
// Reads and writes: see render/camera.h, render/faces.h, render/shadow.h and
// render/buffers.h, whose stages it runs.
// Entry points: PrepareFrame.
#pragma once

#include "render/render.h"

// Working buffers made to fit the world (the derived tables built again when any had to
// be allocated), the right-eye depth buffer in stereo, screen geometry, view matrix,
// shadow maps, vertices and lights into view coordinates, face normals, view bounds,
// the sort and the projection. False, with the world still in world coordinates, when
// a buffer the frame needs cannot be had.
bool PrepareFrame(World& world, RenderState& render, FrameState& frame);
