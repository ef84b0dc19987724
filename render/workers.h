// render/workers.h - the threads that draw bands of a frame beside the calling thread.
//
// Owns: FrameWorkers (its threads and the signals between them; from the ordinary heap,
// like the window objects, as the threads themselves are).
// Reads and writes: only what a band job touches; the workers share nothing else.
// Entry points: StartFrameWorkers, RunBands (RunParts, RunRanges over it), StopFrameWorkers,
// CoreCount, BandScratch, FrameParts.
// Between frames the workers wait; RunBands wakes them with one job, runs band 0 on the
// calling thread and returns when every band is done. A frame allocates nothing.
// Failure: threads that cannot be started are done without (fewer bands); nothing throws.
#pragma once

#include "render/render.h"

#include <algorithm>

// The most bands a frame is cut into, whatever the processors.
constexpr u32 kMostBands = 64;

// Draws band `band` of a frame; `context` is the caller's.
using BandJob = void (*)(void* context, u32 band);

// The processors the system reports, at least 1.
u32 CoreCount();

// Makes room for `bands` bands: bands - 1 workers beside the calling thread, started on
// first use and kept. Answers how many bands can run at once (1 when no worker could
// be started).
u32 StartFrameWorkers(RenderState& render, u32 bands);

// Runs job(context, b) for every band b below `bands` (at most what StartFrameWorkers
// answered), band 0 on the calling thread, and waits for all of them.
void RunBands(RenderState& render, u32 bands, BandJob job, void* context);

// Stops and joins the workers (the last Viewer's teardown, a second world, shutdown).
void StopFrameWorkers(RenderState& render);

// Runs work(part) for every part below `parts` as bands (RunBands): a lambda's calls.
template <class Work> void RunParts(RenderState& render, u32 parts, Work& work)
{
    RunBands(
        render, parts, [](void* context, u32 part) { (*static_cast<Work*>(context))(part); },
        &work);
}

// The per-face buffers of band `band`: RenderState's own for band 0 (the calling
// thread's), the band scratch for the others.
FaceScratch BandScratch(const RenderState& render, u32 band);

// The first row of part `part` when `count` rows are cut into `parts` nearly equal runs.
inline u32 PartStart(u32 count, u32 parts, u32 part)
{
    return static_cast<u32>(u64{count} * part / parts);
}

// How many runs this frame's per-vertex and per-corner work is cut into.
inline u32 FrameParts(const RenderState& render)
{
    return std::clamp<u32>(render.frameParts, 1, kMostBands);
}

// Runs range(first, end, part) for each of `parts` nearly equal runs of `count` items,
// as bands (RunParts).
template <class Range> void RunRanges(RenderState& render, u32 parts, u32 count, Range range)
{
    auto work = [&](u32 part) {
        range(PartStart(count, parts, part), PartStart(count, parts, part + 1), part);
    };
    RunParts(render, parts, work);
}
