// The fast path draws exactly the pixels and depth records of the plain path, in every
// combination of options.
#include "render/camera.h"
#include "render/prepare.h"
#include "render/shadow.h"
#include "tests/render/scene.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

using namespace render_test;

namespace {

constexpr i16 kPictureWidth = 160;
constexpr i16 kPictureHeight = 120;

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

// Triangles and quadrilaterals at random places, sizes and depths, a fifth of their
// corners beyond the image, some of them folded over (a quadrilateral's outline crossing
// itself), in objects of opaque, transparent and textured materials.
void buildRandomFaces(World& world, bool textured)
{
    std::mt19937 random(20240611);
    std::uniform_real_distribution<f32> across(-0.3f, 1.3f), depth(3000.0f, 9000.0f),
        size(0.5f, 40.0f), unit(0.0f, 1.0f);
    const i16 materials[3] = {addMaterial(world, 0.9f, 0.5f, 0.2f),
                              addMaterial(world, 0.2f, 0.6f, 0.9f, 0.5f),
                              addMaterial(world, 0.4f, 0.9f, 0.4f)};
    if (u8* texels = textured ? addTexture(world, 10, 10) : nullptr) {
        for (u32 t = 0; t < 10 * 10 * 3; ++t) texels[t] = static_cast<u8>(t * 11);
        useTexture(world.materials[materials[2]], 2, 3);
    }
    for (u32 o = 0; o < 12; ++o) {
        beginObject(world, materials[o % 3]);
        world.objects[world.objectCount - 1].normalPerVertex = static_cast<u8>(o % 2);
        for (u32 f = 0; f < 40; ++f) {
            const f32 x = across(random) * kPictureWidth, y = across(random) * kPictureHeight;
            const f32 d = depth(random), reach = size(random);
            u32 corners[4];
            const u32 count = 3 + f % 2;
            for (u32 k = 0; k < count; ++k)
                corners[k] = addVertex(
                    world, atScreen(kPictureWidth, kPictureHeight, x + reach * unit(random),
                                    y + reach * unit(random), d + 500.0f * unit(random)));
            addFace(world, corners, count);
        }
        endObject(world);
    }
    addDirectionalLight(world, 0.3f, -1.0f, 0.5f);
}

Picture renderOnce(const Options& options, bool reference, bool randomFaces = false,
                   u32 threads = 0)
{
    Scene scene;
    SetFrameThreads(scene.render, threads);
    if (randomFaces) {
        buildRandomFaces(scene.world, options.textured);
    } else {
        buildShowcase(scene.world, options.textured);
    }
    scene.render.referencePath = reference;
    EXPECT_TRUE(scene.openFrame(kPictureWidth, kPictureHeight));
    EXPECT_TRUE(scene.loadWorld());
    SetStereo(scene.world, scene.render, scene.frame, options.stereo);
    SetShadows(scene.world, scene.render, scene.frame, options.shadows);
    SetReflection(scene.render, options.reflection);
    RenderFrame(scene.world, scene.render, scene.frame);
    const u8* pixels = scene.frame.frameBuffer;
    const DepthRecord* depths = scene.frame.depthBuffer;
    constexpr u32 kCount = kPictureWidth * kPictureHeight;
    return {{pixels, pixels + 4 * kCount}, {depths, depths + kCount}};
}

class FastPath : public ::testing::TestWithParam<Options> {};

void expectSamePicture(const Picture& fast, const Picture& plain)
{
    for (std::size_t p = 0; p < plain.pixels.size(); p += 4) {
        // Blue, green and red; the fourth byte is unused.
        ASSERT_EQ(std::memcmp(&fast.pixels[p], &plain.pixels[p], 3), 0) << "pixel " << p / 4;
    }
    for (std::size_t r = 0; r < plain.depths.size(); ++r) {
        ASSERT_EQ(fast.depths[r].state, plain.depths[r].state) << "record " << r;
        ASSERT_EQ(fast.depths[r].object, plain.depths[r].object) << "record " << r;
        ASSERT_EQ(std::memcmp(&fast.depths[r].depth, &plain.depths[r].depth, sizeof(f32)), 0)
            << "record " << r;
    }
}

// A light looking straight along the first axis (its frame is the world's own, exactly)
// over a world 128 units across and up: on the 160 x 120 map a corner whose height is a
// multiple of 16 lies on a whole row, whose place across is a multiple of 4 on a whole
// column. Triangles and quadrilaterals in several objects, half of their corners on
// such places (some edges level, some faces flat on one row), the others anywhere.
void buildMapFaces(World& world)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> rowStep(0, 8), columnStep(0, 32);
    std::uniform_real_distribution<f32> anywhere(0.0f, 128.0f), depth(1000.0f, 5000.0f);
    const i16 material = addMaterial(world, 0.7f, 0.7f, 0.7f);
    // The extent: a square from corner to corner.
    addPolygon(world, material,
               {{6000.0f, 0.0f, 0.0f},
                {6000.0f, 128.0f, 0.0f},
                {6000.0f, 128.0f, 128.0f},
                {6000.0f, 0.0f, 128.0f}});
    for (u32 o = 0; o < 6; ++o) {
        beginObject(world, material);
        for (u32 f = 0; f < 60; ++f) {
            u32 corners[4];
            const u32 count = 3 + (f % 5 == 4);
            const f32 faceDepth = depth(random);
            for (u32 k = 0; k < count; ++k) {
                const bool onGrid = (f + k) % 2 == 0;
                const f32 up =
                    onGrid ? 16.0f * static_cast<f32>(rowStep(random)) : anywhere(random);
                const f32 across =
                    onGrid ? 4.0f * static_cast<f32>(columnStep(random)) : anywhere(random);
                corners[k] = addVertex(world, {faceDepth + 300.0f * static_cast<f32>(k), across,
                                               f % 7 == 3 ? 48.0f : up});
            }
            addFace(world, corners, count);
        }
        endObject(world);
    }
    addDirectionalLight(world, 0.0f, 0.0f, 1.0f);
}

// The first light's map as PrepareFrame draws it, texel by texel.
std::vector<ShadowTexel> drawMap(bool reference)
{
    Scene scene;
    buildMapFaces(scene.world);
    scene.render.referencePath = reference;
    EXPECT_TRUE(scene.openFrame(kPictureWidth, kPictureHeight));
    EXPECT_TRUE(scene.loadWorld());
    EXPECT_TRUE(SetShadows(scene.world, scene.render, scene.frame, true));
    std::vector<ShadowTexel> texels;
    if (PrepareFrame(scene.world, scene.render, scene.frame) && scene.render.shadowMaps) {
        const ShadowDescriptor& map = scene.render.shadowDescriptors[0];
        const auto* first = static_cast<const ShadowTexel*>(scene.render.shadowMaps) + map.offset;
        texels.assign(first, first + map.size);
        RestoreWorld(scene.world, scene.render);
    }
    ReleaseShadowMaps(scene.render);
    return texels;
}

} // namespace

// The map's own loops for triangles (rows through corners included) against the plain
// path's scan of every face.
TEST(FastPathShadowMap, HoldsTheTexelsOfThePlainPath)
{
    const std::vector<ShadowTexel> plain = drawMap(true), fast = drawMap(false);
    ASSERT_EQ(plain.size(), std::size_t{kPictureWidth} * kPictureHeight);
    ASSERT_EQ(fast.size(), plain.size());
    u32 drawn = 0;
    for (std::size_t t = 0; t < plain.size(); ++t) {
        ASSERT_EQ(fast[t].object, plain[t].object) << "texel " << t;
        ASSERT_EQ(std::memcmp(&fast[t].depth, &plain[t].depth, sizeof(f32)), 0) << "texel " << t;
        drawn += plain[t].object > 1; // beyond the square behind everything
    }
    EXPECT_GT(drawn, plain.size() / 4);
}

// The showcase, then random triangles and quadrilaterals for the fast path's own loops
// against the general scan.
TEST_P(FastPath, DrawsTheSamePixelsAsThePlainPath)
{
    for (bool randomFaces : {false, true}) {
        SCOPED_TRACE(randomFaces ? "random faces" : "showcase");
        const Picture plain = renderOnce(GetParam(), true, randomFaces);
        expectSamePicture(renderOnce(GetParam(), false, randomFaces), plain);
        const auto drawn =
            std::count_if(plain.depths.begin(), plain.depths.end(),
                          [](const DepthRecord& r) { return r.state != kDepthEmpty; });
        EXPECT_GT(drawn, kPictureWidth * kPictureHeight / 4); // a good part drawn
    }
}

// Bands of rows drawn by several threads give the one thread's picture, whatever the
// count (3 and 7 cut the rows unevenly; 16 is more than there are rows of blocks).
TEST_P(FastPath, DrawsTheSamePictureWithAnyNumberOfThreads)
{
    const Picture one = renderOnce(GetParam(), false, true, 1);
    for (u32 threads : {2u, 3u, 7u, 16u}) {
        SCOPED_TRACE(threads);
        expectSamePicture(renderOnce(GetParam(), false, true, threads), one);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryOption, FastPath,
    ::testing::Values(Options{false, false, false, false}, Options{true, false, false, false},
                      Options{false, true, false, false}, Options{true, true, false, false},
                      Options{false, false, true, false}, Options{true, false, true, true},
                      Options{false, false, false, true}, Options{true, true, true, true}));
