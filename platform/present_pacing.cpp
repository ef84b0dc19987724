// The pacing rule of shown windows: slots an interval apart, or the display's vertical
// sync where it really holds presents back.
#include "platform/present_pacing.h"

void setPacerRate(PresentPacer& pacer, int framesPerSecond, i64 refreshNs, bool vsyncOn)
{
    pacer = PresentPacer{};
    if (framesPerSecond <= 0) return;
    pacer.intervalNs = kNanosecondsPerSecond / framesPerSecond;
    pacer.refreshNs = refreshNs;
    pacer.vsyncPaces = vsyncOn && refreshNs >= pacer.intervalNs;
}

i64 pacerWaitNs(const PresentPacer& pacer, i64 nowNs)
{
    if (pacer.intervalNs == 0 || pacer.vsyncPaces || !pacer.hasShown) return 0;
    return pacer.nextSlotNs > nowNs ? pacer.nextSlotNs - nowNs : 0;
}

// A sync that returns well inside a refresh period, again and again, is not waiting
// for the display: from then on sleeping paces, starting one interval after this show.
static void judgeVsync(PresentPacer& pacer, i64 doneNs)
{
    const bool quick = pacer.hasShown && doneNs - pacer.lastDoneNs < pacer.refreshNs / 2;
    pacer.quickShows = quick ? pacer.quickShows + 1 : 0;
    if (pacer.quickShows < kQuickShowsBeforeDistrust) return;
    pacer.vsyncPaces = false;
    pacer.nextSlotNs = doneNs + pacer.intervalNs;
}

// The show started in its slot (it waited for it) or later; less than an interval late
// it keeps the cadence, so the slot after it is planned from the slot, not the start.
static void advanceSlot(PresentPacer& pacer, i64 startNs)
{
    const bool onCadence = pacer.hasShown && startNs < pacer.nextSlotNs + pacer.intervalNs;
    pacer.nextSlotNs = (onCadence ? pacer.nextSlotNs : startNs) + pacer.intervalNs;
}

void pacerShown(PresentPacer& pacer, i64 startNs, i64 doneNs)
{
    if (pacer.intervalNs == 0) return;
    if (pacer.vsyncPaces)
        judgeVsync(pacer, doneNs);
    else
        advanceSlot(pacer, startNs);
    pacer.hasShown = true;
    pacer.lastDoneNs = doneNs;
}
