// Frame time of the software renderer on generated worlds: a smooth-shaded sphere of
// 1k to 1M triangles at 640 x 480, plain or textured, lit by 1 or 4 lights, drawn
// plain, as an anaglyph or with shadows. Reports milliseconds per frame.
//
//   build-*/bin/render_bench --benchmark_filter='Frame/1024/'
#include "bench/spheres.h"

#include <benchmark/benchmark.h>

namespace {

using namespace bench_spheres;

// Arguments: triangles, textured (0/1), lights (1/4), mode (plain, stereo, shadows).
void Frame(benchmark::State& state)
{
    SphereScene scene(static_cast<u32>(state.range(0)), state.range(1) != 0,
                      static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
    if (!scene.ready) {
        state.SkipWithError("out of memory building the world");
        return;
    }
    for (auto _ : state) {
        RenderFrame(scene.world, scene.render, scene.frame);
        benchmark::DoNotOptimize(scene.frame.frameBuffer[0]);
    }
    state.counters["faces"] = scene.world.faceCount;
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(Frame)
    ->ArgNames({"triangles", "textured", "lights", "mode"})
    ->ArgsProduct({{1000, 10000, 100000, 1000000}, {0, 1}, {1, 4}, {kPlain, kStereo, kShadows}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.3);
