// Frame time of the software renderer on generated worlds: a smooth-shaded sphere of
// 1k to 1M triangles at 640 x 480, plain or textured, lit by 1 or 4 lights, drawn
// plain, as an anaglyph or with shadows. Reports milliseconds per frame.
//
//   build-*/bin/render_bench --benchmark_filter='Frame/1024/'
#include "memory/memory.h"
#include "render/render.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

namespace {

constexpr i16 kWidth = 640;
constexpr i16 kHeight = 480;
constexpr f32 kSphereDepth = 30000.0f;
constexpr f32 kSphereRadius = 10000.0f;

enum Mode : int { kPlain = 0, kStereo = 1, kShadows = 2 };

bool addMaterial(World& world, bool textured)
{
    if (!prepareMaterialRow(world)) return false;
    MaterialRecord& material = world.materials[world.materialCount];
    material.diffuseColor[0] = 0.9f;
    material.diffuseColor[1] = 0.6f;
    material.diffuseColor[2] = 0.3f;
    for (f32& c : material.specularColor) c = 0.8f;
    if (textured) {
        material.hasTexture = 1;
        material.texture = 0;
        material.textureMode = 3; // coordinates generated around the sphere
        material.textureRepeatS = 4;
        material.textureRepeatT = 2;
    }
    world.materialCount = static_cast<i16>(world.materialCount + 1);
    return true;
}

// A 64 x 64 checker board as texture row 0.
bool addTexture(World& world)
{
    if (!prepareTextureRow(world)) return false;
    u8* texels = static_cast<u8*>(PluginAlloc(64 * 64 * 3));
    if (!texels) return false;
    for (int row = 0; row < 64; ++row)
        for (int column = 0; column < 64; ++column)
            std::memset(texels + 3 * (row * 64 + column), ((row / 8 + column / 8) % 2) ? 230 : 40,
                        3);
    PluginFree(world.texturePixels[0]);
    world.texturePixels[0] = texels;
    world.textures[0].width = world.textures[0].height = 64;
    world.textureCount = 1;
    return true;
}

// A latitude-longitude sphere of about `triangles` triangles (rings x 2 rings x 2).
bool addSphere(World& world, u32 triangles)
{
    const u32 rings = std::max<u32>(2, static_cast<u32>(std::sqrt(triangles / 4.0)));
    const u32 segments = 2 * rings;
    const i16 object = newObject(world);
    if (object < 0) return false;
    world.objects[object].material = 0;
    const u32 vertices = (rings + 1) * segments;
    if (!growVertexRows(world, vertices + 1)) return false;
    for (u32 r = 0; r <= rings; ++r) {
        const f64 polar = 3.141592653589793 * r / rings;
        for (u32 s = 0; s < segments; ++s) {
            const f64 around = 2.0 * 3.141592653589793 * s / segments;
            const u32 v = r * segments + s;
            world.vertexZ[v] =
                static_cast<f32>(kSphereDepth + kSphereRadius * std::sin(polar) * std::cos(around));
            world.vertexX[v] = static_cast<f32>(kSphereRadius * std::sin(polar) * std::sin(around));
            world.vertexY[v] = static_cast<f32>(kSphereRadius * std::cos(polar));
        }
    }
    world.vertexCount = vertices;
    world.objects[object].vertexCount = vertices;
    const u32 faces = 2 * rings * segments;
    if (!growTable(world.faces, world.faceCapacity, faces + 1)) return false;
    if (!growTable(world.faceIndices, world.faceIndexCapacity, 3 * faces + 1)) return false;
    for (u32 r = 0; r < rings; ++r) {
        for (u32 s = 0; s < segments; ++s) {
            const u32 a = r * segments + s, b = r * segments + (s + 1) % segments;
            const u32 c = a + segments, d = b + segments;
            const u32 triangle[2][3] = {{a, c, d}, {a, d, b}};
            for (const auto& corners : triangle) {
                FaceRecord& face = world.faces[world.faceCount++];
                face = FaceRecord{0, 3, world.faceIndexCount, {0, 0, 0}};
                for (u32 corner : corners) world.faceIndices[world.faceIndexCount++] = corner;
            }
        }
    }
    world.objects[object].faceCount = faces;
    world.objects[object].cornerCount = 3 * faces;
    world.faces[world.faceCount++] = FaceRecord{0, 0, world.faceIndexCount, {0, 0, 0}};
    world.faceIndices[world.faceIndexCount++] = 0;
    computeObjectBounds(world, object);
    return true;
}

void addLights(World& world, int count)
{
    const i16 sun = newLight(world, 1); // from above, behind the eye
    f32* direction = world.directionalLights[world.lights[sun].kindIndex];
    direction[0] = -3000.0f;
    direction[1] = 1000.0f;
    direction[2] = 4000.0f;
    if (count < 4) return;
    const i16 back = newLight(world, 1);
    direction = world.directionalLights[world.lights[back].kindIndex];
    direction[0] = 2000.0f;
    direction[1] = -4000.0f;
    direction[2] = 1000.0f;
    for (f32 side : {-20000.0f, 20000.0f}) {
        const i16 lamp = newLight(world, 2);
        f32* at = world.pointLights[world.lights[lamp].kindIndex];
        at[0] = 10000.0f;
        at[1] = side;
        at[2] = 15000.0f;
        world.lights[lamp].falloff = 0.2f;
    }
}

struct Scene {
    World world;
    RenderState render;
    FrameState frame;
    bool ready = false;

    Scene(u32 triangles, bool textured, int lights, int mode)
    {
        ready = initWorldTables(world) && addMaterial(world, textured) &&
                (!textured || addTexture(world)) && addSphere(world, triangles) &&
                CreateFrameBuffers(frame, kWidth, kHeight);
        if (!ready) return;
        addLights(world, lights);
        world.backgroundBlue = 60;
        PrepareBackground(world, frame);
        ready = AllocateWorldBuffers(world, render);
        BuildVertexFaceLists(world, render);
        GenerateTexCoords(world);
        ready = ready && BuildMaterialRamps(world);
        if (mode == kStereo) ready = ready && SetStereo(world, render, frame, true);
        if (mode == kShadows) ready = ready && SetShadows(world, render, frame, true);
    }
    ~Scene()
    {
        FreeMaterialRamps(world);
        FreeWorldBuffers(render);
        FreeFrameBuffers(frame);
        freeWorldTables(world);
    }
};

// Arguments: triangles, textured (0/1), lights (1/4), mode (plain, stereo, shadows).
void Frame(benchmark::State& state)
{
    Scene scene(static_cast<u32>(state.range(0)), state.range(1) != 0,
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
