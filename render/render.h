// render/render.h - the software renderer's entry points, used by the Viewer window,
// the loading sequence and the option switches.
//
// Owns: FrameState (one per Viewer: render size, frame/background/depth buffers,
// shadow and stereo flags) and RenderState (one per
// library: view matrix and screen geometry of the last frame, the working buffers
// sized from the world, the shadow tables, the reflection flag).
// Reads: the World's geometry, materials, textures, lights, camera and background.
// Writes: the World's vertices and lights in place during a frame (view coordinates
// from PrepareFrame to RestoreWorld), face flags and normals, colour ramps,
// generated texture coordinates.
// The renderer only draws: RenderFrame fills the frame buffer and returns; the Viewer
// presents it. It knows no windows.
// Failure: allocations are checked; a buffer that cannot be had leaves the frame
// undrawn (false), never a write through null. Nothing throws.
#pragma once

#include "base/types.h"
#include "world/tables.h"

#include <string>

// One record per rendered pixel, rows top-down (index y x W + x).
struct DepthRecord {
    f32 depth;  // view depth of the surface stored here (not its reciprocal)
    i32 object; // index of the object stored last
    u16 state;  // kDepthEmpty, kDepthOpaque or kDepthBlended
};
constexpr u16 kDepthEmpty = 0;
constexpr u16 kDepthOpaque = 1;
constexpr u16 kDepthBlended = 2;

// The Viewer's renderer fields. Buffers come from PluginAlloc.
struct FrameState {
    i16 renderWidth = 0;                // W: pixels of the rendered image
    i16 renderHeight = 0;               // H
    u8* frameBuffer = nullptr;          // W x H x 4: blue, green, red, unused; rows bottom-up
    u8* backgroundBuffer = nullptr;     // same layout; every frame starts as a copy of it
    DepthRecord* depthBuffer = nullptr; // W x H records; belongs to this Viewer
    u16 shadowFlag = 0;                 // 1 = shadows
    u16 stereoFlag = 0;                 // 1 = red/cyan anaglyph
};

struct ShadowDescriptor; // render/shadow.h
struct FrameWorkers;     // render/workers.h
struct PreparedLight;    // render/lighting.h
struct ProjectedVertex {
    f32 screenX; // pixel column, may lie outside the image
    f32 screenY; // pixel row, 0 at the top
    f32 depth;   // view depth, signed, not divided
};

// A face the frame draws (the fast path's drawing order, render/faces.h).
struct DrawFace {
    u32 key;  // its nearest corner's depth as an ordered integer (OrderedDepthKey)
    u32 face; // row of faces
    // A drawn surface nearer than this hides every pixel of the face: its nearest corner
    // less a thousandth of its largest corner depth, far more than the rounding of the
    // depths worked out along its edges and spans.
    f32 hiddenBelow;
    i16 firstRow; // the first and last rows of the image an edge of the face can cross
    i16 lastRow;
    // The columns of the image its spans can write: for the single view (or the left eye)
    // and the right eye; first > last where an eye writes none.
    i16 firstColumn[2];
    i16 lastColumn[2];
};

// A coarse summary of one depth buffer, for the fast path's test of faces against what
// is drawn: per block of kDepthTileSide x kDepthTileSide pixels, how many of its pixels,
// counted row by row from its top left, are known to hold an opaque surface, and the
// farthest of their depths. Opaque faces only bring an opaque pixel nearer, so what is
// known stays true until a transparent face draws into the block.
constexpr i32 kDepthTileShift = 3;
constexpr i32 kDepthTileSide = 1 << kDepthTileShift;
struct DepthTiles {
    f32* farthest = nullptr; // bounds the depths of the known pixels
    u8* known = nullptr;     // 0 .. kDepthTileSide squared (fewer at the image's edges)
    u32 capacity = 0;        // blocks
    i32 columns = 0;         // blocks across and down the image
    i32 rows = 0;
};

// One thread's per-face buffers of the scan converter (`capacity` slots each; slot s is
// corner s of the face being drawn): the corners with their colours and reflection
// coordinates, each slot's successor along the outline, whether its edge can still cross
// a later row, the contour ends, and the values of each slot and of each crossing of one
// row.
struct FaceScratch {
    ProjectedVertex* polygon = nullptr;
    f32 (*colours)[9] = nullptr;
    f32 (*reflections)[2] = nullptr;
    u32* slotNext = nullptr;
    u8* slotValid = nullptr;
    u32* contourEnds = nullptr;
    f32* slotValues = nullptr;     // kMaxScanValues floats a slot (render/buffers.h)
    f32* crossingValues = nullptr; // the same a crossing
    u32* crossingOrder = nullptr;
    u32 capacity = 0;
};

// Renderer state shared by all Viewers of the library (one world per library).
struct RenderState {
    // Camera products of the last frame (navigation reads them between frames).
    f32 forward[3] = {1, 0, 0}; // F: unit viewing direction
    f32 left[3] = {0, 1, 0};    // L: unit vector to the viewer's left
    f32 up[3] = {0, 0, 1};      // U: unit vector up in the image
    // The eye point the three rows were built from. The depth buffer measures from this
    // eye, so a point picked from it goes back into the world with it, even when the
    // camera has moved since the frame was drawn.
    f32 viewEye[3] = {0, 0, 0};
    i32 screenCentreX = 0;
    i32 screenCentreY = 0;
    f32 aspectRatio = 1.0f;     // H / W
    f32 viewMin[3] = {0, 0, 0}; // view bounds of the last frame
    f32 viewMax[3] = {0, 0, 0};
    f32 sceneCentre[3] = {0, 0, 0};
    f32 sceneDiameter = 0.0f;

    u16 reflectionFlag = 0; // 1 = 40 % of the reflection image on every surface

    // Working buffers sized from the world (AllocateWorldBuffers, or PrepareFrame when
    // one is missing or too small for the current counts). Capacities in elements.
    u32* objectOrder = nullptr; // object index in the low 16 bits
    u32 objectOrderCapacity = 0;
    u32* faceOrder = nullptr; // one entry per face row
    u32 faceOrderCapacity = 0;
    ProjectedVertex* projected = nullptr; // one per vertex (left eye in stereo)
    u32 projectedCapacity = 0;
    ProjectedVertex* projectedRight = nullptr; // right eye, stereo only
    u32 projectedRightCapacity = 0;
    // Per-corner buffers of the face the calling thread draws (room for the largest
    // face); the other bands have their own in bandScratch.
    FaceScratch corners;
    // Faces using each vertex.
    u32* faceScratch = nullptr;
    u32 faceScratchCapacity = 0;
    u32* vertexFaceLists = nullptr;
    u32 vertexFaceListCapacity = 0;
    u16* vertexFaceCounts = nullptr; // list heads: count ...
    u32* vertexFaceStarts = nullptr; // ... and start
    u32 vertexFaceHeadCapacity = 0;
    bool derivedTablesBuilt = false;
    // Sort keys, kept from frame to frame (objectCount and faceCount entries).
    f32* objectKeys = nullptr;
    u32 objectKeyCapacity = 0;
    f32* faceKeys = nullptr;
    u32 faceKeyCapacity = 0;
    // The fast path's drawing order: for each object, the faces that can write a pixel
    // this frame, nearest first, as one run of drawFaces (drawFirst and drawCount by
    // object index); drawSorting is the sort's second buffer.
    DrawFace* drawFaces = nullptr;
    DrawFace* drawSorting = nullptr;
    u32 drawFaceCapacity = 0;
    u32* drawFirst = nullptr;
    u32* drawCount = nullptr;
    u32 drawObjectCapacity = 0;
    bool drawOrderReady = false; // built by this frame's PrepareFrame
    DepthTiles depthTiles[2];    // of the Viewer's depth buffer, and of the right eye's
    // The lights of this frame with what every corner shares worked out (the fast path).
    PreparedLight* preparedLights = nullptr;
    u32 preparedLightCapacity = 0;
    u32 preparedLightCount = 0;

    // The world counts the buffers above were sized and the derived tables built for;
    // PrepareFrame sizes them again when the world no longer matches.
    i16 sizedObjectCount = -1;
    u32 sizedVertexCount = 0;
    u32 sizedFaceCount = 0;
    u32 sizedFaceIndexCount = 0;
    u32 largestFace = 0; // corners of the world's largest face

    // Shadows (allocated while the shadow flag is on).
    ShadowDescriptor* shadowDescriptors = nullptr; // room for 8 lights
    f32* lightCoordinates = nullptr;               // per corner: u, v, depth for each shadow light
    u32 lightCoordinateCapacity = 0;               // floats
    void* shadowMaps = nullptr;                    // allocated and freed every frame
    u32 shadowLightCount = 0;                      // lights with a shadow map this frame (0..8)
    DepthRecord* rightDepthBuffer = nullptr;       // stereo, during a frame only

    // Threads that draw a frame, each a band of rows with every object and face that
    // reaches it, in the same order (0: one for each processor; 1: the calling thread
    // alone). An option, kept when the world's buffers go.
    u32 frameThreads = 0;
    FrameWorkers* workers = nullptr;    // started with the first frame drawn in bands
    FaceScratch* bandScratch = nullptr; // the per-face buffers of bands 1, 2, ...
    u32 bandScratchCount = 0;
    u32 frameParts = 1; // threads this frame's preparation shares its passes between

    // Takes the plain path everywhere the renderer has a faster one (the face sort, the
    // skipping of hidden faces, the span loops, the bands); tests compare the two to
    // prove that the fast path draws the same pixels.
    bool referencePath = false;
};

// --- Frame buffers (one Viewer) ------------------------------------------------------

// Frame, background and depth buffers for W x H, zero-filled; false when memory ran
// out (whatever was allocated is freed again). W or H of 0 gives empty buffers.
bool CreateFrameBuffers(FrameState& frame, i16 width, i16 height);
// New size for every buffer, then PrepareBackground. The frame buffer keeps what fits;
// the depth buffer starts empty, as its old records belong to rows of another width
// and would answer a pick with a surface that is not there.
bool ResizeFrameBuffers(const World& world, FrameState& frame, i16 width, i16 height);
// Fills the background buffer: mode 1 the solid colour, mode 3 the picture (left as it
// was when the picture cannot be had; `problem`, when given, then says why).
void PrepareBackground(const World& world, FrameState& frame, std::string* problem = nullptr);
void FreeFrameBuffers(FrameState& frame);

// --- Per-world tables (the loading sequence) -------------------------------------------

// Step 6 of the load: the working buffers sized from the world's counts.
bool AllocateWorldBuffers(const World& world, RenderState& render);
// Faces that use each vertex, for smooth shading.
void BuildVertexFaceLists(const World& world, RenderState& render);
// Spherical texture coordinates for textured objects without their own.
void GenerateTexCoords(World& world);
// Step 10 of the load: lightingScale 0.4 and six colour ramps for every material
// (for row 0 when there is no material).
bool BuildMaterialRamps(World& world);
// Fills one material's six ramps (kColourRampEntries floats each).
void BuildColourRamps(const MaterialRecord& material, f32* const ramps[6]);
// Frees the colour ramps of every material row (and of row 0).
void FreeMaterialRamps(World& world);
// Frees every working buffer of RenderState and resets it (the last Viewer's teardown,
// or before a second world); the reflection option is kept.
void FreeWorldBuffers(RenderState& render);

// --- Frames ----------------------------------------------------------------------------

// One complete frame into the frame buffer: background, PrepareFrame, depth clear,
// every object, RestoreWorld. True when a frame was composed, for the Viewer to
// present; false (nothing to present) for W or H of 0 or when PrepareFrame could not
// run.
bool RenderFrame(World& world, RenderState& render, FrameState& frame);

// Camera helpers navigation uses between frames (view matrix of the last frame).
void WorldToView(const World& world, const RenderState& render, f32& first, f32& second,
                 f32& third);
void ViewToWorld(const World& world, const RenderState& render, f32& first, f32& second,
                 f32& third);

// --- Options (the Dashboard's buttons and tarne render's flags) ---------------------------

// Stereo on: the right-eye projected table is allocated; off: freed.
bool SetStereo(const World& world, RenderState& render, FrameState& frame, bool on);
// Shadows on: shadow descriptors (room for 8 lights) and per-corner light
// coordinates; off: released.
bool SetShadows(const World& world, RenderState& render, FrameState& frame, bool on);
void SetReflection(RenderState& render, bool on);
// Threads that draw each frame (0: one for each processor; 1: the calling thread alone).
void SetFrameThreads(RenderState& render, u32 threads);
