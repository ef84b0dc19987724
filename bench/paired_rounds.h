// bench/paired_rounds.h - ratios of frame times on a machine whose load changes from one
// second to the next. Timing one side for seconds and then the other puts a burst of
// load on one side only; here the sides of a comparison take turns in short batches,
// round after round, so a burst falls on the sides of one round alike, and the median of
// the rounds' ratios leaves it out.
//
// A side draws one frame per call. It is timed in CPU time of the whole process (a peer's
// helper thread counts too), or in wall time for a frame drawn by several threads, whose
// point is how long the frame takes.
#pragma once

#include "base/types.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <utility>
#include <vector>

namespace bench_rounds {

constexpr int kRounds = 31;
constexpr f64 kBatchSeconds = 0.05; // about this long per side and round
constexpr int kWarmUpFrames = 3;

struct Side {
    Side(std::function<void()> drawFrame, bool wallTime)
        : frame(std::move(drawFrame)), wall(wallTime)
    {
    }
    std::function<void()> frame;
    bool wall = false;
    int batch = 1;               // frames per timing, from the warm-up
    std::vector<f64> msPerFrame; // one per round
};

inline f64 secondsNow(bool wall)
{
    if (wall)
        return std::chrono::duration<f64>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<f64>(t.tv_sec) + static_cast<f64>(t.tv_nsec) * 1.0e-9;
}

inline f64 timeFrames(Side& side, int frames)
{
    const f64 start = secondsNow(side.wall);
    for (int f = 0; f < frames; ++f) side.frame();
    return (secondsNow(side.wall) - start) / frames;
}

inline f64 median(std::vector<f64> values)
{
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// Warms every side up, sizes its batch, then times the sides in turn for kRounds rounds;
// each round starts with the next side, so no side always follows the same one. Each
// batch times at least two frames, after one frame untimed.
inline void runRounds(std::vector<Side>& sides)
{
    for (Side& side : sides) {
        timeFrames(side, kWarmUpFrames);
        const f64 once = timeFrames(side, 1);
        side.batch = std::clamp(static_cast<int>(kBatchSeconds / std::max(once, 1.0e-6)), 2, 1000);
        side.msPerFrame.clear();
    }
    for (int round = 0; round < kRounds; ++round)
        for (std::size_t k = 0; k < sides.size(); ++k) {
            Side& side = sides[(k + static_cast<std::size_t>(round)) % sides.size()];
            // The side before left the caches full of its own data: one frame untimed
            // brings this side's back, as in a run of frames.
            timeFrames(side, 1);
            side.msPerFrame.push_back(1000.0 * timeFrames(side, side.batch));
        }
}

// The median over the rounds of side `of`'s time over side `to`'s, both of one round.
inline f64 medianRatio(const Side& of, const Side& to)
{
    std::vector<f64> ratios;
    for (std::size_t r = 0; r < of.msPerFrame.size() && r < to.msPerFrame.size(); ++r)
        if (to.msPerFrame[r] > 0.0) ratios.push_back(of.msPerFrame[r] / to.msPerFrame[r]);
    return median(ratios);
}

} // namespace bench_rounds
