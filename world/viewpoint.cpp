// The Viewpoint reader: the first Viewpoint of a world sets the starting camera.
#include "base/portable_math.h"
#include "world/node_readers.h"

#include <cmath>
#include <cstring>

namespace {

constexpr f64 kHalfPi = 1.5707963267948966;
constexpr f64 kPi = 3.141592653589793;

// VRML's view direction (0, 0, -1) or up direction (0, 1, 0), turned by the Viewpoint's
// orientation, in file order.
void turnByOrientation(const World& world, const f32 orientation[4], f32 x, f32 y, f32 z,
                       f32 turned[3])
{
    f32 px[1] = {x};
    f32 py[1] = {y};
    f32 pz[1] = {z};
    const f32 pivot[3] = {0.0f, 0.0f, 0.0f};
    // A zero angle leaves the vector exactly as it is; through the basis it would pick
    // up rounding from cos(pi / 2).
    if (orientation[3] != 0.0f)
        rotateVertexAboutPivot(world, 0, pivot, portable::cos(orientation[3]),
                               portable::sin(orientation[3]), px, py, pz);
    turned[0] = px[0];
    turned[1] = py[0];
    turned[2] = pz[0];
}

// The roll that turns the view's up row onto `up` (internal order). The renderer's view
// matrix takes heading and elevation from the target's offset d, rounded to floats as
// below, and with roll r its up row is cos r U0 - sin r L0, where L0 = (-sin h, cos h,
// 0) and U0 = (-sin e cos h, -sin e sin h, cos e) are its left and up rows at roll 0.
// The orientation keeps `up` square to the view direction, so it lies in their plane.
f32 rollToward(const f32 d[3], const f32 up[3])
{
    f64 heading;
    if (d[0] == 0.0f) {
        heading = d[1] >= 0.0f ? kHalfPi : -kHalfPi;
    } else {
        heading = portable::atan(static_cast<f64>(d[1]) / static_cast<f64>(d[0]));
        if (d[0] < 0.0f) heading += kPi;
    }
    const f32 horizontalSquared = d[0] * d[0] + d[1] * d[1];
    f64 elevation;
    if (horizontalSquared != 0.0f)
        elevation =
            portable::atan(static_cast<f64>(d[2]) / std::sqrt(static_cast<f64>(horizontalSquared)));
    else
        elevation = d[2] > 0.0f ? kHalfPi : -kHalfPi;
    const f64 h = static_cast<f32>(heading);
    const f64 e = static_cast<f32>(elevation);
    const f64 left0[3] = {-portable::sin(h), portable::cos(h), 0.0};
    const f64 up0[3] = {-portable::sin(e) * portable::cos(h), -portable::sin(e) * portable::sin(h),
                        portable::cos(e)};
    f64 alongUp = 0.0, alongLeft = 0.0;
    for (int c = 0; c < 3; ++c) {
        alongUp += up0[c] * up[c];
        alongLeft += left0[c] * up[c];
    }
    if (alongUp == 0.0 && alongLeft == 0.0) return 0.0f; // no usable up: keep the world's
    const f32 roll = static_cast<f32>(portable::atan2(-alongLeft, alongUp));
    return roll == 0.0f ? 0.0f : roll; // no turn reads as 0, not -0
}

// The camera looks from the eye along the Viewpoint's orientation applied to VRML's
// view direction; the target stands one file unit ahead of the eye, mapped into the
// internal order like every other vector. The same orientation turns VRML's up
// direction, and the roll makes the picture's up follow it (a robot drawn with z up
// stands upright when its Viewpoint says so).
void aimCamera(World& world, const f32 orientation[4])
{
    setOrientationBasis(world, orientation[0], orientation[1], orientation[2]);
    f32 view[3], up[3];
    turnByOrientation(world, orientation, 0.0f, 0.0f, -1.0f, view);
    turnByOrientation(world, orientation, 0.0f, 1.0f, 0.0f, up);
    Camera& camera = world.camera;
    camera.targetPoint[0] = camera.eyePoint[0] + kWorldScale * view[2];
    camera.targetPoint[1] = camera.eyePoint[1] + kWorldScale * view[0];
    camera.targetPoint[2] = camera.eyePoint[2] + kWorldScale * view[1];
    const f32 offset[3] = {camera.targetPoint[0] - camera.eyePoint[0],
                           camera.targetPoint[1] - camera.eyePoint[1],
                           camera.targetPoint[2] - camera.eyePoint[2]};
    const f32 internalUp[3] = {up[2], up[0], up[1]};
    camera.rollAngle = rollToward(offset, internalUp);
}

} // namespace

void readViewpoint(World& world, LineReader& in, Line line)
{
    if (std::strchr(line.text, '#')) return;
    Camera& camera = world.camera;
    f32 orientation[4] = {0.0f, 0.0f, 1.0f, 0.0f}; // axis, then radians
    bool positionRead[3] = {false, false, false};  // internal components given
    while (!has(line, "}")) {
        // fieldOfView is kept as it is: the line reader's renderer takes it as the
        // half-angle; the default reading fits the view angle to it as VRML means it.
        if (readValue(line, "fieldOfView", camera.viewAngle))
            world.viewpointFieldOfView = camera.viewAngle;
        if (has(line, "position")) {
            const u32 count = readVector(line, "position", 1.0f, camera.eyePoint);
            static constexpr u32 kInternalAxis[3] = {1, 2, 0};
            for (u32 c = 0; c < count; ++c) positionRead[kInternalAxis[c]] = true;
        }
        if (has(line, "orientation")) readValues(line, "orientation", orientation, 4);
        if (!nextLine(in, line)) break;
    }
    // Without a position the eye keeps the value it had (the Viewer's default).
    for (u32 c = 0; c < 3; ++c) {
        if (positionRead[c]) camera.eyePoint[c] *= kWorldScale;
    }
    aimCamera(world, orientation);
}
