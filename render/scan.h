// render/scan.h - the scan conversion both the picture and the shadow maps use: the
// outline of a face as contours, the crossings of one row with its edges, and their
// order along the row.
//
// Works on the per-face scratch of RenderState: slot s is corner s of the face
// (`vertices` is the face's run of faceIndices);
// slotNext links each slot to the next along its contour; slotValid drops edges the
// rows have passed; slotValues holds `stride` floats a slot (screen x first, then the
// values to interpolate); crossingValues receives the same layout per crossing.
// Everything here is inline: it runs for every row of every face.
#pragma once

#include "render/faces.h"

#include <cmath>
#include <utility>

// A corner returns to its contour's start when it lies within this many world units
// of it on every axis; the face then goes on with a new contour (a hole).
constexpr f32 kContourCloseDistance = 20.0f;

// Finds where contours close and links each slot to its successor: the next slot, or
// the start of its contour when it closes one (or when it is the last slot). With
// `detect` false the whole face is one contour.
inline void linkContours(const World& world, const u32* vertices, u32 slotCount, bool detect,
                         u32* slotNext, u32* contourEnds)
{
    u32 contourCount = 0;
    if (detect && slotCount > 0) {
        u32 start = vertices[0];
        u32 guard = 1; // the corner right after a start never closes its contour
        for (u32 s = 1; s < slotCount; ++s) {
            if (s == guard) continue;
            const u32 v = vertices[s];
            if (std::fabs(world.vertexZ[v] - world.vertexZ[start]) < kContourCloseDistance &&
                std::fabs(world.vertexX[v] - world.vertexX[start]) < kContourCloseDistance &&
                std::fabs(world.vertexY[v] - world.vertexY[start]) < kContourCloseDistance) {
                contourEnds[contourCount++] = s;
                if (s + 1 < slotCount) {
                    start = vertices[s + 1];
                    guard = s + 1;
                }
            }
        }
    }
    u32 contourStart = 0;
    u32 nextEnd = 0;
    for (u32 s = 0; s < slotCount; ++s) {
        if (nextEnd < contourCount && contourEnds[nextEnd] == s) {
            slotNext[s] = contourStart;
            contourStart = s + 1;
            ++nextEnd;
        } else if (s + 1 == slotCount) {
            slotNext[s] = contourStart;
        } else {
            slotNext[s] = s + 1;
        }
    }
}

// True when the outline passes straight through vertex `at`, which lies on row y:
// the edge arriving there came from the other side of the row than the outline
// leaves to. Such a vertex must cross the row once; a top or bottom vertex (both
// sides the same) crosses it twice. Runs along the outline past corners on the row.
inline bool passesThrough(const ProjectedVertex* polygon, const u32* slotNext, u32 slotCount,
                          u32 at, f32 fromY, f32 y)
{
    u32 k = slotNext[at];
    for (u32 steps = 0; steps < slotCount && polygon[k].screenY == y; ++steps) k = slotNext[k];
    const f32 toY = polygon[k].screenY;
    return (fromY < y && toY > y) || (fromY > y && toY < y);
}

// Whether row y crosses edge i (slot i to its successor) by the rules below, and t
// along the edge where it does. An edge the rows have passed for good is marked invalid.
template <class Valid>
inline bool rowCrossesEdge(f32 y, const ProjectedVertex* polygon, const u32* slotNext,
                           u32 slotCount, Valid* slotValid, u32 i, f32* t)
{
    const u32 j = slotNext[i];
    const f32 yi = polygon[i].screenY;
    const f32 yj = polygon[j].screenY;
    if (y < yi && y < yj) return false; // the edge starts below this row
    if (y > yi && y > yj) {             // the rows have passed it for good
        slotValid[i] = 0;
        return false;
    }
    if (yi == yj) return false; // horizontal: its neighbours cross the row
    if (yj == y && passesThrough(polygon, slotNext, slotCount, j, yi, y)) return false;
    *t = (y - yi) / (yj - yi);
    return *t >= 0.0f && *t <= 1.0f;
}

// Records, for row y, a crossing for every edge the row meets: all `stride` values
// interpolated between the edge's two slots. Edges wholly above the row are dropped
// for the rest of the face. Returns the number of crossings.
inline u32 findCrossings(f32 y, const ProjectedVertex* polygon, const u32* slotNext, u8* slotValid,
                         u32 slotCount, const f32* slotValues, u32 stride, f32* crossingValues)
{
    u32 count = 0;
    for (u32 i = 0; i < slotCount; ++i) {
        f32 t;
        if (!slotValid[i] || !rowCrossesEdge(y, polygon, slotNext, slotCount, slotValid, i, &t))
            continue;
        const u32 j = slotNext[i];
        const f32* a = slotValues + i * stride;
        const f32* b = slotValues + j * stride;
        f32* c = crossingValues + count * stride;
        for (u32 v = 0; v < stride; ++v) c[v] = a[v] + (b[v] - a[v]) * t;
        ++count;
    }
    return count;
}

// The order of `count` crossings by x(c), an exchange sort: each position takes any later
// crossing with a strictly smaller x. Two crossings, the usual case, take one comparison.
template <class X> inline void orderByX(u32 count, u32* order, X x)
{
    if (count == 2) {
        const bool swapped = x(1) < x(0);
        order[0] = swapped ? 1 : 0;
        order[1] = swapped ? 0 : 1;
        return;
    }
    for (u32 c = 0; c < count; ++c) order[c] = c;
    for (u32 p = 0; p + 1 < count; ++p)
        for (u32 q = p + 1; q < count; ++q)
            if (x(order[q]) < x(order[p])) std::swap(order[p], order[q]);
}

// Orders the crossings of findCrossings by x (their value 0). Sorts the order table,
// not the values.
inline void sortCrossings(const f32* crossingValues, u32 stride, u32* order, u32 count)
{
    orderByX(count, order, [&](u32 c) { return crossingValues[c * stride]; });
}

// Where a row crosses edge `edge` (slot edge to its successor): t along the edge and x.
struct Hit {
    u32 edge;
    f32 t;
    f32 x;
};

// The crossings of rows firstRow to lastRow with a face of Slots corners, as
// findCrossings and sortCrossings give them: by its rules, in its order, with its t,
// sorted by x, paired even-odd; `span(row, left, right)` for each pair, which answers
// true to stop (forEachSpan then answers true). A crossing's x is the slot's x plus the
// edge's difference times t, the arithmetic findCrossings uses for every value; the
// caller works the other values out the same way when it needs them.
template <u32 Slots, class SpanAction>
bool forEachSpan(const ProjectedVertex* polygon, const u32* next, i32 firstRow, i32 lastRow,
                 SpanAction span)
{
    f32 dx[Slots];
    bool valid[Slots];
    for (u32 i = 0; i < Slots; ++i) {
        dx[i] = polygon[next[i]].screenX - polygon[i].screenX;
        valid[i] = true;
    }
    for (i32 row = firstRow; row <= lastRow; ++row) {
        const f32 y = static_cast<f32>(row);
        Hit hits[Slots];
        u32 count = 0;
        for (u32 i = 0; i < Slots; ++i) {
            f32 t;
            if (!valid[i] || !rowCrossesEdge(y, polygon, next, Slots, valid, i, &t)) continue;
            hits[count++] = {i, t, polygon[i].screenX + dx[i] * t};
        }
        if (count < 2) continue;
        u32 order[Slots];
        orderByX(count, order, [&](u32 c) { return hits[c].x; });
        for (u32 p = 0; p + 1 < count; p += 2)
            if (span(row, hits[order[p]], hits[order[p + 1]])) return true;
    }
    return false;
}
