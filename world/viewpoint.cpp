// The Viewpoint reader: the first Viewpoint of a world sets the starting camera.
#include "world/node_readers.h"

#include <cmath>
#include <cstring>

// The camera looks from the eye along the Viewpoint's orientation applied to VRML's
// view direction (0, 0, -1); the target stands one file unit ahead of the eye, mapped
// into the internal order like every other vector.
static void aimCamera(World& world, const f32 orientation[4])
{
    setOrientationBasis(world, orientation[0], orientation[1], orientation[2]);
    f32 x[1] = {0.0f};
    f32 y[1] = {0.0f};
    f32 z[1] = {-1.0f};
    const f32 pivot[3] = {0.0f, 0.0f, 0.0f};
    // A zero angle leaves the direction exactly as it is; through the basis it would
    // pick up rounding from cos(pi / 2).
    if (orientation[3] != 0.0f)
        rotateVertexAboutPivot(world, 0, pivot, std::cos(orientation[3]), std::sin(orientation[3]),
                               x, y, z);
    Camera& camera = world.camera;
    camera.targetPoint[0] = camera.eyePoint[0] + kWorldScale * z[0];
    camera.targetPoint[1] = camera.eyePoint[1] + kWorldScale * x[0];
    camera.targetPoint[2] = camera.eyePoint[2] + kWorldScale * y[0];
}

void readViewpoint(World& world, LineReader& in, Line line)
{
    if (std::strchr(line.text, '#')) return;
    Camera& camera = world.camera;
    f32 orientation[4] = {0.0f, 0.0f, 1.0f, 0.0f}; // axis, then radians
    bool positionRead[3] = {false, false, false};  // internal components given
    while (!has(line, "}")) {
        // fieldOfView is kept as it is: the renderer takes it as the half-angle.
        readValue(line, "fieldOfView", camera.viewAngle);
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
