// platform/sound/vector.h - the little vector arithmetic the sound engine needs, on the
// f32[3] vectors of its records. Entry points: copyVector, finiteVector, dot, length, crossLength.
#pragma once

#include "base/types.h"

#include <cmath>

namespace soundengine {

inline void copyVector(f32 to[3], const f32 from[3])
{
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

inline bool finiteVector(const f32 v[3])
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

inline f32 dot(const f32 a[3], const f32 b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline f32 length(const f32 v[3])
{
    return std::sqrt(dot(v, v));
}

// The length of a x b: |a| |b| sin(angle), 0 for parallel vectors.
inline f32 crossLength(const f32 a[3], const f32 b[3])
{
    const f32 cross[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                          a[0] * b[1] - a[1] * b[0]};
    return length(cross);
}

} // namespace soundengine
