// base/convert.h - float to integer conversions that are always defined.
// Converting a float whose truncated value does not fit the target (or a NaN) is
// undefined behaviour in C++: it neither wraps nor saturates. Every conversion of a
// computed float goes through one of these, or sits beside a comment saying why the
// value is already in range.
#pragma once

#include "base/types.h"

#include <cmath>

// Truncates toward zero like a cast, after pinning v into [lo, hi]. The bounds are
// pixel, index and byte limits, far inside +-2^24, so float(lo) and float(hi) are exact.
// A NaN fails the first test and comes out as lo.
inline i32 clampTrunc(f32 v, i32 lo, i32 hi)
{
    if (!(v >= static_cast<f32>(lo))) return lo;
    if (v > static_cast<f32>(hi)) return hi;
    return static_cast<i32>(v);
}

// The same for doubles (text-to-number results before they are narrowed).
inline i32 clampTrunc(f64 v, i32 lo, i32 hi)
{
    if (!(v >= static_cast<f64>(lo))) return lo;
    if (v > static_cast<f64>(hi)) return hi;
    return static_cast<i32>(v);
}

// A colour channel on the 0..255 scale written as a byte.
inline u8 toByte(f32 channel)
{
    return static_cast<u8>(clampTrunc(channel, 0, 255));
}

// Truncation of a value that may lie anywhere, as a 64-bit integer: NaN gives 0 and
// the infinities pin to the 64-bit limits. Used where the data model truncates a
// float into an integer field whose own range is checked afterwards.
inline i64 saturatingTrunc64(f64 v)
{
    if (std::isnan(v)) return 0;
    if (v >= 9.2e18) return INT64_MAX;
    if (v <= -9.2e18) return INT64_MIN;
    return static_cast<i64>(v);
}

// Narrows a double to float. A double beyond the float range has no float value and
// the plain conversion is undefined; here it becomes +-infinity, which later clamps
// handle. NaN stays NaN.
inline f32 toF32(f64 v)
{
    constexpr f64 kFloatMax = 3.4028234663852886e38;
    if (v > kFloatMax) return INFINITY;
    if (v < -kFloatMax) return -INFINITY;
    return static_cast<f32>(v);
}

// x - trunc(x) computed in floating point, never through an integer, so any finite
// value is safe; non-finite values give 0.
inline f32 fracTrunc(f32 x)
{
    if (!std::isfinite(x)) return 0.0f;
    return x - std::trunc(x);
}
