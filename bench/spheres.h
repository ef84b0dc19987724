// bench/spheres.h - the generated worlds the frame benchmarks draw: one smooth-shaded
// latitude-longitude sphere of a given number of triangles, plain or textured, 30000
// world units ahead of the default camera (which looks along the first axis), lit by
// one or four lights, at 640 x 480.
//
// Builds straight into the world tables and the renderer's state, as the loading
// sequence leaves them; SphereScene frees everything in the order of the Viewer's and
// the library's teardown. A world that cannot get its memory answers ready = false.
#pragma once

#include "memory/memory.h"
#include "render/render.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace bench_spheres {

constexpr i16 kWidth = 640;
constexpr i16 kHeight = 480;
constexpr f32 kSphereDepth = 30000.0f;
constexpr f32 kSphereRadius = 10000.0f;
constexpr f64 kPi = 3.141592653589793;

// The material's colours; the peer renderer in the comparison uses the same.
constexpr f32 kDiffuse[3] = {0.9f, 0.6f, 0.3f};
constexpr f32 kSpecular = 0.8f;
// The sun, toward the light in internal order (first, second, third).
constexpr f32 kSun[3] = {-3000.0f, 1000.0f, 4000.0f};
constexpr u8 kBackgroundBlue = 60;
constexpr i16 kTextureSide = 64;
constexpr i16 kRepeatS = 4;
constexpr i16 kRepeatT = 2;

enum Mode : int { kPlain = 0, kStereo = 1, kShadows = 2 };

inline bool addMaterial(World& world, bool textured)
{
    if (!prepareMaterialRow(world)) return false;
    MaterialRecord& material = world.materials[world.materialCount];
    for (int c = 0; c < 3; ++c) material.diffuseColor[c] = kDiffuse[c];
    for (f32& c : material.specularColor) c = kSpecular;
    if (textured) {
        material.hasTexture = 1;
        material.texture = 0;
        material.textureMode = 3; // coordinates generated around the sphere
        material.textureRepeatS = kRepeatS;
        material.textureRepeatT = kRepeatT;
    }
    world.materialCount = static_cast<i16>(world.materialCount + 1);
    return true;
}

// The checker board of texture row 0: squares of 8 texels, 230 and 40 grey.
inline u8 checkerTexel(int row, int column)
{
    return ((row / 8 + column / 8) % 2) ? 230 : 40;
}

inline bool addTexture(World& world)
{
    if (!prepareTextureRow(world)) return false;
    u8* texels = static_cast<u8*>(PluginAlloc(kTextureSide * kTextureSide * 3));
    if (!texels) return false;
    for (int row = 0; row < kTextureSide; ++row)
        for (int column = 0; column < kTextureSide; ++column)
            std::memset(texels + 3 * (row * kTextureSide + column), checkerTexel(row, column), 3);
    PluginFree(world.texturePixels[0]);
    world.texturePixels[0] = texels;
    world.textures[0].width = world.textures[0].height = kTextureSide;
    world.textureCount = 1;
    return true;
}

// Rings of the sphere of about `triangles` triangles (rings x 2 rings quads, two
// triangles each).
inline u32 sphereRings(u32 triangles)
{
    return std::max<u32>(2, static_cast<u32>(std::sqrt(triangles / 4.0)));
}

inline bool addSphere(World& world, u32 triangles)
{
    const u32 rings = sphereRings(triangles);
    const u32 segments = 2 * rings;
    const i16 object = newObject(world);
    if (object < 0) return false;
    world.objects[object].material = 0;
    const u32 vertices = (rings + 1) * segments;
    if (!growVertexRows(world, vertices + 1)) return false;
    for (u32 r = 0; r <= rings; ++r) {
        const f64 polar = kPi * r / rings;
        for (u32 s = 0; s < segments; ++s) {
            const f64 around = 2.0 * kPi * s / segments;
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

inline void addLights(World& world, int count)
{
    const i16 sun = newLight(world, 1); // from above, behind the eye
    f32* direction = world.directionalLights[world.lights[sun].kindIndex];
    for (int c = 0; c < 3; ++c) direction[c] = kSun[c];
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

struct SphereScene {
    World world;
    RenderState render;
    FrameState frame;
    bool ready = false;

    SphereScene(u32 triangles, bool textured, int lights, int mode)
    {
        ready = initWorldTables(world) && addMaterial(world, textured) &&
                (!textured || addTexture(world)) && addSphere(world, triangles) &&
                CreateFrameBuffers(frame, kWidth, kHeight);
        if (!ready) return;
        addLights(world, lights);
        world.backgroundBlue = kBackgroundBlue;
        PrepareBackground(world, frame);
        ready = AllocateWorldBuffers(world, render);
        BuildVertexFaceLists(world, render);
        GenerateTexCoords(world);
        ready = ready && BuildMaterialRamps(world);
        if (mode == kStereo) ready = ready && SetStereo(world, render, frame, true);
        if (mode == kShadows) ready = ready && SetShadows(world, render, frame, true);
    }
    ~SphereScene()
    {
        FreeMaterialRamps(world);
        FreeWorldBuffers(render);
        FreeFrameBuffers(frame);
        freeWorldTables(world);
    }
    SphereScene(const SphereScene&) = delete;
    SphereScene& operator=(const SphereScene&) = delete;
};

} // namespace bench_spheres
