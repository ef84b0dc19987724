// The camera's rotation from eye, target and roll, and single points to and from view
// coordinates.
#include "render/camera.h"

#include "base/portable_math.h"

#include <cmath>

namespace {

constexpr f64 kHalfPi = 1.5707963267948966;
constexpr f64 kPi = 3.141592653589793;

} // namespace

void SetScreenGeometry(RenderState& render, i16 width, i16 height)
{
    render.screenCentreX = width / 2;
    render.screenCentreY = height / 2;
    // A zero width has no aspect; the frame is not drawn then, so 1 keeps it harmless.
    render.aspectRatio = width > 0 ? static_cast<f32>(height) / static_cast<f32>(width) : 1.0f;
}

void BuildViewMatrix(const World& world, RenderState& render)
{
    const Camera& camera = world.camera;
    const f32 dx = camera.targetPoint[0] - camera.eyePoint[0];
    const f32 dy = camera.targetPoint[1] - camera.eyePoint[1];
    const f32 dz = camera.targetPoint[2] - camera.eyePoint[2];

    f64 heading;
    if (dx == 0.0f) {
        heading = dy >= 0.0f ? kHalfPi : -kHalfPi;
    } else {
        heading = portable::atan(static_cast<f64>(dy) / static_cast<f64>(dx));
        if (dx < 0.0f) heading += kPi;
    }
    // The horizontal length is squared in single precision, as the elevation test
    // sees it: a tiny horizontal offset that squares to zero counts as straight up.
    const f32 horizontalSquared = dx * dx + dy * dy;
    f64 elevation;
    if (horizontalSquared != 0.0f) {
        elevation =
            portable::atan(static_cast<f64>(dz) / std::sqrt(static_cast<f64>(horizontalSquared)));
    } else {
        elevation = dz > 0.0f ? kHalfPi : -kHalfPi; // eye on the target: looking down
    }

    const f64 theta = static_cast<f32>(heading);
    const f64 psi = static_cast<f32>(elevation);
    const f64 rho = camera.rollAngle;
    const f64 ct = portable::cos(theta), st = portable::sin(theta);
    const f64 cp = portable::cos(psi), sp = portable::sin(psi);
    const f64 cr = portable::cos(rho), sr = portable::sin(rho);

    render.forward[0] = static_cast<f32>(cp * ct);
    render.forward[1] = static_cast<f32>(cp * st);
    render.forward[2] = static_cast<f32>(sp);
    render.left[0] = static_cast<f32>(-sr * sp * ct - cr * st);
    render.left[1] = static_cast<f32>(-sr * sp * st + cr * ct);
    render.left[2] = static_cast<f32>(sr * cp);
    render.up[0] = static_cast<f32>(-cr * sp * ct + sr * st);
    render.up[1] = static_cast<f32>(-cr * sp * st - sr * ct);
    render.up[2] = static_cast<f32>(cr * cp);
    for (int axis = 0; axis < 3; ++axis) render.viewEye[axis] = camera.eyePoint[axis];
}

void WorldToView(const World& world, const RenderState& render, f32& first, f32& second, f32& third)
{
    const f32 x = first - world.camera.eyePoint[0];
    const f32 y = second - world.camera.eyePoint[1];
    const f32 z = third - world.camera.eyePoint[2];
    first = render.forward[0] * x + render.forward[1] * y + render.forward[2] * z;
    second = render.left[0] * x + render.left[1] * y + render.left[2] * z;
    third = render.up[0] * x + render.up[1] * y + render.up[2] * z;
}

void ViewToWorld(const World& world, const RenderState& render, f32& first, f32& second, f32& third)
{
    const f32 depth = first, left = second, up = third;
    first = render.forward[0] * depth + render.left[0] * left + render.up[0] * up +
            world.camera.eyePoint[0];
    second = render.forward[1] * depth + render.left[1] * left + render.up[1] * up +
             world.camera.eyePoint[1];
    third = render.forward[2] * depth + render.left[2] * left + render.up[2] * up +
            world.camera.eyePoint[2];
}
