// VRML's field of view as the projection's view angle, for the size of the view.
#include "render/field_of_view.h"

#include "base/portable_math.h"
#include "render/camera.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr f64 kPi = 3.141592653589793;

// The opening across the smaller side that a view angle gives a W x H view: the inverse
// of HalfHorizontalAngle. The angle is held inside the range the projection uses.
f64 smallerSideOpening(f32 viewAngle, i16 width, i16 height)
{
    const f64 half = std::clamp(static_cast<f64>(viewAngle), 1.0e-6, f64{kWidestViewAngle});
    if (width < height) return 2.0 * half;
    return 2.0 * portable::atan(portable::tan(half) * height / width);
}

} // namespace

f32 HalfHorizontalAngle(f32 fieldOfView, i16 width, i16 height)
{
    const f64 opening = fieldOfView > 0.0f && fieldOfView < kPi ? fieldOfView : kDefaultFieldOfView;
    const f64 half = opening * 0.5;
    if (width <= 0 || height <= 0 || width < height) return static_cast<f32>(half);
    return static_cast<f32>(portable::atan(portable::tan(half) * width / height));
}

void FitViewAngle(World& world, i16 width, i16 height)
{
    if (!world.vrmlFieldOfView || width <= 0 || height <= 0) return;
    world.camera.viewAngle = HalfHorizontalAngle(world.viewpointFieldOfView, width, height);
}

void RefitViewAngle(World& world, i16 fromWidth, i16 fromHeight, i16 toWidth, i16 toHeight)
{
    if (!world.vrmlFieldOfView || toWidth <= 0 || toHeight <= 0) return;
    if (fromWidth <= 0 || fromHeight <= 0) {
        FitViewAngle(world, toWidth, toHeight);
        return;
    }
    const f64 opening = smallerSideOpening(world.camera.viewAngle, fromWidth, fromHeight);
    world.camera.viewAngle = HalfHorizontalAngle(static_cast<f32>(opening), toWidth, toHeight);
}
