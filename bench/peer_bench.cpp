// Tarne against Mesa's llvmpipe, frame for frame: the same generated spheres (1k to 1M
// triangles, and a textured 100k) drawn at 640 x 480 by Tarne and by llvmpipe through
// OSMesa, with the same camera and framing, smooth shading, one light and no back-face
// culling on either side.
//
//   build/bin/peer_bench                      the table: for each world, the two
//                                             renderers timed in turns (bench/paired_rounds.h)
//   build/bin/peer_bench --benchmark_filter=R the Google Benchmark runs named by R alone,
//                                             e.g. 'Tarne/100000/0/[012]/1/' (plain,
//                                             stereo, shadows), for profiling one of them
//   build/bin/peer_bench --write-world=F.wrl [--triangles=N]
//                                             the sphere (1M triangles) as a world file
//
// Frames are measured after a warm-up in CPU time of the whole process, so the peer's
// rasterizer thread counts as well as its caller; the frame drawn by several of our
// threads is measured in wall time, since its point is the time a frame takes.
// llvmpipe runs on one thread (LP_NUM_THREADS=1, set here before its context exists).
// Built only where OSMesa is installed (tools/install-deps.sh --bench).
#include "bench/paired_rounds.h"
#include "bench/peer_renderer.h"
#include "bench/spheres.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace bench_spheres;

constexpr u32 kSizes[] = {1000, 10000, 100000, 1000000};
constexpr u32 kTexturedSize = 100000;
constexpr u32 kOptionSize = 100000; // stereo and shadows are compared at this size
using bench_rounds::kWarmUpFrames;
constexpr int kRepetitions = 5;

// The frame's threads for the all-cores rows: one a core.
u32 coreCount()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

// --- Tarne -----------------------------------------------------------------------------

// Arguments: triangles, textured, mode, threads (SetFrameThreads).
void Tarne(benchmark::State& state)
{
    SphereScene scene(static_cast<u32>(state.range(0)), state.range(1) != 0, 1,
                      static_cast<int>(state.range(2)));
    if (!scene.ready) {
        state.SkipWithError("out of memory building the world");
        return;
    }
    SetFrameThreads(scene.render, static_cast<u32>(state.range(3)));
    for (int frame = 0; frame < kWarmUpFrames; ++frame)
        RenderFrame(scene.world, scene.render, scene.frame);
    for (auto _ : state) {
        RenderFrame(scene.world, scene.render, scene.frame);
        benchmark::DoNotOptimize(scene.frame.frameBuffer[0]);
    }
}

// --- llvmpipe --------------------------------------------------------------------------

std::string gPeerName;

// Arguments: triangles, textured.
void Llvmpipe(benchmark::State& state)
{
    const bool textured = state.range(1) != 0;
    PeerMesh mesh;
    if (!buildPeerMesh(static_cast<u32>(state.range(0)), textured, mesh)) {
        state.SkipWithError("out of memory building the world");
        return;
    }
    PeerRenderer peer;
    if (!peer.open(mesh, textured)) {
        state.SkipWithError("OSMesa could not set up the scene");
        return;
    }
    mesh = PeerMesh{}; // the buffers hold it now
    gPeerName = PeerRenderer::name();
    for (int frame = 0; frame < kWarmUpFrames; ++frame) peer.draw();
    for (auto _ : state) peer.draw();
}

// --- The table -------------------------------------------------------------------------

using bench_rounds::Side;

std::unique_ptr<SphereScene> tarneScene(u32 triangles, bool textured, int mode, u32 threads)
{
    auto scene = std::make_unique<SphereScene>(triangles, textured, 1, mode);
    if (!scene->ready) return nullptr;
    SetFrameThreads(scene->render, threads);
    return scene;
}

Side tarneSide(SphereScene& scene, bool wall)
{
    return {[&scene] { RenderFrame(scene.world, scene.render, scene.frame); }, wall};
}

// Tarne's plain frame on `threads` threads timed in turns with the peer's: the median
// of the peer's rounds and the ratio are printed. Each thread count has rounds of its
// own: with the frame of every core among its turns, the one-thread frame measured up to
// a third slower.
void printAgainstPeer(u32 triangles, bool textured, u32 threads, PeerRenderer& peer, bool peerTime)
{
    auto scene = tarneScene(triangles, textured, kPlain, threads);
    if (!scene) {
        if (peerTime) std::printf(" %9s", "-");
        std::printf(" %9s %6s", "-", "-");
        return;
    }
    std::vector<Side> sides{{[&peer] { peer.draw(); }, false}, tarneSide(*scene, threads > 1)};
    bench_rounds::runRounds(sides);
    if (peerTime) std::printf(" %9.2f", bench_rounds::median(sides[0].msPerFrame));
    std::printf(" %9.2f %5.2fx", bench_rounds::median(sides[1].msPerFrame),
                bench_rounds::medianRatio(sides[1], sides[0]));
}

// One row: llvmpipe against Tarne on one thread and on every core.
void tableRow(u32 triangles, bool textured, u32 cores)
{
    const std::string label =
        std::to_string(triangles / 1000) + "k" + (textured ? " textured" : "");
    std::printf("%-16s", label.c_str());
    PeerMesh mesh;
    PeerRenderer peer;
    if (!buildPeerMesh(triangles, textured, mesh) || !peer.open(mesh, textured)) {
        std::printf(" could not set up the peer\n");
        return;
    }
    mesh = PeerMesh{}; // the peer's buffers hold it now
    gPeerName = PeerRenderer::name();
    printAgainstPeer(triangles, textured, 1, peer, true);
    if (cores > 1) printAgainstPeer(triangles, textured, cores, peer, false);
    std::printf("\n");
    std::fflush(stdout);
}

// The options and the growth to 1M against the plain 100k frame, timed in turns.
void optionRows()
{
    auto plain = tarneScene(kOptionSize, false, kPlain, 1);
    auto stereo = tarneScene(kOptionSize, false, kStereo, 1);
    auto shadows = tarneScene(kOptionSize, false, kShadows, 1);
    auto large = tarneScene(1000000, false, kPlain, 1);
    if (!plain || !stereo || !shadows || !large) {
        std::printf("Tarne 1 thread, options: could not set up the worlds\n");
        return;
    }
    std::vector<Side> sides{tarneSide(*plain, false), tarneSide(*stereo, false),
                            tarneSide(*shadows, false), tarneSide(*large, false)};
    bench_rounds::runRounds(sides);
    const char* labels[] = {"", "100k stereo", "100k shadows", "1M"};
    for (std::size_t k = 1; k < sides.size(); ++k)
        std::printf("Tarne 1 thread, %s: %.2f ms, %.2fx the plain 100k frame\n", labels[k],
                    bench_rounds::median(sides[k].msPerFrame),
                    bench_rounds::medianRatio(sides[k], sides[0]));
}

void printTable()
{
    const u32 cores = coreCount();
    std::printf("ms per frame at %d x %d, median of %d rounds; ratios are the median of each "
                "round's ratio\n",
                kWidth, kHeight, bench_rounds::kRounds);
    std::printf("%-16s %9s %9s %6s %9s %6s\n", "world", "llvmpipe", "Tarne 1", "ratio",
                ("Tarne " + std::to_string(cores) + "*").c_str(), "ratio");
    for (u32 size : kSizes) tableRow(size, false, cores);
    tableRow(kTexturedSize, true, cores);
    std::printf("* wall ms per frame, %u threads; the rest CPU ms. peer: %s, LP_NUM_THREADS=1\n",
                cores, gPeerName.c_str());
    optionRows();
}

void registerRuns()
{
    auto common = [](benchmark::internal::Benchmark* run) {
        run->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->MinTime(0.5)
            ->Repetitions(kRepetitions)
            ->ReportAggregatesOnly(true);
    };
    const u32 cores = coreCount();
    for (u32 size : kSizes) {
        common(benchmark::RegisterBenchmark("Llvmpipe", Llvmpipe)->Args({size, 0}));
        common(benchmark::RegisterBenchmark("Tarne", Tarne)->Args({size, 0, kPlain, 1}));
        if (cores > 1)
            common(benchmark::RegisterBenchmark("Tarne", Tarne)->Args({size, 0, kPlain, cores}));
    }
    common(benchmark::RegisterBenchmark("Llvmpipe", Llvmpipe)->Args({kTexturedSize, 1}));
    common(benchmark::RegisterBenchmark("Tarne", Tarne)->Args({kTexturedSize, 1, kPlain, 1}));
    if (cores > 1)
        common(
            benchmark::RegisterBenchmark("Tarne", Tarne)->Args({kTexturedSize, 1, kPlain, cores}));
    for (int mode : {kStereo, kShadows})
        common(benchmark::RegisterBenchmark("Tarne", Tarne)->Args({kOptionSize, 0, mode, 1}));
}

// The sphere as a world file, for timing the load of the whole plug-in.
bool writeWorld(const char* path, u32 triangles)
{
    SphereScene scene(triangles, false, 1, kPlain);
    std::FILE* out = scene.ready ? std::fopen(path, "w") : nullptr;
    if (!out) return false;
    const World& world = scene.world;
    std::fprintf(out,
                 "#VRML V2.0 utf8\nDirectionalLight { direction 0.6 -0.8 -0.2 }\n"
                 "Shape {\n appearance Appearance { material Material {\n"
                 "  diffuseColor 0.9 0.6 0.3 specularColor 0.8 0.8 0.8 } }\n"
                 " geometry IndexedFaceSet {\n  creaseAngle 3.2\n  coord Coordinate { point [\n");
    // File (x, y, z) from internal (z, x, y), in file units; the sphere stands 6 units
    // ahead of a Viewpoint at the origin looking down -z.
    for (u32 v = 0; v < world.vertexCount; ++v)
        std::fprintf(out, "%.5f %.5f %.5f,\n", world.vertexX[v] / kWorldScale,
                     world.vertexY[v] / kWorldScale, -world.vertexZ[v] / kWorldScale);
    std::fprintf(out, "  ] }\n  coordIndex [\n");
    for (u32 f = 0; f < world.faceCount; ++f) {
        const FaceRecord& face = world.faces[f];
        if (face.vertexCount != 3) continue;
        const u32* c = world.faceIndices + face.firstIndex;
        std::fprintf(out, "%u, %u, %u, -1,\n", c[0], c[1], c[2]);
    }
    std::fprintf(out, "  ]\n }\n}\n");
    return std::fclose(out) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string worldPath;
    u32 triangles = 1000000;
    for (int a = 1; a < argc; ++a) {
        const std::string argument = argv[a];
        if (argument.rfind("--write-world=", 0) == 0) worldPath = argument.substr(14);
        if (argument.rfind("--triangles=", 0) == 0)
            triangles = static_cast<u32>(std::strtoul(argument.c_str() + 12, nullptr, 10));
    }
    if (!worldPath.empty()) {
        if (!writeWorld(worldPath.c_str(), triangles)) {
            std::fprintf(stderr, "peer_bench: cannot write %s\n", worldPath.c_str());
            return 1;
        }
        return 0;
    }
    setenv("LP_NUM_THREADS", "1", 1); // before the first context starts its threads
    bool named = false;
    for (int a = 1; a < argc; ++a)
        named = named || std::string(argv[a]).rfind("--benchmark_", 0) == 0;
    if (!named) {
        printTable();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    registerRuns();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
