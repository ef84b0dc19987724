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
        world.materials[material].specularColor[0] = 1.0f;
        world.materials[material].specularColor[1] = 1.0f;
        world.materials[material].specularColor[2] = 1.0f;
    }
    void shade(const f32 normal[3], f32 facing, const f32 position[3])
    {
        ASSERT_TRUE(buildMaterialRamps(world));
        CornerSurface surface{{normal[0], normal[1], normal[2]}, facing};
        ShadeCorner(world, material, surface, position, record);
    }
    f32 ramp(int table, int entry) const { return world.colourRamps[material][table][entry]; }
    i16 material = 0;
    f32 record[kCornerColourValues] = {};
};

const f32 kAtDepth[3] = {10000.0f, 0.0f, 0.0f};

} // namespace

TEST_F(Lighting, BuildsRampsFromZeroToTheFullDiffuseColour)
{
    ASSERT_TRUE(buildMaterialRamps(world));
    EXPECT_EQ(ramp(0, 0), 0.0f);
    EXPECT_NEAR(ramp(0, 1000), 0.5f, 1e-4f);
    EXPECT_NEAR(ramp(1, 1000), 1.0f, 1e-4f);
    EXPECT_EQ(ramp(3, 500), 0.0f); // no highlight up to half way
    EXPECT_NEAR(ramp(3, 750), std::pow(0.5f, 8.0f), 1e-4f);
    EXPECT_NEAR(ramp(3, 1000), 1.0f, 1e-3f);
    EXPECT_FLOAT_EQ(world.materials[material].lightingScale, 0.4f);
}

TEST_F(Lighting, BuildsOneSetOfRampsForAWorldWithoutMaterials)
{
    World bare;
    ASSERT_TRUE(initWorldTables(bare));
    ASSERT_TRUE(buildMaterialRamps(bare));
    for (int table = 0; table < 6; ++table) EXPECT_NE(bare.colourRamps[0][table], nullptr);
    EXPECT_EQ(bare.colourRamps[1][0], nullptr);
    freeMaterialRamps(bare);
    freeMaterialRamps(bare); // a second release finds nothing left to free
    freeWorldTables(bare);
}

TEST_F(Lighting, UsesTheCameraLightWhenTheWorldHasNone)
{
    // A normal pointing at the built-in light, (-1, 1, 1) / sqrt(3): ramp entry 1000.
    const f32 facingLight[3] = {-0.57735026f, 0.57735026f, 0.57735026f};
    shade(facingLight, 1.0f, kAtDepth);
    const f32 full = ramp(0, 1000) + (1.0f - ramp(0, 1000)) * ramp(3, 1000);
    EXPECT_NEAR(record[0], full, 1e-6f);
    EXPECT_NEAR(record[1], 1.0f, 1e-3f);
}

TEST_F(Lighting, GivesASurfaceFacingAwayEntryZero)
{
    const f32 away[3] = {0.57735026f, -0.57735026f, -0.57735026f};
    shade(away, 1.0f, kAtDepth);
    EXPECT_EQ(record[0], 0.0f);
    EXPECT_EQ(record[1], 0.0f);
    EXPECT_EQ(record[2], 0.0f);
}

TEST_F(Lighting, LightsTheBackOfAFaceAsItsFrontFromTheOtherSide)
{
    const f32 away[3] = {0.57735026f, -0.57735026f, -0.57735026f};
    shade(away, -1.0f, kAtDepth); // the eye sees the back: the cosine turns round
    EXPECT_NEAR(record[1], 1.0f, 1e-3f);
}

TEST_F(Lighting, DimsAPointLightBeyondItsFalloffDistance)
{
    // Fall-off 0.5 at 50000 units: q = 2.5, the light keeps 0.4 of its colour. At
    // 10000 units q = 0.5 and it is not dimmed.
    addPointLight(world, 0.0f, 0.0f, 0.0f, 0.5f);
    const f32 towardLight[3] = {-1.0f, 0.0f, 0.0f};
    const f32 far[3] = {50000.0f, 0.0f, 0.0f};
    shade(towardLight, 1.0f, far);
    const f32 diffuse = ramp(1, 1000);
    EXPECT_NEAR(record[1], diffuse * 0.4f + (1 - diffuse * 0.4f) * ramp(4, 1000) * 0.4f, 1e-5f);
    const f32 near[3] = {10000.0f, 0.0f, 0.0f};
    shade(towardLight, 1.0f, near);
    EXPECT_NEAR(record[1], diffuse + (1 - diffuse) * ramp(4, 1000), 1e-5f);
}

TEST_F(Lighting, HalvesTheDiffuseOfAHalfTransparentMaterial)
{
    world.materials[material].opaque = 0;
    world.materials[material].transparency = 0.5f;
    world.materials[material].hasTexture = 1; // textured: diffuse and highlight stay apart
    const f32 facingLight[3] = {-0.57735026f, 0.57735026f, 0.57735026f};
    shade(facingLight, 1.0f, kAtDepth);
    EXPECT_NEAR(record[3], ramp(0, 1000) * 0.5f, 1e-6f);
    EXPECT_NEAR(record[6], ramp(3, 1000) * 0.75f, 1e-6f);
}

// Regression: the reader stores a directional light's direction pointing toward the
// light and the lighting turned it round once more, so lit faces came out dark.
TEST_F(Lighting, LightsAFloorFromAboveUnderADirectionalLightPointingDown)
{
    addDirectionalLight(world, 0.0f, -1.0f, 0.0f); // file direction 0 -1 0
    const f32 floorUp[3] = {0.0f, 0.0f, 1.0f};     // third axis is up
    const f32 below[3] = {10000.0f, 0.0f, -3000.0f};
    shade(floorUp, 1.0f, below);
    EXPECT_NEAR(record[1], ramp(1, 1000) + (1 - ramp(1, 1000)) * ramp(4, 1000), 1e-5f);
}

TEST_F(Lighting, GivesAFaceTurnedToADirectionalLightBehindTheEyeEntry1000)
{
    // The light travels along the file's +z, the first internal axis, the way the
    // camera looks: it comes from behind the eye onto a face turned toward the eye.
    addDirectionalLight(world, 0.0f, 0.0f, 1.0f);
    const f32 towardEye[3] = {-1.0f, 0.0f, 0.0f};
    shade(towardEye, 1.0f, kAtDepth);
    EXPECT_NEAR(record[2], ramp(2, 1000) + (1 - ramp(2, 1000)) * ramp(5, 1000), 1e-6f);
}

TEST_F(Lighting, IgnoresALightThatIsSwitchedOff)
{
    const i16 light = addDirectionalLight(world, 0.0f, 0.0f, -1.0f);
    world.lights[light].enabled = 0.0f;
    const f32 towardEye[3] = {-1.0f, 0.0f, 0.0f};
    shade(towardEye, 1.0f, kAtDepth);
    EXPECT_EQ(record[0], 0.0f); // and no camera light either: the world has a light
}

// Regression: a corner at a light's own position divided by a zero distance.
TEST_F(Lighting, LetsALightAtTheCornerItselfAddNothing)
{
    addPointLight(world, 2.0f, 0.0f, 0.0f, 0.0f); // internal (0, 10000, 0)
    const f32 at[3] = {0.0f, 10000.0f, 0.0f};
    const f32 normal[3] = {-1.0f, 0.0f, 0.0f};
    shade(normal, 1.0f, at);
    for (f32 value : record) EXPECT_EQ(value, 0.0f);
}

namespace {

i16 addSpot(World& world, f32 cutOffAngle, const f32 directionInternal[3])
{
    const i16 light = newLight(world, 3);
    SpotLightRow& spot = world.spotLights[world.lights[light].kindIndex];
    spot.location[0] = spot.location[1] = spot.location[2] = 0.0f;
    for (int c = 0; c < 3; ++c) spot.direction[c] = directionInternal[c];
    spot.cone = cutOffAngle * 1.4279966f;
    return light;
}

} // namespace

// Regression: cos(pi x cone) wrapped once the cone value passed 1, so a wide
// cut-off angle of 1.4 radians lit almost nothing.
TEST_F(Lighting, LightsInsideAWideSpotCone)
{
    const f32 ahead[3] = {1.0f, 0.0f, 0.0f};
    addSpot(world, 1.4f, ahead);
    const f32 normal[3] = {-0.70710677f, -0.70710677f, 0.0f};
    const f32 offAxis[3] = {10000.0f, 10000.0f, 0.0f}; // 45 degrees off the beam
    shade(normal, 1.0f, offAxis);
    EXPECT_GT(record[1], 0.5f);
}

TEST_F(Lighting, LeavesCornersOutsideANarrowSpotConeDark)
{
    const f32 ahead[3] = {1.0f, 0.0f, 0.0f};
    addSpot(world, 0.1f, ahead); // 0.1 x 1.4279966 x pi: 26 degrees
    const f32 normal[3] = {-0.70710677f, -0.70710677f, 0.0f};
    const f32 offAxis[3] = {10000.0f, 10000.0f, 0.0f};
    shade(normal, 1.0f, offAxis);
    EXPECT_EQ(record[1], 0.0f);
}

// Regression: the spot direction is stored as read, not of unit length; a long one
// made every corner look inside the cone.
TEST_F(Lighting, MeasuresTheSpotConeWithAUnitDirection)
{
    const f32 longAhead[3] = {40.0f, 0.0f, 0.0f};
    addSpot(world, 0.1f, longAhead);
    const f32 normal[3] = {-0.70710677f, -0.70710677f, 0.0f};
    const f32 offAxis[3] = {10000.0f, 10000.0f, 0.0f};
    shade(normal, 1.0f, offAxis);
    EXPECT_EQ(record[1], 0.0f);
}
