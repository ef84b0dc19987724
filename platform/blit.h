// platform/blit.h - clipping shared by the copying calls (BitBlt and StretchBlt).
// Entry points: clipAxis, resolveBlitPair.
#pragma once

#include "platform/gdi_state.h"

// A run of pixel offsets [first, last) along one axis.
struct AxisSpan {
    i64 first;
    i64 last;
};
// The offsets of a run of `length` pixels, starting at destinationStart and
// sourceStart (surface coordinates), that land inside [destinationLow,
// destinationHigh) and read inside [sourceLow, sourceHigh).
AxisSpan clipAxis(i64 length, i64 destinationStart, LONG destinationLow, LONG destinationHigh,
                  i64 sourceStart, LONG sourceLow, LONG sourceHigh);

// Both contexts' targets; false when either context, window or bitmap is gone.
bool resolveBlitPair(HDC destination, HDC source, DrawTarget* to, DrawTarget* from);
