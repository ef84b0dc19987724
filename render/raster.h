// render/raster.h - drawing one object into the frame: faces nearest first, each lit
// per corner and filled row by row with the even-odd rule, every pixel decided by the
// depth buffer and blended when the material is transparent.
//
// Reads: the World (view coordinates, face normals, hidden marks), RenderState (face
// order, projected tables, face lists, shadow maps, reflection flag), the material's
// texture and the reflection image.
// Writes: the FrameState's frame buffer and depth buffer (and, in stereo, the
// right-eye depth buffer); the per-face scratch of RenderState.
// Entry points: RasterizeObject, RasterizeObjectStereo, RasterizeObjectRows.
// Clipping is two-dimensional only: to the image's rows, then per span to its columns.
// An object with no vertices or no material (index below 0), and any face with a
// corner whose screen position is undefined (NaN), are passed over.
#pragma once

#include "render/render.h"

// The single view: all three colour channels, the Viewer's depth buffer.
void RasterizeObject(const World& world, RenderState& render, FrameState& frame, i16 object);

// The red/cyan anaglyph: the left eye into the red byte with the Viewer's depth buffer,
// the right eye into green and blue with the right-eye depth buffer; both eyes share the
// corner colours.
void RasterizeObjectStereo(const World& world, RenderState& render, FrameState& frame, i16 object);

// One band of a frame on the fast path: rows firstRow to lastRow (inside the image) of
// the object, single view or anaglyph as the frame says, with a thread's own per-face
// buffers. Every pixel of the band sees the same writes, in the same order, as when the
// whole frame is drawn at once. Needs this frame's drawing order (PrepareFrame).
void RasterizeObjectRows(const World& world, RenderState& render, FrameState& frame, i16 object,
                         i32 firstRow, i32 lastRow, const FaceScratch& scratch);
