// The pacing rule of shown windows, on made-up clocks: no sleeping, nothing timed.
#include "platform/present_pacing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr i64 kMs = 1000000; // nanoseconds
constexpr i64 kRefresh60 = kNanosecondsPerSecond / 60;

// The start times of the shows a loop makes that presents again `frameCostNs` after
// each show returned (`showCostNs` after it started), over `spanNs`, waiting as told.
std::vector<i64> runLoop(PresentPacer& pacer, i64 spanNs, const std::vector<i64>& frameCostsNs,
                         i64 showCostNs)
{
    std::vector<i64> starts;
    i64 now = 0;
    for (std::size_t frame = 0; now < spanNs; ++frame) {
        const i64 start = now + pacerWaitNs(pacer, now);
        if (start >= spanNs) break;
        starts.push_back(start);
        pacerShown(pacer, start, start + showCostNs);
        now = start + showCostNs + frameCostsNs[frame % frameCostsNs.size()];
    }
    return starts;
}

} // namespace

TEST(PresentPacing, SyncPacesOnlyWhereItIsClaimedAndNoFasterThanTheRate)
{
    const struct {
        int rate;
        i64 refreshNs;
        bool vsyncOn;
        bool expectVsync;
        i64 expectIntervalNs;
    } cases[] = {
        {60, kRefresh60, true, true, kNanosecondsPerSecond / 60},   // the usual display
        {144, kRefresh60, true, true, kNanosecondsPerSecond / 144}, // the sync holds it to 60
        {20, kRefresh60, true, false, kNanosecondsPerSecond / 20},  // the sync lets 60 through
        {60, kRefresh60, false, false, kNanosecondsPerSecond / 60}, // no sync: sleeping
        {60, kNanosecondsPerSecond / 75, true, false, kNanosecondsPerSecond / 60}, // 75 Hz
        {0, kRefresh60, true, false, 0},                                           // unpaced
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " fps, sync " << c.vsyncOn);
        PresentPacer pacer;
        setPacerRate(pacer, c.rate, c.refreshNs, c.vsyncOn);
        EXPECT_EQ(pacer.vsyncPaces, c.expectVsync);
        EXPECT_EQ(pacer.intervalNs, c.expectIntervalNs);
        // The first show never waits; after it, only sleeping pacing makes the next wait.
        EXPECT_EQ(pacerWaitNs(pacer, 12345), 0);
        pacerShown(pacer, 0, 1 * kMs);
        const bool sleeps = !c.expectVsync && c.expectIntervalNs > 0;
        EXPECT_EQ(pacerWaitNs(pacer, 2 * kMs), sleeps ? c.expectIntervalNs - 2 * kMs : 0);
    }
}

TEST(PresentPacing, NextSlotKeepsTheCadenceUnlessAShowIsAWholeIntervalLate)
{
    // Rate 20: slots 50 ms apart. Each case: a first show at 0, a second at `second`.
    const struct {
        i64 secondNs;
        i64 expectNextSlotNs;
    } cases[] = {
        {50 * kMs, 100 * kMs},  // on time
        {62 * kMs, 100 * kMs},  // late, but the third keeps its slot: no drift
        {99 * kMs, 100 * kMs},  // the last moment that keeps the cadence
        {100 * kMs, 150 * kMs}, // a whole interval late: a new cadence, no burst
        {130 * kMs, 180 * kMs},
    };
    for (const auto& c : cases) {
        PresentPacer pacer;
        setPacerRate(pacer, 20, kRefresh60, false);
        pacerShown(pacer, 0, 1 * kMs);
        EXPECT_EQ(pacerWaitNs(pacer, 10 * kMs), 40 * kMs); // an early present waits its slot
        pacerShown(pacer, c.secondNs, c.secondNs + 1 * kMs);
        EXPECT_EQ(pacer.nextSlotNs, c.expectNextSlotNs) << c.secondNs / kMs << " ms";
    }
}

TEST(PresentPacing, ShowsKeepToTheRateFromTheFirstOnAndWithinTwoOfItInAnySpan)
{
    // Loops of every speed, steady and uneven; 20 fps over 2 s of made-up time. A loop
    // faster than the rate gets exactly the rate: shows at 0, 50, ..., 1950 ms.
    const struct {
        std::vector<i64> costs;
        std::size_t exactShows; // 0: only bounded
    } loops[] = {
        {{0}, 40},       {{1 * kMs}, 40}, {{30 * kMs}, 40},
        {{49 * kMs}, 0}, {{70 * kMs}, 0}, {{5 * kMs, 90 * kMs, 1 * kMs, 45 * kMs}, 0},
    };
    const i64 interval = 50 * kMs;
    for (const auto& [costs, exactShows] : loops) {
        PresentPacer pacer;
        setPacerRate(pacer, 20, kRefresh60, false);
        const std::vector<i64> starts = runLoop(pacer, 2000 * kMs, costs, 2 * kMs);
        ASSERT_GE(starts.size(), 2u);
        EXPECT_TRUE(exactShows == 0 || starts.size() == exactShows)
            << costs[0] / kMs << " ms: " << starts.size() << " shows";
        for (std::size_t first = 0; first < starts.size(); ++first)
            for (std::size_t last = first; last < starts.size(); ++last) {
                const i64 span = starts[last] - starts[first];
                const std::size_t shows = last - first + 1;
                // A late show may sit just before an on-time one: one more in a span.
                const i64 slack = first == 0 ? 1 : 2;
                ASSERT_LE(shows, static_cast<std::size_t>(span / interval + slack))
                    << "frame cost " << costs[0] / kMs << " ms, shows " << first << ".." << last;
            }
    }
}

TEST(PresentPacing, SyncThatLetsMoreThanTheRateThroughHandsPacingToSleeping)
{
    // Rate 60 on a display said to refresh 60 times a second: the sync paces at first.
    // Each case: the times from one show's return to the next; the first ones once,
    // the rest over and over.
    const i64 period = kRefresh60;
    const struct {
        const char* what;
        std::vector<i64> firstGapsNs;
        std::vector<i64> repeatedGapsNs;
        bool expectVsync;
    } cases[] = {
        {"a sync that never blocks", {}, {1 * kMs}, false},
        {"Xvfb's, ticking 64 times a second", {}, {15625000}, false},
        {"Xvfb's, with now and then a late wake-up",
         {},
         {15625000, 15625000, 15625000, 15625000, 15625000, 15625000, 15625000, 19 * kMs},
         false},
        {"a real one at the rate", {}, {period}, true},
        {"a real one, wake-ups late by turns", {}, {period - 3 * kMs, period + 3 * kMs}, true},
        {"a real one, frames coming late", {}, {2 * period}, true},
        {"three frames queued before it blocks", {0, 0, 0}, {period}, true},
    };
    for (const auto& c : cases) {
        PresentPacer pacer;
        setPacerRate(pacer, 60, kRefresh60, true);
        i64 done = 0;
        const int showCount = 4 * (kWarmUpShows + kJudgedShows);
        for (int show = 0; show < showCount; ++show) {
            pacerShown(pacer, done, done);
            const std::size_t n = static_cast<std::size_t>(show);
            done += n < c.firstGapsNs.size()
                        ? c.firstGapsNs[n]
                        : c.repeatedGapsNs[(n - c.firstGapsNs.size()) % c.repeatedGapsNs.size()];
        }
        EXPECT_EQ(pacer.vsyncPaces, c.expectVsync) << c.what;
    }
}

TEST(PresentPacing, SleepingTakesOverAWholeIntervalAfterTheShowThatDecided)
{
    PresentPacer pacer;
    setPacerRate(pacer, 60, kRefresh60, true);
    i64 now = 0;
    for (int show = 0; pacer.vsyncPaces && show < 100; ++show, now += 1 * kMs)
        pacerShown(pacer, now, now);
    ASSERT_FALSE(pacer.vsyncPaces);
    EXPECT_EQ(pacerWaitNs(pacer, now - 1 * kMs), pacer.intervalNs);
}
