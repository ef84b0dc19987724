// Texels of material textures and of the reflection image, and generated coordinates.
#include "memory/memory.h"
#include "render/texture.h"
#include "tests/render/scene.h"

#include <cstring>
#include <vector>

using namespace render_test;

namespace {

class Texturing : public RenderScene {
protected:
    // A material of texture row 0, `repeat` times across a screen rectangle whose
    // texture coordinates run from s 0 to 1 left to right; answers the material.
    i16 texturedRect(i16 repeat)
    {
        const i16 m = addMaterial(world, 1, 1, 1);
        useTexture(world.materials[m], repeat, 1);
        const i16 object = rect(m, 8.0f, 10.5f, 56.0f, 30.5f, 10000.0f);
        const u32 first = world.objects[object].firstVertex - 1;
        for (u32 k = 0; k < 4; ++k) {
            world.vertexTexCoords[first + k][0] = k == 1 || k == 2 ? 1.0f : 0.0f;
            world.vertexTexCoords[first + k][1] = 0.5f;
        }
        world.objects[object].hasTexCoords = 1;
        return m;
    }
};

} // namespace

// Texels are found by (s, t) in rows of `width` texels, index = row x width + column.
TEST(TexelLookup, FindsTheTexelOfEachCoordinatePairInsideTheImage)
{
    const struct {
        const char* what;
        i16 width, height;
        f32 s, t;
        i64 expected;
        bool reflection = false;
    } rows[] = {
        {"column 16, row 16 at 0.25, 0.5", 64, 32, 0.25f, 0.5f, 16 * 64 + 16},
        {"frac(1.0) is 0: repeats exactly at whole coordinates", 64, 32, 1.0f, 0.0f, 0},
        {"whole parts dropped", 64, 32, 3.25f, 2.5f, 16 * 64 + 16},
        {"negative coordinates count as 0", 8, 8, -0.3f, -7.0f, 0},
        {"undefined coordinates count as 0", 8, 8, NAN, INFINITY, 0},
        {"huge and just-below-one coordinates", 8, 8, 1.0e30f, 0.999999f, 7 * 8},
        // Regression: span additions carry a reflection coordinate slightly past 1.0,
        // which addressed a row or column one beyond the image.
        {"reflection just past 1", 100, 100, 1.0000085f, 1.0000085f, 99 * 100 + 99, true},
        {"reflection undefined or negative", 100, 100, NAN, -0.5f, 0, true},
    };
    for (const auto& row : rows) {
        std::vector<u8> texels(static_cast<std::size_t>(row.width) * row.height * 3);
        const TextureView view{texels.data(), row.width, row.height};
        const u8* texel =
            row.reflection ? reflectionTexel(view, row.s, row.t) : textureTexel(view, row.s, row.t);
        EXPECT_EQ((texel - view.texels) / 3, row.expected) << row.what;
    }
}

TEST_F(Texturing, ShowsTheTextureFourTimesWithRepeatFactorFour)
{
    open(kWidth, kHeight);
    ASSERT_NE(addTexture(world, 2, 1, {0, 0, 255, 0, 255, 0}), nullptr); // red, green
    texturedRect(4);
    draw();
    // 48 pixels, s from 0 to 4: eight bands of 6 pixels, red and green in turn.
    for (i32 band = 0; band < 8; ++band) {
        const Colour c = pixel(8 + 6 * band + 3, 20);
        if (band % 2 == 0) {
            EXPECT_GT(c.red, 100) << band;
            EXPECT_EQ(c.green, 0) << band;
        } else {
            EXPECT_EQ(c.red, 0) << band;
            EXPECT_GT(c.green, 100) << band;
        }
    }
}

// Regression: highlights summed over several lights passed 255 and turned the texel
// dark, then negative (an undefined conversion to a byte).
TEST_F(Texturing, LimitsHighlightsSummedOverSeveralLightsToWhite)
{
    open(kWidth, kHeight);
    ASSERT_NE(addTexture(world, 1, 1, {200, 200, 200}), nullptr);
    const i16 m = texturedRect(1);
    for (int c = 0; c < 3; ++c) world.materials[m].specularColor[c] = 1.0f;
    for (int l = 0; l < 3; ++l) addDirectionalLight(world, 0.0f, 0.0f, 1.0f); // from the eye
    draw();
    EXPECT_EQ(pixel(30, 20), (Colour{255, 255, 255}));
}

// Coordinates are generated on every side of the object's centre, and left alone in an
// object that brings its own.
TEST_F(Texturing, GeneratesSphericalCoordinatesOnEverySideUnlessTheFileGaveThem)
{
    const i16 m = addMaterial(world, 1, 1, 1);
    useTexture(world.materials[m], 1, 1); // coordinates whatever the texture holds
    beginObject(world, m);
    const Point points[] = {{0, -1000, 0}, {0, 1000, 0}, {1000, 0, 0}, {-1000, 0, 0},
                            {0, 0, -1000}, {0, 0, 1000}, {0, 0, 0}};
    for (const Point& p : points) addVertex(world, p);
    addFace(world, {0, 1, 2});
    endObject(world);
    const i16 given = beginObject(world, m);
    addVertex(world, {0, -1000, 0});
    addVertex(world, {0, 1000, 0});
    endObject(world);
    world.objects[given].hasTexCoords = 1;
    world.vertexTexCoords[7][0] = 0.125f;
    GenerateTexCoords(world);
    EXPECT_EQ(world.vertexTexCoords[7][0], 0.125f);
    // Vertex, s (0) or t (1), value. Regressions: vertex 0's s was 0.75 (the "first
    // component 0" shortcut, not the full-circle arctangent), the lower pole's t was 1.
    // Vertex 6 is the centre itself.
    const struct {
        u32 vertex, coord;
        f32 value;
    } rows[] = {{0, 0, 0.25f}, {1, 0, 0.75f}, {2, 0, 0.5f},  {2, 1, 0.5f}, {3, 0, 1.0f},
                {4, 1, 0.0f},  {5, 1, 1.0f},  {6, 0, 0.75f}, {6, 1, 1.0f}};
    for (const auto& row : rows)
        EXPECT_FLOAT_EQ(world.vertexTexCoords[row.vertex][row.coord], row.value) << row.vertex;
}

TEST(ReflectionMapping, SamplesBehindTheEyeForAMirrorFacingItAndStaysInsideTheImage)
{
    RenderState render;
    render.sceneDiameter = 5000.0f;
    const f32 ahead[3] = {1000.0f, 0.0f, 0.0f};
    const f32 towardEye[3] = {-1.0f, 0.0f, 0.0f};
    f32 coords[2];
    ReflectionCoords(render, ahead, towardEye, coords);
    EXPECT_NEAR(coords[0], 0.5f, 1e-6f); // level: half way up
    EXPECT_NEAR(coords[1], 0.0f, 1e-6f); // heading pi: straight back
    // Any ray, even from a corner outside the scene sphere, stays inside the image.
    render.sceneDiameter = 100.0f;
    render.sceneCentre[0] = 9000.0f;
    const f32 outside[3] = {10.0f, -3.0f, 7.0f};
    const f32 up[3] = {0.0f, 0.0f, 1.0f};
    ReflectionCoords(render, outside, up, coords);
    for (f32 coord : coords) {
        EXPECT_GE(coord, 0.0f);
        EXPECT_LT(coord, 1.0f);
    }
}

// The option outlives the world buffers: a world loaded afresh is drawn with it too.
TEST_F(Texturing, AddsFortyPercentOfTheReflectionImageOnlyWhileReflectionIsOn)
{
    open(kWidth, kHeight);
    world.reflectionWidth = world.reflectionHeight = 4;
    world.reflectionPixels = static_cast<u8*>(PluginAlloc(4 * 4 * 3));
    std::memset(world.reflectionPixels, 100, 4 * 4 * 3);
    rect(addMaterial(world, 0.5f, 0.5f, 0.5f), 10.5f, 10.5f, 50.5f, 30.5f, 10000.0f);
    draw();
    const Colour plain = pixel(30, 20);
    SetReflection(render, true);
    draw();
    const Colour mirrored = pixel(30, 20);
    EXPECT_NEAR(mirrored.red, plain.red + 40, 1);
    EXPECT_NEAR(mirrored.blue, plain.blue + 40, 1);
    FreeWorldBuffers(render);
    load();
    draw();
    EXPECT_EQ(pixel(30, 20), mirrored);
    SetReflection(render, false);
    draw();
    EXPECT_EQ(pixel(30, 20), plain);
}
