// world/normalize/number_format.h - numbers the pass computes, written as text.
//
// Owns: nothing. Entry points: appendFloat, appendInt.
// The line reader narrows every number to a 32-bit float, so a computed value is
// written as the shortest text that reads back as the same float.
#pragma once

#include "base/convert.h"
#include "base/types.h"

#include <charconv>
#include <cmath>
#include <string>

// Non-finite values (a degenerate transform) are written as 0: the reader would carry
// an infinity into every vertex of the world's bounds.
inline void appendFloat(std::string& out, f64 value)
{
    const f32 narrowed = toF32(value);
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, std::isfinite(narrowed) ? narrowed : 0.0f);
    out.append(text, result.ptr);
}

inline void appendInt(std::string& out, i64 value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}
