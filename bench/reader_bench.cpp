// readWorld throughput on generated worlds of 10k, 100k and 1M triangles: one big
// IndexedFaceSet, and many small Shapes inside Transforms. Reports MB/s and the peak
// of the memory the world tables hold while reading.
#include "memory/memory.h"
#include "world/reader.h"
#include "world/tables.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// A memory service that knows how much it holds: each block carries its size.
struct MeasuredMemory {
    static inline u64 live = 0;
    static inline u64 peak = 0;
    static constexpr u64 kHeader = 16;
    static void* alloc(u32 size)
    {
        auto* block = static_cast<u8*>(std::malloc(size + kHeader));
        if (!block) return nullptr;
        *reinterpret_cast<u64*>(block) = size;
        live += size;
        if (live > peak) peak = live;
        return block + kHeader;
    }
    static void release(void* pointer)
    {
        if (!pointer) return;
        u8* block = static_cast<u8*>(pointer) - kHeader;
        live -= *reinterpret_cast<u64*>(block);
        std::free(block);
    }
};

// A (side + 1) x (side + 1) grid of points and its 2 x side x side triangles, written
// one point and one triangle per line, as exporters write them.
static void appendGrid(std::string& text, u32 side, f32 offset)
{
    char line[96];
    text += "geometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n";
    for (u32 row = 0; row <= side; ++row) {
        for (u32 column = 0; column <= side; ++column) {
            std::snprintf(line, sizeof line, "%.4f %.4f %.4f,\n", column * 0.01 + offset,
                          row * 0.01, (row * 7 + column * 3) % 11 * 0.001);
            text += line;
        }
    }
    text += "]\n}\ncoordIndex [\n";
    for (u32 row = 0; row < side; ++row) {
        for (u32 column = 0; column < side; ++column) {
            const u32 corner = row * (side + 1) + column;
            std::snprintf(line, sizeof line, "%u, %u, %u, -1, %u, %u, %u, -1,\n", corner,
                          corner + 1, corner + side + 2, corner, corner + side + 2,
                          corner + side + 1);
            text += line;
        }
    }
    text += "]\n}\n";
}

// One face set of about `triangles` triangles.
static std::string bigFaceSet(u32 triangles)
{
    u32 side = 1;
    while (2 * side * side < triangles) ++side;
    std::string text = "#VRML V2.0 utf8\nShape {\nappearance Appearance {\nmaterial Material {\n"
                       "diffuseColor 0.8 0.2 0.2\n}\n}\n";
    appendGrid(text, side, 0.0f);
    return text + "}\n";
}

// Shapes of 50 triangles (a 5 x 5 grid), each with its own Appearance, inside one
// Transform each.
static std::string manyShapes(u32 triangles)
{
    std::string text = "#VRML V2.0 utf8\n";
    char line[96];
    for (u32 shape = 0; shape * 50 < triangles; ++shape) {
        std::snprintf(line, sizeof line, "Transform {\ntranslation %u 0 %u\nchildren [\n",
                      shape % 100, shape / 100);
        text += line;
        text += "Shape {\nappearance Appearance {\nmaterial Material {\ndiffuseColor 0.5 0.5 0.5\n"
                "}\n}\n";
        appendGrid(text, 5, 0.0f);
        text += "}\n]\n}\n";
    }
    return text;
}

static void readGenerated(benchmark::State& state, const std::string& text)
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tarne-reader-bench-XXXXXX").string();
    char* path = pattern.data();
    const int descriptor = mkstemp(path);
    if (descriptor < 0 ||
        write(descriptor, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        state.SkipWithError("cannot write the generated world");
        return;
    }
    close(descriptor);
    setMemoryFunctions(MeasuredMemory::alloc, MeasuredMemory::release);
    World world;
    initWorldTables(world);
    u64 peak = 0;
    for (auto _ : state) {
        MeasuredMemory::peak = MeasuredMemory::live;
        readWorld(world, path);
        peak = MeasuredMemory::peak;
    }
    state.counters["objects"] = world.objectCount;
    state.counters["faces"] = world.faceCount;
    state.counters["peakMB"] = static_cast<double>(peak) / (1024.0 * 1024.0);
    state.counters["fileMB"] = static_cast<double>(text.size()) / (1024.0 * 1024.0);
    state.SetBytesProcessed(state.iterations() * static_cast<i64>(text.size()));
    freeWorldTables(world);
    setMemoryFunctions(nullptr, nullptr);
    unlink(path);
}

static void ReadOneFaceSet(benchmark::State& state)
{
    readGenerated(state, bigFaceSet(static_cast<u32>(state.range(0))));
}

static void ReadManyShapes(benchmark::State& state)
{
    readGenerated(state, manyShapes(static_cast<u32>(state.range(0))));
}

BENCHMARK(ReadOneFaceSet)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadManyShapes)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
