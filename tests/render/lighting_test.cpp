// Per-corner lighting through the colour ramps.
#include "render/lighting.h"
#include "tests/render/scene.h"

#include <cmath>

using namespace render_test;

namespace {

class Lighting : public RenderScene {
protected:
    void SetUp() override
    {
        RenderScene::SetUp();
        material = addMaterial(world, 0.5f, 1.0f, 0.25f);
        for (f32& c : world.materials[material].specularColor) c = 1.0f;
    }
    // Shades a corner at `position` (view coordinates) with this normal; `facing` is -1
    // where the eye sees the back of the face.
    void shade(const Point& normal, f32 facing, const Point& position = {10000.0f, 0.0f, 0.0f})
    {
        ASSERT_TRUE(BuildMaterialRamps(world));
        CornerSurface surface{{normal.first, normal.second, normal.third}, facing};
        const f32 at[3] = {position.first, position.second, position.third};
        ShadeCorner(world, material, surface, at, record);
    }
    f32 ramp(int table, int entry) const { return world.colourRamps[material][table][entry]; }
    i16 material = 0;
    f32 record[kCornerColourValues] = {};
};

// Normals toward and away from the built-in camera light, (-1, 1, 1) / sqrt(3), and
// toward the eye.
const Point kFacingCameraLight{-0.57735026f, 0.57735026f, 0.57735026f};
const Point kAwayFromCameraLight{0.57735026f, -0.57735026f, -0.57735026f};
const Point kTowardEye{-1.0f, 0.0f, 0.0f};
// At ramp entry 1000 a channel takes its diffuse part, then the white highlight over
// what is left of it: 1 for every channel of the material.
constexpr f32 kFullyLit = 1.0f;

} // namespace

TEST_F(Lighting, BuildsRampsFromZeroToTheFullDiffuseColour)
{
    ASSERT_TRUE(BuildMaterialRamps(world));
    EXPECT_EQ(ramp(0, 0), 0.0f);
    EXPECT_NEAR(ramp(0, 1000), 0.5f, 1e-4f);
    EXPECT_NEAR(ramp(1, 1000), 1.0f, 1e-4f);
    EXPECT_EQ(ramp(3, 500), 0.0f); // no highlight up to half way
    EXPECT_NEAR(ramp(3, 750), std::pow(0.5f, 8.0f), 1e-4f);
    EXPECT_NEAR(ramp(3, 1000), 1.0f, 1e-3f);
}

TEST_F(Lighting, BuildsOneSetOfRampsForAWorldWithoutMaterials)
{
    World bare;
    ASSERT_TRUE(initWorldTables(bare));
    ASSERT_TRUE(BuildMaterialRamps(bare));
    for (int table = 0; table < 6; ++table) EXPECT_NE(bare.colourRamps[0][table], nullptr);
    EXPECT_EQ(bare.colourRamps[1][0], nullptr);
    FreeMaterialRamps(bare);
    FreeMaterialRamps(bare); // a second release finds nothing left to free
    freeWorldTables(bare);
}

// A surface facing away gets entry 0, unless the eye sees its back.
TEST_F(Lighting, UsesTheCameraLightWhenTheWorldHasNone)
{
    shade(kFacingCameraLight, 1.0f); // ramp entry 1000
    EXPECT_NEAR(record[0], kFullyLit, 1e-3f);
    EXPECT_NEAR(record[1], kFullyLit, 1e-3f);
    shade(kAwayFromCameraLight, 1.0f);
    for (int channel = 0; channel < 3; ++channel) EXPECT_EQ(record[channel], 0.0f) << channel;
    shade(kAwayFromCameraLight, -1.0f); // the eye sees the back: the cosine turns round
    EXPECT_NEAR(record[1], 1.0f, 1e-3f);
}

TEST_F(Lighting, DimsAPointLightBeyondItsFalloffDistance)
{
    // Fall-off 0.5 at 50000 units: q = 2.5, the light keeps 0.4 of its colour, green
    // 0.4 + 0.6 x 0.4 with the highlight. At 10000 units q = 0.5 and it is not dimmed.
    addPointLight(world, 0.0f, 0.0f, 0.0f, 0.5f);
    shade(kTowardEye, 1.0f, {50000.0f, 0.0f, 0.0f}); // facing the light at the eye
    EXPECT_NEAR(record[1], 0.64f, 1e-3f);
    shade(kTowardEye, 1.0f, {10000.0f, 0.0f, 0.0f});
    EXPECT_NEAR(record[1], kFullyLit, 1e-3f);
}

TEST_F(Lighting, HalvesTheDiffuseOfAHalfTransparentMaterial)
{
    world.materials[material].opaque = 0;
    world.materials[material].transparency = 0.5f;
    world.materials[material].hasTexture = 1; // textured: diffuse and highlight stay apart
    shade(kFacingCameraLight, 1.0f);
    EXPECT_NEAR(record[3], 0.5f, 1e-3f);  // 1 (textured) x 0.5
    EXPECT_NEAR(record[6], 0.75f, 1e-3f); // 1 x 0.75
}

// Regression: the reader stores a directional light's direction pointing toward the
// light and the lighting turned it round once more, so lit faces came out dark. A light
// along the file's +z, the way the camera looks, comes from behind the eye onto a face
// turned toward it; switched off, it lights nothing, and no camera light stands in.
TEST_F(Lighting, LightsAFaceTurnedToADirectionalLightAtEntry1000UnlessItIsOff)
{
    addDirectionalLight(world, 0.0f, -1.0f, 0.0f);               // file direction 0 -1 0
    shade({0.0f, 0.0f, 1.0f}, 1.0f, {10000.0f, 0.0f, -3000.0f}); // the floor: up is third
    EXPECT_NEAR(record[1], kFullyLit, 1e-3f);
    world.lightCount = world.directionalLightCount = 0;
    const i16 light = addDirectionalLight(world, 0.0f, 0.0f, 1.0f);
    shade(kTowardEye, 1.0f);
    EXPECT_NEAR(record[2], kFullyLit, 1e-3f);
    world.lights[light].enabled = 0.0f;
    shade(kTowardEye, 1.0f);
    EXPECT_EQ(record[0], 0.0f);
}

// The default reading keeps the light on the viewer's head beside the world's own unless
// NavigationInfo turns it off. A point light behind a face turned to the eye adds
// nothing (entry 0); the headlight reaches it at cosine 1 / sqrt(3), ramp entry
// trunc((1 / sqrt(3) + 1) / 2 x 1000) = 788: green 0.788 and the highlight
// 0.576^8 over the rest. A world without lights keeps the camera
// light whatever the headlight says; the line reader's own rule adds none.
TEST_F(Lighting, TheHeadlightJoinsTheWorldsLightsUnlessItIsOff)
{
    const struct {
        const char* what;
        bool rule, on, light, lit;
    } cases[] = {
        {"headlight on, a light behind", true, true, true, true},
        {"headlight off, a light behind", true, false, true, false},
        {"the line reader's rule, a light behind", false, true, true, false},
        {"headlight off, no lights", true, false, false, true},
    };
    for (const auto& c : cases) {
        world.lightCount = world.pointLightCount = 0;
        if (c.light) addPointLight(world, 0.0f, 0.0f, 4.0f, 0.0f); // depth 20000, past the corner
        world.vrmlHeadlight = c.rule;
        world.headlightOn = c.on;
        shade(kTowardEye, 1.0f);
        EXPECT_NEAR(record[1], c.lit ? 0.7905687f : 0.0f, 1e-4f) << c.what;
    }
}

// Regression: a corner at a light's own position divided by a zero distance.
TEST_F(Lighting, LetsALightAtTheCornerItselfAddNothing)
{
    addPointLight(world, 2.0f, 0.0f, 0.0f, 0.0f); // internal (0, 10000, 0)
    shade(kTowardEye, 1.0f, {0.0f, 10000.0f, 0.0f});
    for (f32 value : record) EXPECT_EQ(value, 0.0f);
}

// Regression: cos(pi x cone) wrapped once the cone value passed 1, so a wide cut-off
// angle of 1.4 radians lit almost nothing; and a long spot direction made every corner
// look inside a narrow cone.
TEST_F(Lighting, ASpotLightsOnlyCornersInsideItsCone)
{
    const struct {
        const char* what;
        f32 cutOffAngle;
        f32 directionLength; // the direction is stored as read, not of unit length
        bool lit;
    } cases[] = {{"wide cone of 1.4 radians", 1.4f, 1.0f, true},
                 {"narrow cone: 0.1 x 1.4279966 x pi, 26 degrees", 0.1f, 1.0f, false},
                 {"narrow cone, direction 40 long", 0.1f, 40.0f, false}};
    const i16 light = newLight(world, 3);
    SpotLightRow& spot = world.spotLights[world.lights[light].kindIndex];
    spot.location[0] = spot.location[1] = spot.location[2] = 0.0f;
    spot.direction[1] = spot.direction[2] = 0.0f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        spot.direction[0] = c.directionLength; // straight ahead
        spot.cone = c.cutOffAngle * 1.4279966f;
        // A corner 45 degrees off the beam, turned toward the lamp at the eye.
        shade({-0.70710677f, -0.70710677f, 0.0f}, 1.0f, {10000.0f, 10000.0f, 0.0f});
        if (c.lit)
            EXPECT_GT(record[1], 0.5f);
        else
            EXPECT_EQ(record[1], 0.0f);
    }
}
