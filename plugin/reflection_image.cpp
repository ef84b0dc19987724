// The reflection image: "reflex.jpg" from the path, or a soft sky over ground.
#include "plugin/reflection_image.h"

#include "base/convert.h"
#include "image/image.h"
#include "image/picture_file.h"
#include "memory/memory.h"

constexpr i32 kDefaultSide = 100;
constexpr std::size_t kPathSize = 4096;

// A colour of the default picture at a height t (0 bottom row, 1 top row).
struct GradientStop {
    f32 t;
    f32 blue, green, red;
};

// Dark grey-brown ground, lighter towards a hazy horizon, then light blue sky: a
// reflective surface without "reflex.jpg" still mirrors something like the world.
constexpr GradientStop kGradient[] = {
    {0.00f, 56.0f, 64.0f, 72.0f},    // ground under the viewer
    {0.47f, 118.0f, 136.0f, 150.0f}, // ground at the horizon
    {0.53f, 232.0f, 220.0f, 206.0f}, // haze just above it
    {1.00f, 235.0f, 185.0f, 135.0f}, // sky overhead
};
constexpr int kStopCount = sizeof kGradient / sizeof kGradient[0];

static void gradientColour(f32 t, u8 pixel[3])
{
    int upper = 1;
    while (upper < kStopCount - 1 && t > kGradient[upper].t) ++upper;
    const GradientStop& low = kGradient[upper - 1];
    const GradientStop& high = kGradient[upper];
    const f32 share = (t - low.t) / (high.t - low.t);
    pixel[0] = toByte(low.blue + (high.blue - low.blue) * share);
    pixel[1] = toByte(low.green + (high.green - low.green) * share);
    pixel[2] = toByte(low.red + (high.red - low.red) * share);
}

static void replaceReflection(World& world, u8* block, i32 width, i32 height)
{
    PluginFree(world.reflectionPixels);
    world.reflectionPixels = block;
    world.reflectionWidth = width;
    world.reflectionHeight = height;
}

// The 100 x 100 default, rows bottom-up like a decoded picture: the ground in the
// first rows, the sky in the last. Without memory the old image stays.
static void storeDefaultReflection(World& world)
{
    constexpr u32 kBytes = kDefaultSide * kDefaultSide * 3;
    u8* block = static_cast<u8*>(PluginAlloc(kBytes));
    if (!block) return;
    for (i32 row = 0; row < kDefaultSide; ++row) {
        u8 colour[3];
        gradientColour(static_cast<f32>(row) / (kDefaultSide - 1), colour);
        u8* pixel = block + row * kDefaultSide * 3;
        for (i32 column = 0; column < kDefaultSide; ++column, pixel += 3) {
            pixel[0] = colour[0];
            pixel[1] = colour[1];
            pixel[2] = colour[2];
        }
    }
    replaceReflection(world, block, kDefaultSide, kDefaultSide);
}

// The decoded picture as the reflection image. Consumes the picture; false when
// there was no memory for the copy.
static bool storeReflection(World& world, DecodedPicture& picture)
{
    u8* block = packPixels(picture);
    if (block) replaceReflection(world, block, picture.jpegWidth, picture.jpegHeight);
    PluginFree(picture.jpegPixels);
    picture = DecodedPicture{};
    return block != nullptr;
}

void loadReflectionImage(World& world)
{
    char path[kPathSize];
    if (findOnPath("reflex.jpg", "PATH", path, sizeof path)) {
        DecodedPicture picture;
        i16 idLength = 0;
        const PictureKind kind = choosePictureKind(path, PictureKind::None);
        if (readPictureFile(path, kind, picture, idLength) && storeReflection(world, picture))
            return;
    }
    storeDefaultReflection(world);
}
