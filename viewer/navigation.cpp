// Mouse navigation: drag amounts, the per-frame motion of each mode, the motion codes
// for the camera and the lamp, and the seek pick.
#include "viewer/navigation.h"

#include "base/convert.h"
#include "base/portable_math.h"
#include "render/camera.h"

#include <algorithm>
#include <cmath>

namespace {

// Radians a frame for each pixel the mouse moved: a quarter degree of turn for look
// around, walk and fly (pi / 2880, applied every frame while the mouse rests); twice
// that for an orbit (pi / 1440); a lamp turns at once, so its step is larger (pi / 720).
constexpr f32 kTurnPerPixel = 0.0010908308f;
constexpr f32 kOrbitPerPixel = 0.0021816615f;
constexpr f32 kLampTurnPerPixel = 0.004363323f;
// World units a frame are this factor times the pixels moved, squared: a slow drag
// creeps and a fast one covers ground. The lamp moves once per mouse message, by more.
constexpr f32 kMoveFactor = 4.0f;
constexpr f32 kLampMoveFactor = 5.0f;
// Every mouse move of a fly drag speeds the flight up by this much a frame.
constexpr f32 kFlyAcceleration = 500.0f;
// Roll stays within half a turn either way (pi as a float).
constexpr f32 kRollLimit = 3.1415927f;
// One degree: the narrowest half-opening zoom allows. The widest (89 degrees) is
// kWidestViewAngle, where the projection's tangent is still positive.
constexpr f32 kNarrowestViewAngle = 0.017453292f;
// A seek keeps the target at least one file unit ahead of the eye before it starts.
// Each seek shrinks the eye-to-target distance to a fifth; without this floor a few
// seeks bring it below the float's resolution at the eye and the heading jumps.
constexpr f32 kSeekTargetDistance = 5000.0f;

// Axis of the view's plane a code turns in, with the depth axis: left (x-y) or up (x-z).
constexpr int kLeftAxis = 1;
constexpr int kUpAxis = 2;
// The eye in view coordinates: the turn codes swing about it.
constexpr f32 kViewOrigin[3] = {0.0f, 0.0f, 0.0f};

} // namespace

// factor x delta², made negative when `negative` holds.
static f32 squaredAmount(f32 factor, i32 delta, bool negative)
{
    const f32 pixels = static_cast<f32>(delta); // mouse coordinates are 16-bit: exact
    const f32 amount = factor * pixels * pixels;
    return negative ? -amount : amount;
}

static f32 pixelsTimes(i32 delta, f32 perPixel)
{
    return static_cast<f32>(delta) * perPixel;
}

bool chooseNavigationMode(NavigationState& navigation, i16 mode)
{
    if (mode < 0 || mode >= kModeCount) return false;
    navigation.mode = mode;
    if (mode == kModeFly) navigation.forwardAmount = kFlyStartSpeed;
    return true;
}

void setMotionAmounts(NavigationState& navigation, i32 dx, i32 dy)
{
    // Mouse up (dy < 0) moves forward or up, mouse right (dx > 0) turns or slides right.
    switch (navigation.mode) {
    case kModeRoll:
    case kModeZoom: navigation.mainAmount = pixelsTimes(dy, kTurnPerPixel); break;
    case kModeLookAround:
        navigation.sideAmount = pixelsTimes(dx, -kTurnPerPixel);
        navigation.mainAmount = pixelsTimes(dy, -kTurnPerPixel);
        break;
    case kModeFly:
        navigation.sideAmount = pixelsTimes(dx, -kTurnPerPixel);
        navigation.mainAmount = squaredAmount(kMoveFactor, dy, dy > 0);
        navigation.forwardAmount += kFlyAcceleration;
        break;
    case kModeWalk:
        navigation.sideAmount = pixelsTimes(dx, -kTurnPerPixel);
        navigation.mainAmount = squaredAmount(kMoveFactor, dy, dy > 0);
        break;
    case kModeSlide:
        navigation.sideAmount = squaredAmount(kMoveFactor, dx, dx < 0);
        navigation.mainAmount = squaredAmount(kMoveFactor, dy, dy > 0);
        break;
    case kModeOrbit:
        navigation.sideAmount = pixelsTimes(dx, kOrbitPerPixel);
        navigation.mainAmount = pixelsTimes(dy, kOrbitPerPixel);
        break;
    default: break; // seek mode moves by clicks, not drags
    }
}

void stopMotion(NavigationState& navigation)
{
    navigation.sideAmount = 0.0f;
    navigation.mainAmount = 0.0f;
    navigation.forwardAmount = 0.0f;
}

// --- Geometry of one step ------------------------------------------------------------------

// World direction to view coordinates: the rows only, no eye (a direction has no place).
static void directionToView(const RenderState& render, f32 v[3])
{
    const f32 x = v[0], y = v[1], z = v[2];
    v[0] = render.forward[0] * x + render.forward[1] * y + render.forward[2] * z;
    v[1] = render.left[0] * x + render.left[1] * y + render.left[2] * z;
    v[2] = render.up[0] * x + render.up[1] * y + render.up[2] * z;
}

static void directionToWorld(const RenderState& render, f32 v[3])
{
    const f32 depth = v[0], left = v[1], up = v[2];
    for (int axis = 0; axis < 3; ++axis)
        v[axis] = render.forward[axis] * depth + render.left[axis] * left + render.up[axis] * up;
}

// Turns a view point about `centre` by the angle whose cosine and sine are given, in the
// plane of the depth axis and `axis`; the remaining coordinate is kept.
static void turnAbout(f32 v[3], const f32 centre[3], int axis, f32 c, f32 s)
{
    const f32 along = v[0] - centre[0];
    const f32 across = v[axis] - centre[axis];
    v[0] = c * along - s * across + centre[0];
    v[axis] = c * across + s * along + centre[axis];
}

static int planeAxisOf(i16 code)
{
    return code == kOrbitAboutUp || code == kTurn ? kLeftAxis : kUpAxis;
}

// The middle of the world's bounds box over every object. False with no objects, or
// when hostile bounds leave it without a finite value.
static bool worldCentre(const World& world, f32 centre[3])
{
    if (world.objectCount < 1 || !world.objectBounds) return false;
    for (int axis = 0; axis < 3; ++axis) {
        f32 low = world.objectBounds[0][2 * axis];
        f32 high = world.objectBounds[0][2 * axis + 1];
        for (i16 o = 1; o < world.objectCount; ++o) {
            low = std::min(low, world.objectBounds[o][2 * axis]);
            high = std::max(high, world.objectBounds[o][2 * axis + 1]);
        }
        // Halving first keeps huge bounds from overflowing the sum.
        centre[axis] = low * 0.5f + high * 0.5f;
        if (!std::isfinite(centre[axis])) return false;
    }
    return true;
}

// Where an orbit step (kOrbitAboutUp or kOrbitAboutLeft) takes the eye and the target:
// both in view coordinates turned about the world centre, then back into the world
// with the frame of before the step. False when the world has no usable centre.
static bool orbitStep(const World& world, const RenderState& render, i16 code, f32 amount,
                      f32 eye[3], f32 target[3])
{
    f32 centre[3];
    if (!worldCentre(world, centre)) return false;
    WorldToView(world, render, centre[0], centre[1], centre[2]);
    for (int axis = 0; axis < 3; ++axis) target[axis] = world.camera.targetPoint[axis];
    WorldToView(world, render, target[0], target[1], target[2]);
    eye[0] = eye[1] = eye[2] = 0.0f; // the eye is the view's origin
    const int axis = planeAxisOf(code);
    const f32 c = portable::cos(amount), s = portable::sin(amount);
    turnAbout(target, centre, axis, c, s);
    turnAbout(eye, centre, axis, c, s);
    ViewToWorld(world, render, target[0], target[1], target[2]);
    ViewToWorld(world, render, eye[0], eye[1], eye[2]);
    return true;
}

// What a move code (1 to 3) adds to a position.
static void moveDisplacement(const RenderState& render, i16 code, f32 amount, f32 shift[3])
{
    for (int axis = 0; axis < 3; ++axis) {
        if (code == kMoveForward) shift[axis] = amount * render.forward[axis];
        if (code == kMoveUp) shift[axis] = amount * render.up[axis];
        // Sideways stays level: the vertical part of L is dropped.
        if (code == kMoveSideways) shift[axis] = axis < 2 ? -(amount * render.left[axis]) : 0.0f;
    }
}

// A direction turned in the view's plane of a turn code (kTurn, kPitch) or of an orbit
// code, about the view's origin.
static void turnDirection(const RenderState& render, i16 code, f32 amount, f32 direction[3])
{
    directionToView(render, direction);
    turnAbout(direction, kViewOrigin, planeAxisOf(code), portable::cos(amount),
              portable::sin(amount));
    directionToWorld(render, direction);
}

// --- The lamp --------------------------------------------------------------------------------

// The lamp's spot row, or null while there is no world (no bounds, no view matrix yet)
// or no lamp (`lampSpot` -1, or a row the table no longer has).
static SpotLightRow* lampRow(World& world, i16 lampSpot)
{
    if (world.objectCount < 1 || !world.spotLights) return nullptr;
    if (lampSpot < 0 || lampSpot >= world.spotLightCount) return nullptr;
    return &world.spotLights[lampSpot];
}

void moveLamp(World& world, const RenderState& render, i16 lampSpot, i16 code, f32 amount)
{
    SpotLightRow* lamp = lampRow(world, lampSpot);
    if (!lamp) return;
    if (code >= kMoveForward && code <= kMoveSideways) {
        f32 shift[3];
        moveDisplacement(render, code, amount, shift);
        for (int axis = 0; axis < 3; ++axis) lamp->location[axis] += shift[axis];
    } else if (code == kOrbitAboutUp || code == kOrbitAboutLeft) {
        f32 eye[3], target[3];
        if (!orbitStep(world, render, code, amount, eye, target)) return;
        for (int axis = 0; axis < 3; ++axis) lamp->location[axis] = eye[axis];
        turnDirection(render, code, amount, lamp->direction);
    } else if (code == kTurn || code == kPitch) {
        turnDirection(render, code, amount, lamp->direction);
    }
}

// The lamp after the camera took a step with a code 1 to 7: it rides along, standing
// where the eye now stands after an orbit.
static void followCamera(World& world, const RenderState& render, i16 lampSpot, i16 code,
                         f32 amount)
{
    if (code != kOrbitAboutUp && code != kOrbitAboutLeft) {
        moveLamp(world, render, lampSpot, code, amount);
        return;
    }
    SpotLightRow* lamp = lampRow(world, lampSpot);
    if (!lamp) return;
    for (int axis = 0; axis < 3; ++axis) lamp->location[axis] = world.camera.eyePoint[axis];
    turnDirection(render, code, amount, lamp->direction);
}

void dragLamp(World& world, const RenderState& render, i16 lampSpot, u16 buttonState, bool modified,
              i32 dx, i32 dy)
{
    const bool right = buttonState == kRightDrag;
    if (!right && !modified) {
        moveLamp(world, render, lampSpot, kMoveSideways,
                 squaredAmount(kLampMoveFactor, dx, dx < 0));
        moveLamp(world, render, lampSpot, kMoveUp, squaredAmount(kLampMoveFactor, dy, dy > 0));
    } else if (!right) {
        moveLamp(world, render, lampSpot, kMoveForward, squaredAmount(kLampMoveFactor, dy, dy > 0));
    } else if (!modified) {
        moveLamp(world, render, lampSpot, kOrbitAboutUp, pixelsTimes(dx, kLampTurnPerPixel));
        moveLamp(world, render, lampSpot, kOrbitAboutLeft, pixelsTimes(dy, kLampTurnPerPixel));
    } else {
        moveLamp(world, render, lampSpot, kTurn, pixelsTimes(dx, kLampTurnPerPixel));
        moveLamp(world, render, lampSpot, kPitch, pixelsTimes(dy, kLampTurnPerPixel));
    }
}

// --- The camera -------------------------------------------------------------------------------

// A turn code (kTurn, kPitch): the target swings about the eye, the eye stays.
static void turnTarget(World& world, const RenderState& render, i16 code, f32 amount)
{
    f32* target = world.camera.targetPoint;
    WorldToView(world, render, target[0], target[1], target[2]);
    turnAbout(target, kViewOrigin, planeAxisOf(code), portable::cos(amount), portable::sin(amount));
    ViewToWorld(world, render, target[0], target[1], target[2]);
}

static void shiftCamera(Camera& camera, const f32 shift[3])
{
    for (int axis = 0; axis < 3; ++axis) {
        camera.eyePoint[axis] += shift[axis];
        camera.targetPoint[axis] += shift[axis];
    }
}

static void seekStep(Camera& camera, const NavigationState& navigation, f32 amount)
{
    for (int axis = 0; axis < 3; ++axis) {
        camera.eyePoint[axis] += amount * navigation.seekPosition[axis];
        camera.targetPoint[axis] += amount * navigation.seekTarget[axis];
    }
}

void moveCamera(World& world, const RenderState& render, const NavigationState& navigation,
                i16 code, f32 amount, i16 lampSpot)
{
    Camera& camera = world.camera;
    if (code >= kMoveForward && code <= kMoveSideways) {
        f32 shift[3];
        moveDisplacement(render, code, amount, shift);
        shiftCamera(camera, shift);
    } else if (code == kOrbitAboutUp || code == kOrbitAboutLeft) {
        f32 eye[3], target[3];
        if (!orbitStep(world, render, code, amount, eye, target)) return;
        for (int axis = 0; axis < 3; ++axis) {
            camera.eyePoint[axis] = eye[axis];
            camera.targetPoint[axis] = target[axis];
        }
    } else if (code == kTurn || code == kPitch) {
        turnTarget(world, render, code, amount);
    } else if (code == kSeekStep) {
        seekStep(camera, navigation, amount);
        return; // the lamp stays where it is during a seek
    } else {
        return;
    }
    if (lampSpot >= 0) followCamera(world, render, lampSpot, code, amount);
}

// --- The frame step ---------------------------------------------------------------------------

static void roll(Camera& camera, f32 amount)
{
    camera.rollAngle += amount;
    if (camera.rollAngle < -kRollLimit) camera.rollAngle = -kRollLimit;
    if (camera.rollAngle > kRollLimit) camera.rollAngle = kRollLimit;
}

static void zoom(Camera& camera, f32 amount)
{
    camera.viewAngle += amount;
    if (!(camera.viewAngle > kNarrowestViewAngle)) camera.viewAngle = kNarrowestViewAngle;
    if (camera.viewAngle > kWidestViewAngle) camera.viewAngle = kWidestViewAngle;
}

void applyNavigationFrame(World& world, const RenderState& render, NavigationState& navigation,
                          i16 lampSpot)
{
    const f32 side = navigation.sideAmount, main = navigation.mainAmount;
    auto step = [&](i16 code, f32 amount) {
        moveCamera(world, render, navigation, code, amount, lampSpot);
    };
    switch (navigation.mode) {
    case kModeRoll: roll(world.camera, main); break;
    case kModeZoom: zoom(world.camera, main); break;
    case kModeLookAround:
        step(kTurn, side);
        step(kPitch, main);
        break;
    case kModeFly:
        step(kMoveForward, navigation.forwardAmount);
        step(kMoveUp, main);
        step(kTurn, side);
        break;
    case kModeWalk:
        step(kMoveForward, main);
        step(kTurn, side);
        break;
    case kModeSlide:
        step(kMoveSideways, side);
        step(kMoveUp, main);
        break;
    case kModeOrbit:
        step(kOrbitAboutUp, side);
        step(kOrbitAboutLeft, main);
        break;
    case kModeSeek:
        if (navigation.seekSteps >= 1) {
            step(kSeekStep, kSeekFraction);
            --navigation.seekSteps;
        }
        break;
    default: break;
    }
}

// --- The seek pick ----------------------------------------------------------------------------

// The depth record under client (x, y): the pixel is (trunc(x / scale), trunc(y / scale)),
// so both halves of a doubled pixel read the same record. Null outside the frame.
static const DepthRecord* recordUnder(const FrameState& frame, i32 x, i32 y, f32 scale)
{
    if (!frame.depthBuffer) return nullptr;
    const i32 width = frame.renderWidth, height = frame.renderHeight;
    // One beyond each edge is enough to tell "outside" and keeps the casts defined.
    const i32 column = clampTrunc(static_cast<f32>(x) / scale, -1, width);
    const i32 row = clampTrunc(static_cast<f32>(y) / scale, -1, height);
    if (column < 0 || column >= width || row < 0 || row >= height) return nullptr;
    return frame.depthBuffer +
           (static_cast<u32>(row) * static_cast<u32>(width) + static_cast<u32>(column));
}

// The world point drawn at client (x, y) with view depth `depth`: the projection undone,
// then taken back with the eye that frame was drawn from. False when it is not finite.
static bool pickedPoint(const World& world, const RenderState& render, f32 depth, i32 x, i32 y,
                        f32 scale, f32 point[3])
{
    // The tangent the projection used (it never opens wider than kWidestViewAngle).
    const f32 tangent = portable::tan(std::min(world.camera.viewAngle, kWidestViewAngle));
    const f32 k = 1.0f / (tangent * depth);
    const f32 centreX = static_cast<f32>(render.screenCentreX) * scale;
    const f32 centreY = static_cast<f32>(render.screenCentreY) * scale;
    const f32 left = (1.0f - static_cast<f32>(x) / centreX) / k;
    const f32 up = (1.0f - static_cast<f32>(y) / centreY) / k * render.aspectRatio;
    for (int axis = 0; axis < 3; ++axis) {
        point[axis] = render.forward[axis] * depth + render.left[axis] * left +
                      render.up[axis] * up + render.viewEye[axis];
        if (!std::isfinite(point[axis])) return false;
    }
    return true;
}

// Puts a target nearer than kSeekTargetDistance out to that distance in the same
// direction (along the last frame's F when it sits on the eye). The seek then shrinks
// the distance to a fifth of at least that, never below the float's reach.
static void keepTargetAhead(Camera& camera, const RenderState& render)
{
    f32 toTarget[3];
    for (int axis = 0; axis < 3; ++axis)
        toTarget[axis] = camera.targetPoint[axis] - camera.eyePoint[axis];
    const f32 distance = std::sqrt(toTarget[0] * toTarget[0] + toTarget[1] * toTarget[1] +
                                   toTarget[2] * toTarget[2]);
    if (!(distance < kSeekTargetDistance)) return; // far enough, or not a number
    for (int axis = 0; axis < 3; ++axis) {
        const f32 unit = distance > 0.0f ? toTarget[axis] / distance : render.forward[axis];
        camera.targetPoint[axis] = camera.eyePoint[axis] + kSeekTargetDistance * unit;
    }
}

bool pickSeekTarget(World& world, const RenderState& render, const FrameState& frame,
                    NavigationState& navigation, i32 x, i32 y, f32 displayScale)
{
    const f32 scale = displayScale > 0.0f ? displayScale : 1.0f; // as the resize reads it
    const DepthRecord* record = recordUnder(frame, x, y, scale);
    if (!record || record->state == kDepthEmpty) return false;
    f32 point[3];
    if (!pickedPoint(world, render, record->depth, x, y, scale, point)) return false;
    Camera& camera = world.camera;
    keepTargetAhead(camera, render);
    for (int axis = 0; axis < 3; ++axis) {
        navigation.seekPosition[axis] = point[axis] - camera.eyePoint[axis];
        navigation.seekTarget[axis] = point[axis] - camera.targetPoint[axis];
    }
    navigation.seekSteps = kSeekFrames;
    return true;
}
