// The fast path draws exactly the pixels and depth records of the plain path, in every
// combination of options.
#include "plugin/memory.h"
#include "tests/render/scene.h"

#include <cstring>
#include <vector>

using namespace render_test;

namespace {

constexpr i16 kWidth = 160;
constexpr i16 kHeight = 120;

struct Options {
    bool textured;
    bool stereo;
    bool shadows;
    bool reflection;
};

struct Picture {
    std::vector<u8> pixels;
    std::vector<DepthRecord> depths;
};

// Two spheres, one transparent, in front of a textured wall, lit by three lights.
void buildScene(World& world, bool textured)
{
    ASSERT_TRUE(initWorldTables(world));
    const i16 solid = addMaterial(world, 0.9f, 0.5f, 0.2f);
    const i16 glass = addMaterial(world, 0.2f, 0.6f, 0.9f);
    const i16 wall = addMaterial(world, 0.7f, 0.7f, 0.7f);
    for (i16 m : {solid, glass, wall})
        for (f32& c : world.materials[m].specularColor) c = 0.9f;
    world.materials[glass].opaque = 0;
    world.materials[glass].transparency = 0.4f;
    if (textured) {
        ASSERT_TRUE(prepareTextureRow(world));
        world.textureCount = 1;
        for (u32 t = 0; t < 10 * 10 * 3; ++t) world.texturePixels[0][t] = static_cast<u8>(t * 7);
        for (i16 m : {solid, wall}) {
            world.materials[m].hasTexture = 1;
            world.materials[m].textureMode = 3;
            world.materials[m].textureRepeatS = 3;
            world.materials[m].textureRepeatT = 2;
        }
    }
    world.reflectionWidth = world.reflectionHeight = 8;
    world.reflectionPixels = static_cast<u8*>(PluginAlloc(8 * 8 * 3));
    for (u32 t = 0; t < 8 * 8 * 3; ++t) world.reflectionPixels[t] = static_cast<u8>(t * 5);
    addSphere(world, solid, 14, {20000.0f, 2000.0f, 0.0f}, 4000.0f);
    addSphere(world, glass, 10, {14000.0f, -1500.0f, 500.0f}, 2500.0f);
    addQuad(world, wall, {30000.0f, 12000.0f, -9000.0f}, {30000.0f, -12000.0f, -9000.0f},
            {26000.0f, -12000.0f, 9000.0f}, {26000.0f, 12000.0f, 9000.0f});
    addDirectionalLight(world, 0.3f, -1.0f, 0.5f);
    addDirectionalLight(world, -1.0f, -0.2f, 0.3f);
    addPointLight(world, 1.0f, 2.0f, 1.0f, 0.3f);
    world.backgroundBlue = 80;
    world.camera.rollAngle = 0.1f;
}

Picture renderOnce(const Options& options, bool reference)
{
    World world;
    RenderState render;
    FrameState frame;
    Picture picture;
    buildScene(world, options.textured);
    render.referencePath = reference;
    EXPECT_TRUE(CreateFrameBuffers(frame, kWidth, kHeight));
    PrepareBackground(world, frame);
    EXPECT_TRUE(allocateWorldBuffers(world, render));
    BuildVertexFaceLists(world, render);
    GenerateTexCoords(world);
    EXPECT_TRUE(buildMaterialRamps(world));
    setStereo(world, render, frame, options.stereo);
    setShadows(world, render, frame, options.shadows);
    setReflection(render, options.reflection);
    RenderFrame(world, render, frame, nullptr, 1.0f);
    picture.pixels.assign(frame.frameBuffer, frame.frameBuffer + kWidth * kHeight * 4);
    picture.depths.assign(frame.depthBuffer, frame.depthBuffer + kWidth * kHeight);
    freeMaterialRamps(world);
    freeWorldBuffers(render);
    FreeFrameBuffers(frame);
    freeWorldTables(world);
    return picture;
}

class FastPath : public ::testing::TestWithParam<Options> {};

} // namespace

TEST_P(FastPath, DrawsTheSamePixelsAsThePlainPath)
{
    const Picture plain = renderOnce(GetParam(), true);
    const Picture fast = renderOnce(GetParam(), false);
    u32 drawn = 0;
    for (std::size_t p = 0; p < plain.pixels.size(); p += 4) {
        ASSERT_EQ(fast.pixels[p], plain.pixels[p]) << "pixel " << p / 4;
        ASSERT_EQ(fast.pixels[p + 1], plain.pixels[p + 1]) << "pixel " << p / 4;
        ASSERT_EQ(fast.pixels[p + 2], plain.pixels[p + 2]) << "pixel " << p / 4;
    }
    for (std::size_t r = 0; r < plain.depths.size(); ++r) {
        ASSERT_EQ(fast.depths[r].state, plain.depths[r].state) << "record " << r;
        ASSERT_EQ(fast.depths[r].object, plain.depths[r].object) << "record " << r;
        ASSERT_EQ(std::memcmp(&fast.depths[r].depth, &plain.depths[r].depth, sizeof(f32)), 0)
            << "record " << r;
        if (plain.depths[r].state != kDepthEmpty) ++drawn;
    }
    EXPECT_GT(drawn, kWidth * kHeight / 4u); // the scene covers a good part of the frame
}

INSTANTIATE_TEST_SUITE_P(
    EveryOption, FastPath,
    ::testing::Values(Options{false, false, false, false}, Options{true, false, false, false},
                      Options{false, true, false, false}, Options{true, true, false, false},
                      Options{false, false, true, false}, Options{true, false, true, true},
                      Options{false, false, false, true}, Options{true, true, true, true}));
