// Worlds no reader would write: every value at its extremes. Nothing may crash, hang,
// or read or write outside a table (the sanitizer build watches), whatever is drawn.
#include "memory/memory.h"
#include "tests/render/scene.h"

#include <cmath>
#include <limits>
#include <random>

using namespace render_test;

namespace {

class HostileWorld : public RenderScene {
protected:
    f32 anyFloat()
    {
        constexpr f32 kMax = std::numeric_limits<f32>::max();
        constexpr f32 kTiny = std::numeric_limits<f32>::denorm_min();
        static const f32 extremes[] = {0.0f, -0.0f, NAN,   INFINITY, -INFINITY,
                                       kMax, -kMax, kTiny, 1.0e-30f, 5000.0f};
        std::uniform_int_distribution<int> pick(0, 19);
        const int choice = pick(random);
        if (choice < 10) return extremes[choice];
        std::uniform_real_distribution<f32> ordinary(-40000.0f, 40000.0f);
        return ordinary(random);
    }
    u32 anyIndex(u32 count)
    {
        std::uniform_int_distribution<u32> pick(0, count + 3); // sometimes past the end
        return pick(random);
    }
    void buildHostile()
    {
        const i16 material = addMaterial(world, anyFloat(), 0.5f, anyFloat());
        MaterialRecord& row = world.materials[material];
        row.transparency = anyFloat();
        row.opaque = static_cast<i16>(random() % 2);
        row.hasTexture = static_cast<i16>(random() % 2);
        row.texture = static_cast<i16>(static_cast<int>(random() % 5) - 2);
        row.textureRepeatS = static_cast<i16>(static_cast<int>(random() % 9) - 4);
        row.lightingScale = anyFloat();
        for (f32& c : row.specularColor) c = anyFloat();
        for (int o = 0; o < 3; ++o) {
            const i16 object =
                beginObject(world, static_cast<i16>(static_cast<int>(random() % 4) - 1));
            world.objects[object].tag = static_cast<u8>(random() % 2 ? 12 : 11);
            world.objects[object].normalPerVertex = static_cast<u8>(random() % 2);
            const u32 first = world.vertexCount;
            for (int v = 0; v < 12; ++v) addVertex(world, {anyFloat(), anyFloat(), anyFloat()});
            for (int f = 0; f < 10; ++f) {
                u32 corners[8];
                const u32 count = 1 + static_cast<u32>(random() % 8);
                for (u32 k = 0; k < count; ++k) corners[k] = first + anyIndex(12);
                addFace(world, corners, count);
            }
            endObject(world);
            for (f32& bound : world.objectBounds[object]) bound = anyFloat();
        }
        for (int l = 0; l < 3; ++l) {
            const i16 light = newLight(world, static_cast<i16>(1 + random() % 4));
            if (light < 0) continue;
            LightRecord& record = world.lights[light];
            record.enabled = random() % 4 ? 1.0f : anyFloat();
            record.falloff = anyFloat();
            for (f32& c : record.color) c = anyFloat();
            if (record.kind == 1) {
                for (f32& c : world.directionalLights[record.kindIndex]) c = anyFloat();
            } else if (record.kind == 2) {
                for (f32& c : world.pointLights[record.kindIndex]) c = anyFloat();
            } else if (record.kind == 3) {
                SpotLightRow& spot = world.spotLights[record.kindIndex];
                for (f32& c : spot.location) c = anyFloat();
                for (f32& c : spot.direction) c = anyFloat();
                spot.cone = anyFloat();
            }
            if (random() % 5 == 0) record.kindIndex = static_cast<i16>(random() % 300 - 100);
        }
        for (f32& c : world.camera.eyePoint) c = random() % 3 ? 0.0f : anyFloat();
        for (f32& c : world.camera.targetPoint) c = random() % 3 ? 1.0f : anyFloat();
        world.camera.rollAngle = random() % 2 ? 0.0f : anyFloat();
        world.camera.viewAngle = random() % 2 ? 0.3f : anyFloat();
        world.camera.eyeGap = random() % 2 ? 1.0f : anyFloat();
        world.reflectionWidth = world.reflectionHeight = 3;
        world.reflectionPixels = static_cast<u8*>(PluginAlloc(27));
        for (u32 t = 0; t < 27; ++t) world.reflectionPixels[t] = static_cast<u8>(t * 9);
    }
    std::mt19937 random{20261206};
};

} // namespace

TEST_F(HostileWorld, RendersWithEveryOptionWithoutFault)
{
    for (int round = 0; round < 60; ++round) {
        FreeMaterialRamps(world);
        FreeWorldBuffers(render);
        FreeFrameBuffers(frame);
        freeWorldTables(world);
        ASSERT_TRUE(initWorldTables(world));
        buildHostile();
        open(static_cast<i16>(1 + random() % 40), static_cast<i16>(1 + random() % 30));
        if (round % 2) load(); // otherwise the first frame builds what it needs
        SetStereo(world, render, frame, random() % 2 == 0);
        SetShadows(world, render, frame, random() % 2 == 0);
        SetReflection(render, random() % 2 == 0);
        draw();
        draw();
        SUCCEED() << "round " << round;
    }
}
