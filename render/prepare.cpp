// The fixed order of a frame's preparation.
#include "render/prepare.h"

#include "memory/memory.h"
#include "render/buffers.h"
#include "render/camera.h"
#include "render/faces.h"
#include "render/lighting.h"
#include "render/shadow.h"

#include <cstring>

namespace {

// The right eye's depth buffer lives for one stereo frame and starts empty.
bool allocateRightDepth(RenderState& render, const FrameState& frame)
{
    PluginFree(render.rightDepthBuffer);
    const u64 records =
        u64{static_cast<u32>(frame.renderWidth)} * static_cast<u32>(frame.renderHeight);
    render.rightDepthBuffer =
        static_cast<DepthRecord*>(PluginAllocArray(records, sizeof(DepthRecord)));
    if (!render.rightDepthBuffer) return false;
    // The block exists, so its size fits a size_t on a 32-bit system too.
    std::memset(static_cast<void*>(render.rightDepthBuffer), 0,
                static_cast<std::size_t>(records * sizeof(DepthRecord)));
    return true;
}

void projectVertices(const World& world, RenderState& render, bool stereo)
{
    if (stereo) {
        ProjectVerticesStereo(world, render);
    } else {
        ProjectVertices(world, render);
    }
}

} // namespace

bool PrepareFrame(World& world, RenderState& render, FrameState& frame)
{
    const bool stereo = frame.stereoFlag == 1;
    const bool shadows = frame.shadowFlag == 1;
    if (frame.renderWidth <= 0 || frame.renderHeight <= 0) return false;

    bool allocated = false;
    if (!EnsureWorldBuffers(world, render, stereo, allocated)) return false;
    // Threads beyond the first need buffers of their own for the faces they draw.
    if (render.referencePath || !EnsureBandScratch(render, render.frameParts))
        render.frameParts = 1;
    if (allocated || !render.derivedTablesBuilt) {
        BuildVertexFaceLists(world, render);
        GenerateTexCoords(world);
        BuildRampTables(world);
    }
    // Shadows switched on before the world arrived, or a lamp added since: the tables
    // are made to fit now. Without them the frame is drawn without shadows.
    const bool shadowTables = shadows && EnsureShadowTables(world, render);
    render.shadowLightCount = 0;
    if (stereo && !allocateRightDepth(render, frame)) return false;

    SetScreenGeometry(render, frame.renderWidth, frame.renderHeight);
    BuildViewMatrix(world, render);
    if (shadowTables) {
        BuildShadowMaps(world, render, frame);
        SetScreenGeometry(render, frame.renderWidth, frame.renderHeight);
    }
    TransformVertices(world, render);
    TransformLights(world, render);
    render.drawOrderReady = false;
    if (render.referencePath) {
        for (i16 o = 0; o < world.objectCount; ++o) ComputeFaceNormals(world, o);
        ComputeViewBounds(render);
        SortObjectsAndFaces(world, render);
        projectVertices(world, render, stereo);
        return true;
    }
    // The fast path projects first: the pass that gives the faces their normals and
    // keys keeps only those whose corners can reach a pixel.
    ComputeViewBounds(render);
    projectVertices(world, render, stereo);
    if (!BuildDrawOrder(world, render, frame) || !ResetDepthTiles(render, frame, stereo) ||
        !PrepareLights(world, render)) {
        render.drawOrderReady = false;
        for (i16 o = 0; o < world.objectCount; ++o) ComputeFaceNormals(world, o);
        SortObjectsAndFaces(world, render);
    }
    return true;
}
