// platform/rect.h - rectangle arithmetic shared by painting and drawing. Rectangles
// are half-open: right and bottom lie just outside, as everywhere in GDI.
// Entry points: rectEmpty, intersectRect, unionRect, clampLong.
#pragma once

#include "base/types.h"
#include "platform/windows.h"

#include <cstdint>

inline bool rectEmpty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

// The common part; (0, 0, 0, 0) when there is none.
inline RECT intersectRect(const RECT& a, const RECT& b)
{
    const RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                 a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    return rectEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

// The bounding box of both; an empty rectangle adds nothing.
inline RECT unionRect(const RECT& a, const RECT& b)
{
    if (rectEmpty(a)) return b;
    if (rectEmpty(b)) return a;
    return RECT{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

// Pins a 64-bit coordinate (a sum of window offsets, a hostile argument) into LONG.
inline LONG clampLong(i64 value)
{
    if (value < INT32_MIN) return INT32_MIN;
    if (value > INT32_MAX) return INT32_MAX;
    return static_cast<LONG>(value);
}
