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

// Every instance whose lamp is on, linked through nextLamp: the instances share one
// world, so removing one lamp's rows moves the rows the others remember.
static InstanceOptions* gLampsOn = nullptr;

static void unlinkLamp(InstanceOptions& options)
{
    for (InstanceOptions** link = &gLampsOn; *link; link = &(*link)->nextLamp) {
        if (*link == &options) {
            *link = options.nextLamp;
            break;
        }
    }
    options.nextLamp = nullptr;
    options.lampFlag = 0;
    options.lampLight = options.lampSpot = -1;
}

// Removes light row `light` and spot row `spot` (a lamp's), moving the later rows of
// each table down one, and with them the later spot lights' kindIndex and the rows the
// other lamps remember.
static void removeLampRows(World& world, i16 light, i16 spot)
{
    if (light < 0 || light >= world.lightCount || spot < 0 || spot >= world.spotLightCount) return;
    if (world.lights[light].kind != 3 || world.lights[light].kindIndex != spot) return;
    for (i16 row = light; row + 1 < world.lightCount; ++row)
        world.lights[row] = world.lights[row + 1];
    --world.lightCount;
    for (i16 row = spot; row + 1 < world.spotLightCount; ++row)
        world.spotLights[row] = world.spotLights[row + 1];
    --world.spotLightCount;
    for (i16 row = 0; row < world.lightCount; ++row) {
        LightRecord& moved = world.lights[row];
        if (moved.kind == 3 && moved.kindIndex > spot) --moved.kindIndex;
    }
    for (InstanceOptions* other = gLampsOn; other; other = other->nextLamp) {
        if (other->lampLight > light) --other->lampLight;
        if (other->lampSpot > spot) --other->lampSpot;
    }
}

// The unit vector from the eye to the target. An eye on its target (or a camera gone
// to infinity) has no direction: the lamp then points straight down the up axis.
static void lampDirection(const Camera& camera, f32 direction[3])
{
    f32 towards[3];
    for (int c = 0; c < 3; ++c) towards[c] = camera.targetPoint[c] - camera.eyePoint[c];
    const f32 length =
        std::sqrt(towards[0] * towards[0] + towards[1] * towards[1] + towards[2] * towards[2]);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        direction[0] = 0.0f;
        direction[1] = 0.0f;
        direction[2] = -1.0f;
        return;
    }
    for (int c = 0; c < 3; ++c) direction[c] = towards[c] / length;
}

void switchLampOff(World& world, InstanceOptions& options)
{
    if (options.lampFlag != 1) return;
    const i16 light = options.lampLight;
    const i16 spot = options.lampSpot;
    unlinkLamp(options);
    removeLampRows(world, light, spot);
}

bool toggleLamp(World& world, InstanceOptions& options)
{
    if (options.lampFlag == 1) {
        switchLampOff(world, options);
        return true;
    }
    const i16 light = newLight(world, 3);
    if (light < 0) return false;
    LightRecord& lamp = world.lights[light];
    lamp.falloff = kLampFalloff;
    SpotLightRow& spot = world.spotLights[lamp.kindIndex];
    for (int c = 0; c < 3; ++c) spot.location[c] = world.camera.eyePoint[c];
    lampDirection(world.camera, spot.direction);
    spot.cone = kLampCone;
    options.lampFlag = 1;
    options.lampLight = light;
    options.lampSpot = lamp.kindIndex;
    options.nextLamp = gLampsOn;
    gLampsOn = &options;
    return true;
}

void forgetLamps()
{
    while (gLampsOn) unlinkLamp(*gLampsOn);
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
    // The start camera's roll too: a world authored with z up starts rolled, and home
    // must not leave it on its side after a roll drag.
    world.camera.rollAngle = world.startRollAngle;
}
