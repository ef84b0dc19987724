// platform/present_pacing.h - when a shown window may show its next frame: the pacing
// rule of the SDL2 backend, kept apart from SDL and from the clock so that it can be
// checked with made-up times.
// Owns: nothing but the PresentPacer each native window carries.
// Entry points: setPacerRate, pacerWaitNs, pacerShown.
// Times are nanoseconds of one monotonic clock; the caller reads it and sleeps.
#pragma once

#include "base/types.h"

struct PresentPacer {
    i64 intervalNs = 0;      // time between two slots; 0: unpaced
    bool vsyncPaces = false; // vertical sync holds shows to the rate, so nothing sleeps
    bool hasShown = false;   // the first show never waits
    i64 nextSlotNs = 0;      // the earliest start of the next show while sleeping paces
    i32 warmUpLeft = 0;      // shows still to pass before the sync is judged
    i32 judgedShows = 0;     // shows in the current judgement, up to kJudgedShows
    i64 judgedFromNs = 0;    // when the show before the first of them returned
};

constexpr i64 kNanosecondsPerSecond = 1000000000;
// A claimed vertical sync is judged by how fast it really lets shows through, over
// kJudgedShows shows at a time: faster than the rate (less a fiftieth, for the
// scheduler's jitter at both ends), and sleeping takes over. It may never block (some
// drivers claim a sync they lack) or tick faster than the display says (Xvfb's ticks
// about 64 times a second where no rate is given and 60 is assumed). An average over
// many shows is not fooled by one late wake-up, nor a run of shows kept late by other
// work; the first kWarmUpShows are not judged, as a driver may queue two or three
// frames before it blocks.
constexpr i32 kWarmUpShows = 4;
constexpr i32 kJudgedShows = 16;
constexpr i64 kSyncToleranceDivisor = 50;

// Starts the cadence afresh at `framesPerSecond` (0 or less: unpaced) for a display of
// refresh period `refreshNs` whose presents claim vertical sync when `vsyncOn`. The
// sync does the pacing only when it is no faster than the rate: on a faster display
// it would let too many frames through, so sleeping paces and the sync only keeps
// each frame whole.
void setPacerRate(PresentPacer& pacer, int framesPerSecond, i64 refreshNs, bool vsyncOn);

// How long to sleep at `nowNs` before the next show may start; 0: at once.
i64 pacerWaitNs(const PresentPacer& pacer, i64 nowNs);

// A show started at `startNs` (after its wait) and returned at `doneNs`. While sleeping
// paces, the next slot is one interval after this one, so oversleeping does not drift
// the rate; a show a whole interval late starts a new cadence from itself, so a stall
// is never made up by a burst. Slots are thus at least an interval apart and each show
// starts less than an interval after its slot: from the first show on, a span of time
// T holds at most T / interval + 1 shows (any span at all, T / interval + 2). While the
// sync paces, the show is judged instead (see kJudgedShows).
void pacerShown(PresentPacer& pacer, i64 startNs, i64 doneNs);
