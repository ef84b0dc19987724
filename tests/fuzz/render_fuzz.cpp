// Fuzz target for the renderer: any bytes, read as a world, drawn into a small frame
// plainly, with every option the Dashboard has (stereo, shadows, reflection, the lamp),
// then with its tables broken as no reader breaks them, and at one pixel. Nothing may
// crash, hang, or touch memory outside a buffer, whatever the world holds.
#include "memory/memory.h"
#include "render/render.h"
#include "world/reader.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// The lamp as the Dashboard adds it: a spot light at the eye, looking where the eye does.
void addLamp(World& world)
{
    const i16 light = newLight(world, 3);
    if (light < 0) return;
    world.lights[light].falloff = 0.05f;
    SpotLightRow& spot = world.spotLights[world.lights[light].kindIndex];
    const Camera& camera = world.camera;
    f32 along[3];
    for (int c = 0; c < 3; ++c) along[c] = camera.targetPoint[c] - camera.eyePoint[c];
    const f32 length = std::sqrt(along[0] * along[0] + along[1] * along[1] + along[2] * along[2]);
    for (int c = 0; c < 3; ++c) {
        spot.location[c] = camera.eyePoint[c];
        spot.direction[c] = length > 0.0f ? along[c] / length : (c == 0 ? 1.0f : 0.0f);
    }
    spot.cone = 0.16666667f;
}

// Rows the renderer follows pointed past and before their tables, lights of no kind,
// texture repeats of zero and below, values that are no numbers, and the two face
// orders no reader asks for: the renderer guards every one of them.
void breakTables(World& world)
{
    for (i16 l = 0; l < world.lightCount; ++l) {
        LightRecord& light = world.lights[l];
        light.kindIndex = static_cast<i16>(l % 3 == 0 ? 200 : l % 3 == 1 ? -100 : light.kindIndex);
        if (l % 3 == 2) light.kind = static_cast<i16>(l % 2 ? 4 : 0);
        if (l % 4 == 0) light.enabled = NAN;
    }
    for (i16 m = 0; m < world.materialCount; ++m) {
        MaterialRecord& material = world.materials[m];
        material.hasTexture = 1;
        material.texture = static_cast<i16>(m % 2 ? world.textureCount + 7 : -2);
        material.textureRepeatS = 0;
        material.textureRepeatT = -4;
        material.lightingScale = NAN;
    }
    for (i16 o = 0; o < world.objectCount; ++o) {
        world.objects[o].tag = static_cast<u8>(o % 2 ? 11 : 12);
        if (o % 3 == 1) world.objects[o].material = static_cast<i16>(world.materialCount + 9);
        if (o % 3 == 2)
            for (f32& bound : world.objectBounds[o]) bound = NAN;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    World world;
    RenderState render;
    FrameState frame;
    // Textures named by the input are looked for here first; the folder does not exist.
    std::strcpy(world.worldFolder, "fuzz-no-such-folder/");
    // Odd sizes, so nothing divides evenly; the first frame builds the working buffers
    // itself, as it does for a world that arrives after the Viewer opened.
    if (readWorldText(world, reinterpret_cast<const char*>(data), size) &&
        CreateFrameBuffers(frame, 37, 23)) {
        world.reflectionPixels = static_cast<u8*>(PluginAlloc(3 * 3 * 3));
        if (world.reflectionPixels) {
            world.reflectionWidth = world.reflectionHeight = 3;
            for (u32 t = 0; t < 27; ++t) world.reflectionPixels[t] = static_cast<u8>(t * 9);
        }
        PrepareBackground(world, frame);
        RenderFrame(world, render, frame);
        SetStereo(world, render, frame, true);
        SetShadows(world, render, frame, true);
        SetReflection(render, true);
        addLamp(world);
        RenderFrame(world, render, frame);
        breakTables(world);
        RenderFrame(world, render, frame);
        // The loading sequence's own buffers, then the camera broken too, at one pixel.
        FreeWorldBuffers(render);
        if (AllocateWorldBuffers(world, render)) {
            BuildVertexFaceLists(world, render);
            GenerateTexCoords(world);
            BuildMaterialRamps(world);
        }
        RenderFrame(world, render, frame);
        world.camera.rollAngle = NAN;
        world.camera.eyeGap = INFINITY;
        if (ResizeFrameBuffers(world, frame, 1, 1)) RenderFrame(world, render, frame);
    }
    FreeMaterialRamps(world);
    FreeWorldBuffers(render);
    FreeFrameBuffers(frame);
    freeWorldTables(world);
    return 0;
}
