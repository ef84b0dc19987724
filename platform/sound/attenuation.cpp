// Loudness by distance as VRML's Sound node defines it: two ellipsoids sharing the axis
// through the emitter's location along its direction, the location a focus of both; full
// intensity inside the inner one, a ramp linear in decibels from 0 dB on the inner one to
// -20 dB on the outer one, silence beyond. Between two ellipsoids of different shapes the
// ramp is measured along the ray from the focus, so it is exact along every direction.
#include "platform/sound/engine.h"
#include "platform/sound/vector.h"

#include <cmath>

namespace soundengine {

namespace {

constexpr f32 kOuterDecibels = -20.0f; // the loudness on the outer ellipsoid

} // namespace

// The distance from the focus to an ellipsoid reaching `front` ahead of it and `back`
// behind it, along a ray at angle a to its axis (cosine given): the polar form of a conic
// about its focus, r = 2 f b / (f + b - (f - b) cos a). The denominator is at least
// 2 min(f, b), so it vanishes only for a flat ellipsoid (one distance 0), which is a
// segment along the axis: reached only straight ahead or straight behind.
static f32 focalRadius(f32 front, f32 back, f32 cosine)
{
    const f32 denominator = front + back - (front - back) * cosine;
    if (denominator <= 0.0f) return cosine > 0.0f ? front : back;
    return 2.0f * front * back / denominator;
}

f32 ellipsoidGain(const f32 offset[3], const f32 direction[3], f32 minBack, f32 minFront,
                  f32 maxBack, f32 maxFront)
{
    const f32 distance = length(offset);
    if (!std::isfinite(distance)) return 0.0f;
    // With no direction there is no front or back: the ellipsoids are taken square to their
    // axis everywhere, where their radius is 2 f b / (f + b).
    const f32 reach = length(direction);
    const f32 cosine =
        distance > 0.0f && reach > 0.0f ? dot(offset, direction) / (distance * reach) : 0.0f;
    const f32 inner = focalRadius(minFront, minBack, cosine);
    const f32 outer = focalRadius(maxFront, maxBack, cosine);
    if (distance <= inner) return 1.0f;
    if (distance > outer) return 0.0f; // also when the outer lies inside the inner
    const f32 decibels = kOuterDecibels * (distance - inner) / (outer - inner);
    return std::pow(10.0f, decibels / 20.0f);
}

} // namespace soundengine
