// Tarne against Mesa's llvmpipe, frame for frame: the same generated spheres (1k to 1M
// triangles, and a textured 100k) drawn at 640 x 480 by Tarne and by llvmpipe through
// OSMesa, with the same camera and framing, smooth shading, one light and no back-face
// culling on either side. Each frame is measured in CPU time of the whole process
// after a warm-up, so the peer's rasterizer thread counts as well as its caller; the
// frame drawn by several of our threads is measured in wall time, since its point is
// the time a frame takes. The table at the end gives the ratios.
//
//   build/bin/peer_bench                      every world, 5 repetitions, the table
//   build/bin/peer_bench --write-world=F.wrl [--triangles=N]
//                                             the sphere (1M triangles) as a world file
//
// llvmpipe runs on one thread (LP_NUM_THREADS=1, set here before its context exists).
// Built only where OSMesa is installed (tools/install-deps.sh --bench).
#include "bench/spheres.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace bench_spheres;

constexpr u32 kSizes[] = {1000, 10000, 100000, 1000000};
constexpr u32 kTexturedSize = 100000;
constexpr u32 kOptionSize = 100000; // stereo and shadows are compared at this size
constexpr int kWarmUpFrames = 3;
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

// The sphere as the peer draws it: positions in internal order (a model-view matrix
// turns them into its eye space), unit normals, repeated texture coordinates.
struct PeerMesh {
    std::vector<f32> positions;
    std::vector<f32> normals;
    std::vector<f32> texCoords;
    std::vector<u32> indices;
};

bool buildPeerMesh(u32 triangles, bool textured, PeerMesh& mesh)
{
    SphereScene scene(triangles, textured, 1, kPlain);
    if (!scene.ready) return false;
    const World& world = scene.world;
    for (u32 v = 0; v < world.vertexCount; ++v) {
        const f32 p[3] = {world.vertexZ[v], world.vertexX[v], world.vertexY[v]};
        const f32 d[3] = {(p[0] - kSphereDepth) / kSphereRadius, p[1] / kSphereRadius,
                          p[2] / kSphereRadius};
        mesh.positions.insert(mesh.positions.end(), p, p + 3);
        mesh.normals.insert(mesh.normals.end(), d, d + 3);
        if (textured) {
            mesh.texCoords.push_back(world.vertexTexCoords[v][0] * kRepeatS);
            mesh.texCoords.push_back(world.vertexTexCoords[v][1] * kRepeatT);
        }
    }
    for (u32 f = 0; f < world.faceCount; ++f) {
        const FaceRecord& face = world.faces[f];
        if (face.vertexCount != 3) continue; // the empty row at the end
        const u32* corners = world.faceIndices + face.firstIndex;
        mesh.indices.insert(mesh.indices.end(), corners, corners + 3);
    }
    return true;
}

// An OSMesa context drawing into its own 640 x 480 BGRA picture, with the mesh in
// buffer objects, lit and framed as Tarne frames the same world.
class PeerRenderer {
public:
    bool open(const PeerMesh& mesh, bool textured)
    {
        context_ = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
        if (!context_) return false;
        pixels_.assign(static_cast<std::size_t>(kWidth) * kHeight * 4, 0);
        if (!OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, kWidth, kHeight))
            return false;
        glViewport(0, 0, kWidth, kHeight);
        frame();
        lights();
        if (textured) texture();
        upload(mesh, textured);
        return glGetError() == GL_NO_ERROR;
    }

    void draw()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawElements(GL_TRIANGLES, indexCount_, GL_UNSIGNED_INT, nullptr);
        glFinish();
    }

    ~PeerRenderer()
    {
        if (!context_) return;
        glDeleteBuffers(4, buffers_);
        if (texture_) glDeleteTextures(1, &texture_);
        OSMesaDestroyContext(context_);
    }

    static std::string name()
    {
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        return renderer ? renderer : "?";
    }

private:
    // Tarne's view angle is half the horizontal opening; the vertical one follows from
    // the aspect ratio. Internal axes (depth, left, up) are the peer's (-z, -x, y).
    void frame()
    {
        const f64 nearPlane = 1000.0, farPlane = 100000.0;
        const f64 across = nearPlane * std::tan(0.3);
        const f64 aspect = static_cast<f64>(kHeight) / kWidth;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-across, across, -across * aspect, across * aspect, nearPlane, farPlane);
        glMatrixMode(GL_MODELVIEW);
        const GLfloat toEye[16] = {0, 0, -1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
        glLoadMatrixf(toEye);
        glClearColor(0.0f, 0.0f, kBackgroundBlue / 255.0f, 1.0f);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDisable(GL_CULL_FACE);
        glShadeModel(GL_SMOOTH);
    }

    void lights()
    {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_NORMALIZE);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE); // back faces lit, as Tarne's
        // Set under the model-view matrix, so the sun's row turns as the vertices do.
        const GLfloat sun[4] = {kSun[0], kSun[1], kSun[2], 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, sun);
        const GLfloat diffuse[4] = {kDiffuse[0], kDiffuse[1], kDiffuse[2], 1.0f};
        const GLfloat specular[4] = {kSpecular, kSpecular, kSpecular, 1.0f};
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 8.0f);
    }

    void texture()
    {
        std::vector<u8> texels(static_cast<std::size_t>(kTextureSide) * kTextureSide * 3);
        for (int row = 0; row < kTextureSide; ++row)
            for (int column = 0; column < kTextureSide; ++column)
                std::fill_n(texels.begin() + 3 * (row * kTextureSide + column), 3,
                            checkerTexel(row, column));
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTextureSide, kTextureSide, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_TEXTURE_2D);
    }

    void upload(const PeerMesh& mesh, bool textured)
    {
        glGenBuffers(4, buffers_);
        auto bytes = [](const auto& v) { return static_cast<GLsizeiptr>(v.size() * sizeof(v[0])); };
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[0]);
        glBufferData(GL_ARRAY_BUFFER, bytes(mesh.positions), mesh.positions.data(), GL_STATIC_DRAW);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        glEnableClientState(GL_VERTEX_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[1]);
        glBufferData(GL_ARRAY_BUFFER, bytes(mesh.normals), mesh.normals.data(), GL_STATIC_DRAW);
        glNormalPointer(GL_FLOAT, 0, nullptr);
        glEnableClientState(GL_NORMAL_ARRAY);
        if (textured) {
            glBindBuffer(GL_ARRAY_BUFFER, buffers_[2]);
            glBufferData(GL_ARRAY_BUFFER, bytes(mesh.texCoords), mesh.texCoords.data(),
                         GL_STATIC_DRAW);
            glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers_[3]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, bytes(mesh.indices), mesh.indices.data(),
                     GL_STATIC_DRAW);
        indexCount_ = static_cast<GLsizei>(mesh.indices.size());
    }

    OSMesaContext context_ = nullptr;
    std::vector<u8> pixels_;
    GLuint buffers_[4] = {0, 0, 0, 0};
    GLuint texture_ = 0;
    GLsizei indexCount_ = 0;
};

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

// Medians of the repetitions, in milliseconds, by run name.
struct Timing {
    f64 cpu = 0.0;
    f64 wall = 0.0;
};
std::map<std::string, Timing> gMedians;

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
            Timing& timing = gMedians[run.run_name.function_name + "/" + run.run_name.args];
            timing.cpu = run.GetAdjustedCPUTime();
            timing.wall = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

std::string tarneName(u32 triangles, bool textured, int mode, u32 threads)
{
    return "Tarne/" + std::to_string(triangles) + "/" + std::to_string(textured ? 1 : 0) + "/" +
           std::to_string(mode) + "/" + std::to_string(threads);
}

std::string peerName(u32 triangles, bool textured)
{
    return "Llvmpipe/" + std::to_string(triangles) + "/" + std::to_string(textured ? 1 : 0);
}

const Timing* timingOf(const std::string& name)
{
    const auto found = gMedians.find(name);
    return found == gMedians.end() ? nullptr : &found->second;
}

void printRatio(const Timing* ours, bool wall, const Timing* theirs)
{
    if (!ours || !theirs || theirs->cpu <= 0.0) {
        std::printf(" %9s %6s", "-", "-");
        return;
    }
    const f64 time = wall ? ours->wall : ours->cpu;
    std::printf(" %9.2f %5.2fx", time, time / theirs->cpu);
}

void printTable()
{
    const u32 cores = coreCount();
    std::printf("\nCPU ms per frame at %d x %d (median of %d), peer: %s, LP_NUM_THREADS=1\n",
                kWidth, kHeight, kRepetitions, gPeerName.c_str());
    std::printf("%-16s %9s %9s %6s %9s %6s\n", "world", "llvmpipe", "Tarne 1", "ratio",
                ("Tarne " + std::to_string(cores) + "*").c_str(), "ratio");
    struct Row {
        u32 triangles;
        bool textured;
    };
    std::vector<Row> rows;
    for (u32 size : kSizes) rows.push_back({size, false});
    rows.push_back({kTexturedSize, true});
    for (const Row& row : rows) {
        const std::string label =
            std::to_string(row.triangles / 1000) + "k" + (row.textured ? " textured" : "");
        const Timing* peer = timingOf(peerName(row.triangles, row.textured));
        std::printf("%-16s", label.c_str());
        if (peer)
            std::printf(" %9.2f", peer->cpu);
        else
            std::printf(" %9s", "-");
        printRatio(timingOf(tarneName(row.triangles, row.textured, kPlain, 1)), false, peer);
        printRatio(timingOf(tarneName(row.triangles, row.textured, kPlain, cores)), true, peer);
        std::printf("\n");
    }
    std::printf("* wall ms per frame, %u threads\n", cores);
    const Timing* small = timingOf(tarneName(kOptionSize, false, kPlain, 1));
    const Timing* large = timingOf(tarneName(1000000, false, kPlain, 1));
    if (small && large && small->cpu > 0.0)
        std::printf("Tarne 1 thread, 100k -> 1M: %.2fx\n", large->cpu / small->cpu);
    const Timing* stereo = timingOf(tarneName(kOptionSize, false, kStereo, 1));
    const Timing* shadows = timingOf(tarneName(kOptionSize, false, kShadows, 1));
    if (small && stereo && small->cpu > 0.0)
        std::printf("Tarne 1 thread, 100k stereo: %.2f ms, %.2fx the plain frame\n", stereo->cpu,
                    stereo->cpu / small->cpu);
    if (small && shadows && small->cpu > 0.0)
        std::printf("Tarne 1 thread, 100k shadows: %.2f ms, %.2fx the plain frame\n", shadows->cpu,
                    shadows->cpu / small->cpu);
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
    benchmark::Initialize(&argc, argv);
    registerRuns();
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printTable();
    benchmark::Shutdown();
    return 0;
}
