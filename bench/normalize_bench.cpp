// Normalizing throughput on a generated 1M-triangle world, and what the pass adds to
// loading: normalize + readWorldText against readWorld alone on the same file.
#include "world/normalize/normalize.h"
#include "world/reader.h"
#include "world/tables.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// A grid of kSide x kSide points, two triangles per cell: 2 * 707 * 707 = 999698.
constexpr int kSide = 708;

// The grid as one IndexedFaceSet inside a Transform, without a Viewpoint (so the pass
// also measures the box a framing camera needs). `oneEntryPerLine` writes the layout
// the line reader reads as it stands; otherwise four points or two triangles a line, as
// exporters write them.
std::string gridWorld(bool oneEntryPerLine)
{
    std::string text = "#VRML V2.0 utf8\n# generated grid\nTransform {\ntranslation 0 -1 0\n"
                       "children [\nShape {\nappearance Appearance {\nmaterial Material {\n"
                       "diffuseColor 0.6 0.7 0.8\n}\n}\ngeometry IndexedFaceSet {\n"
                       "coord Coordinate {\npoint [\n";
    char entry[96];
    for (int row = 0; row < kSide; ++row) {
        for (int column = 0; column < kSide; ++column) {
            const int bytes = std::snprintf(entry, sizeof entry, "%.4f %.4f %.4f,", column * 0.01,
                                            ((row * 7 + column * 3) % 100) * 0.001, row * 0.01);
            text.append(entry, static_cast<std::size_t>(bytes));
            text += (oneEntryPerLine || column % 4 == 3) ? '\n' : ' ';
        }
    }
    text += "]\n}\ncoordIndex [\n";
    for (int row = 0; row + 1 < kSide; ++row) {
        for (int column = 0; column + 1 < kSide; ++column) {
            const int corner = row * kSide + column;
            const int bytes =
                std::snprintf(entry, sizeof entry, "%d, %d, %d, -1,%s%d, %d, %d, -1,", corner,
                              corner + kSide, corner + 1, oneEntryPerLine ? "\n" : " ", corner + 1,
                              corner + kSide, corner + kSide + 1);
            text.append(entry, static_cast<std::size_t>(bytes));
            text += '\n';
        }
    }
    text += "]\n}\n}\n]\n}\n";
    return text;
}

const std::string& worldText(bool oneEntryPerLine)
{
    static const std::string exporter = gridWorld(false);
    static const std::string canonical = gridWorld(true);
    return oneEntryPerLine ? canonical : exporter;
}

// The canonical world as a file for readWorld, removed when the program ends.
struct GridFile {
    std::string path;
    GridFile()
        : path((std::filesystem::temp_directory_path() / "tarne-normalize-bench.wrl").string())
    {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (!out) return;
        const std::string& text = worldText(true);
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
    }
    ~GridFile() { std::remove(path.c_str()); }
};

const std::string& canonicalPath()
{
    static const GridFile file;
    return file.path;
}

constexpr i64 kTriangles = 2LL * (kSide - 1) * (kSide - 1);

void normalizeText(benchmark::State& state, bool oneEntryPerLine)
{
    const std::string& text = worldText(oneEntryPerLine);
    for (auto _ : state) {
        NormalizeResult result;
        normalizeWorldText(text.data(), text.size(), "grid.wrl", result);
        benchmark::DoNotOptimize(result.text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<i64>(text.size()));
    state.SetItemsProcessed(state.iterations() * kTriangles);
}

void BM_NormalizeExporterLayout(benchmark::State& state)
{
    normalizeText(state, false);
}
BENCHMARK(BM_NormalizeExporterLayout)->Unit(benchmark::kMillisecond);

void BM_NormalizeCanonicalLayout(benchmark::State& state)
{
    normalizeText(state, true);
}
BENCHMARK(BM_NormalizeCanonicalLayout)->Unit(benchmark::kMillisecond);

void BM_LoadWithoutNormalizing(benchmark::State& state)
{
    const std::string& path = canonicalPath();
    World world;
    initWorldTables(world);
    for (auto _ : state) readWorld(world, path.c_str());
    state.counters["objects"] = world.objectCount;
    freeWorldTables(world);
    state.SetBytesProcessed(state.iterations() * static_cast<i64>(worldText(true).size()));
    state.SetItemsProcessed(state.iterations() * kTriangles);
}
BENCHMARK(BM_LoadWithoutNormalizing)->Unit(benchmark::kMillisecond);

void BM_LoadWithNormalizing(benchmark::State& state)
{
    const std::string& path = canonicalPath();
    World world;
    initWorldTables(world);
    for (auto _ : state) {
        NormalizeResult result;
        normalizeWorldFile(path.c_str(), result);
        readWorldText(world, result.text.data(), result.text.size());
    }
    state.counters["objects"] = world.objectCount;
    freeWorldTables(world);
    state.SetBytesProcessed(state.iterations() * static_cast<i64>(worldText(true).size()));
    state.SetItemsProcessed(state.iterations() * kTriangles);
}
BENCHMARK(BM_LoadWithNormalizing)->Unit(benchmark::kMillisecond);

} // namespace
