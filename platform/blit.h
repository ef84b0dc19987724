// platform/blit.h - clipping shared by the copying calls (BitBlt, StretchBlt, DrawDib).
// Entry points: clipAxis, resolveBlitPair.
#pragma once

#include "platform/gdi_state.h"

// Offsets [first, last) of a run of `length` pixels that land inside the destination
// range [destinationLow, destinationHigh) and read inside [sourceLow, sourceHigh), the
// run starting at destinationStart and sourceStart (surface coordinates).
struct AxisSpan {
    i64 first;
    i64 last;
};
AxisSpan clipAxis(i64 length, i64 destinationStart, LONG destinationLow, LONG destinationHigh,
                  i64 sourceStart, LONG sourceLow, LONG sourceHigh);

// Both contexts' targets; false when either context, window or bitmap is gone.
bool resolveBlitPair(HDC destination, HDC source, DrawTarget* to, DrawTarget* from);
