// Appending vertices one by one to the world tables, the way the face set reader does:
// growth is geometric, so the time per vertex stays the same from 100k to 1M.
#include "world/tables.h"

#include <benchmark/benchmark.h>

static void AppendVertices(benchmark::State& state)
{
    const u32 count = static_cast<u32>(state.range(0));
    for (auto _ : state) {
        World world;
        growVertexRows(world, 1);
        for (u32 v = 0; v < count; ++v) {
            // Components go into the spare row; then a spare row is made again.
            world.vertexZ[v] = static_cast<f32>(v);
            world.vertexX[v] = 1.0f;
            world.vertexY[v] = 2.0f;
            if (!growVertexRows(world, v + 2)) {
                state.SkipWithError("out of memory");
                break;
            }
            world.vertexCount = v + 1;
        }
        benchmark::DoNotOptimize(world.vertexZ);
        freeWorldTables(world);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<i64>(count));
    state.SetComplexityN(static_cast<i64>(count));
}
BENCHMARK(AppendVertices)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
