// The fast path draws exactly the pixels and depth records of the plain path, in every
// combination of options.
#include "tests/render/scene.h"

#include <cstring>
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

Picture renderOnce(const Options& options, bool reference)
{
    Scene scene;
    buildShowcase(scene.world, options.textured);
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

} // namespace

TEST_P(FastPath, DrawsTheSamePixelsAsThePlainPath)
{
    const Picture plain = renderOnce(GetParam(), true);
    const Picture fast = renderOnce(GetParam(), false);
    u32 drawn = 0;
    for (std::size_t p = 0; p < plain.pixels.size(); p += 4) {
        // Blue, green and red; the fourth byte is unused.
        ASSERT_EQ(std::memcmp(&fast.pixels[p], &plain.pixels[p], 3), 0) << "pixel " << p / 4;
    }
    for (std::size_t r = 0; r < plain.depths.size(); ++r) {
        ASSERT_EQ(fast.depths[r].state, plain.depths[r].state) << "record " << r;
        ASSERT_EQ(fast.depths[r].object, plain.depths[r].object) << "record " << r;
        ASSERT_EQ(std::memcmp(&fast.depths[r].depth, &plain.depths[r].depth, sizeof(f32)), 0)
            << "record " << r;
        if (plain.depths[r].state != kDepthEmpty) ++drawn;
    }
    EXPECT_GT(drawn,
              kPictureWidth * kPictureHeight / 4u); // the scene covers a good part of the frame
}

INSTANTIATE_TEST_SUITE_P(
    EveryOption, FastPath,
    ::testing::Values(Options{false, false, false, false}, Options{true, false, false, false},
                      Options{false, true, false, false}, Options{true, true, false, false},
                      Options{false, false, true, false}, Options{true, false, true, true},
                      Options{false, false, false, true}, Options{true, true, true, true}));
