// Perspective projection of every vertex to the screen, for one view or for both eyes.
#include "render/camera.h"

#include "base/portable_math.h"
#include "render/workers.h"

#include <algorithm>
#include <cmath>

namespace {

// Pins an infinite or overlarge screen coordinate to kFarScreen; NaN stays NaN (the
// rasterizer does not draw a face with an undefined corner).
inline f32 pinScreen(f32 v)
{
    if (v > kFarScreen) return kFarScreen;
    if (v < -kFarScreen) return -kFarScreen;
    return v;
}

f32 projectionTangent(const World& world)
{
    return static_cast<f32>(portable::tan(std::min(world.camera.viewAngle, kWidestViewAngle)));
}

void projectRange(const World& world, const RenderState& render, u32 first, u32 end)
{
    const f32 tangent = projectionTangent(world);
    const f32 centreX = static_cast<f32>(render.screenCentreX);
    const f32 centreY = static_cast<f32>(render.screenCentreY);
    const f32 aspect = render.aspectRatio;
    ProjectedVertex* out = render.projected;
    for (u32 v = first; v < end; ++v) {
        const f32 depth = world.vertexZ[v];
        // |depth|: a vertex behind the eye projects as if it stood in front.
        const f32 q = std::fabs(depth) * tangent;
        const f32 k = 1.0f / q;
        out[v].screenX = pinScreen((1.0f - world.vertexX[v] * k) * centreX);
        out[v].screenY = pinScreen((1.0f - world.vertexY[v] * k / aspect) * centreY);
        out[v].depth = depth;
    }
}

void projectRangeStereo(const World& world, const RenderState& render, u32 first, u32 end)
{
    const f32 tangent = projectionTangent(world);
    const f32 centreX = static_cast<f32>(render.screenCentreX);
    const f32 centreY = static_cast<f32>(render.screenCentreY);
    const f32 aspect = render.aspectRatio;
    const f32 gap = world.camera.eyeGap;
    ProjectedVertex* leftEye = render.projected;
    ProjectedVertex* rightEye = render.projectedRight;
    for (u32 v = first; v < end; ++v) {
        const f32 depth = world.vertexZ[v];
        const f32 k = 1.0f / (depth * tangent); // signed: stereo keeps the sign
        const f32 left = world.vertexX[v];
        const f32 screenY = pinScreen((1.0f - world.vertexY[v] * k / aspect) * centreY);
        leftEye[v].screenX = pinScreen((1.0f - (left + gap * -500.0f) * k) * centreX);
        leftEye[v].screenY = screenY;
        leftEye[v].depth = depth;
        rightEye[v].screenX = pinScreen((1.0f - (left + gap * 500.0f) * k) * centreX);
        rightEye[v].screenY = screenY;
        rightEye[v].depth = depth;
    }
}

} // namespace

void ProjectVertices(const World& world, RenderState& render)
{
    const RenderState& view = render;
    RunRanges(render, FrameParts(render), world.vertexCount,
              [&](u32 first, u32 end, u32) { projectRange(world, view, first, end); });
}

void ProjectVerticesStereo(const World& world, RenderState& render)
{
    const RenderState& view = render;
    RunRanges(render, FrameParts(render), world.vertexCount,
              [&](u32 first, u32 end, u32) { projectRangeStereo(world, view, first, end); });
}
