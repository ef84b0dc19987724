// The option switches.
#include "dashboard/actions.h"

#include <cmath>

namespace {

constexpr f32 kLampFalloff = 0.05f;
constexpr f32 kLampCone = 0.16666667f; // a sixth of pi each side

} // namespace

bool toggleStereo(World& world, RenderState& render, ViewerWindow& viewer)
{
    const bool on = viewer.frame.stereoFlag == 0;
    if (!SetStereo(world, render, viewer.frame, on)) return false;
    viewer.frame.stereoFlag = on ? 1 : 0;
    return true;
}

bool toggleShadows(World& world, RenderState& render, ViewerWindow& viewer)
{
    const bool on = viewer.frame.shadowFlag == 0;
    if (!SetShadows(world, render, viewer.frame, on)) return false;
    viewer.frame.shadowFlag = on ? 1 : 0;
    return true;
}

bool toggleLamp(World& world, InstanceOptions& options)
{
    if (options.lampFlag == 1) {
        options.lampFlag = 0;
        // The lamp is the last light and the last spot light while it is on; a
        // world loaded meanwhile emptied the tables, and then there is nothing to drop.
        if (world.lightCount > 0 && world.spotLightCount > 0 &&
            world.lights[world.lightCount - 1].kind == 3) {
            --world.lightCount;
            --world.spotLightCount;
        }
        return true;
    }
    const i16 light = newLight(world, 3);
    if (light < 0) return false;
    LightRecord& lamp = world.lights[light];
    lamp.falloff = kLampFalloff;
    SpotLightRow& spot = world.spotLights[lamp.kindIndex];
    const Camera& camera = world.camera;
    f32 direction[3];
    for (int c = 0; c < 3; ++c) direction[c] = camera.targetPoint[c] - camera.eyePoint[c];
    const f32 length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] +
                                 direction[2] * direction[2]);
    for (int c = 0; c < 3; ++c) {
        spot.location[c] = camera.eyePoint[c];
        // An eye on its target has no view direction; the lamp then points along the
        // first axis, where a fresh camera looks.
        spot.direction[c] = length > 0.0f ? direction[c] / length : (c == 0 ? 1.0f : 0.0f);
    }
    spot.cone = kLampCone;
    options.lampFlag = 1;
    return true;
}

void toggleReflection(RenderState& render)
{
    SetReflection(render, render.reflectionFlag == 0);
}

bool toggleDisplayScale(InstanceOptions& options, ViewerWindow& viewer)
{
    const f32 before = options.displayScale;
    options.displayScale = before == 1.0f ? 2.0f : 1.0f;
    if (viewer.resizeToClient()) return true;
    options.displayScale = before;
    viewer.resizeToClient();
    return false;
}

void goHome(World& world)
{
    for (int c = 0; c < 3; ++c) {
        world.camera.eyePoint[c] = world.startEyePoint[c];
        world.camera.targetPoint[c] = world.startTargetPoint[c];
    }
}
