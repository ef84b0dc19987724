// The pacing rule of shown windows: slots an interval apart, or the display's vertical
// sync where it really holds presents back.
#include "platform/present_pacing.h"

void setPacerRate(PresentPacer& pacer, int framesPerSecond, i64 refreshNs, bool vsyncOn)
{
    pacer = PresentPacer{};
    if (framesPerSecond <= 0) return;
    pacer.intervalNs = kNanosecondsPerSecond / framesPerSecond;
    pacer.vsyncPaces = vsyncOn && refreshNs >= pacer.intervalNs;
    pacer.warmUpLeft = kWarmUpShows;
}

i64 pacerWaitNs(const PresentPacer& pacer, i64 nowNs)
{
    if (pacer.intervalNs == 0 || pacer.vsyncPaces || !pacer.hasShown) return 0;
    return pacer.nextSlotNs > nowNs ? pacer.nextSlotNs - nowNs : 0;
}

// Every kJudgedShows shows (after the warm-up) the sync's own pace is measured: when
// those shows came faster than the rate allows, sleeping paces from then on, its first
// slot one interval after this show.
static void judgeVsync(PresentPacer& pacer, i64 doneNs)
{
    if (pacer.warmUpLeft > 0) {
        --pacer.warmUpLeft;
        pacer.judgedFromNs = doneNs;
        return;
    }
    if (++pacer.judgedShows < kJudgedShows) return;
    const i64 shortest =
        kJudgedShows * (pacer.intervalNs - pacer.intervalNs / kSyncToleranceDivisor);
    const bool tooFast = doneNs - pacer.judgedFromNs < shortest;
    pacer.judgedShows = 0;
    pacer.judgedFromNs = doneNs;
    if (!tooFast) return;
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
}
