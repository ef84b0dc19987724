// The light readers, the Viewpoint and the Background.
#include "tests/world/world_reading.h"

#include <cmath>

class LightReaders : public WorldReading {};

TEST_F(LightReaders, ADirectionalLightStoresItsDirectionReversedAndScaled)
{
    read("DirectionalLight {\ndirection 0 -1 0\n}\n");
    ASSERT_EQ(world.directionalLightCount, 1);
    EXPECT_FLOAT_EQ(world.directionalLights[0][0], 0.0f);
    EXPECT_FLOAT_EQ(world.directionalLights[0][1], 0.0f);
    EXPECT_FLOAT_EQ(world.directionalLights[0][2], 5000.0f);
    EXPECT_EQ(world.lights[0].kind, 1);
}

TEST_F(LightReaders, APointLightTakesLocationAndColourTimesIntensity)
{
    read("PointLight {\nlocation 1 2 3\nintensity 0.5\ncolor 1 1 0\n}\n");
    ASSERT_EQ(world.pointLightCount, 1);
    EXPECT_FLOAT_EQ(world.pointLights[0][0], 15000.0f);
    EXPECT_FLOAT_EQ(world.pointLights[0][1], 5000.0f);
    EXPECT_FLOAT_EQ(world.pointLights[0][2], 10000.0f);
    EXPECT_FLOAT_EQ(world.lights[0].color[0], 0.5f);
    EXPECT_FLOAT_EQ(world.lights[0].color[1], 0.5f);
    EXPECT_FLOAT_EQ(world.lights[0].color[2], 0.0f);
}

TEST_F(LightReaders, AttenuationGivesItsSecondTermAsFalloff)
{
    read("PointLight {\nattenuation 1 0.01 0\n}\nPointLight {\nattenuation 1 0 0\n}\n");
    ASSERT_EQ(world.lightCount, 2);
    EXPECT_FLOAT_EQ(world.lights[0].falloff, 0.01f);
    EXPECT_FLOAT_EQ(world.lights[1].falloff, 0.0f);
}

TEST_F(LightReaders, OnFalseSwitchesTheLightOff)
{
    read("SpotLight {\non FALSE\n}\nSpotLight {\non TRUE\n}\n");
    EXPECT_EQ(world.lights[0].enabled, 0.0f);
    EXPECT_EQ(world.lights[1].enabled, 1.0f);
}

TEST_F(LightReaders, ASpotLightStoresItsConeValueAndUnscaledDirection)
{
    read("SpotLight {\ncutOffAngle 0.7\ndirection 1 2 3\nlocation 0 0 1\n}\n");
    ASSERT_EQ(world.spotLightCount, 1);
    const SpotLightRow& spot = world.spotLights[0];
    EXPECT_EQ(spot.cone, 0.7f * 1.4279966f);
    EXPECT_FLOAT_EQ(spot.cone, 0.9995976f);
    EXPECT_FLOAT_EQ(spot.direction[0], 3.0f);
    EXPECT_FLOAT_EQ(spot.direction[1], 1.0f);
    EXPECT_FLOAT_EQ(spot.location[0], 5000.0f);
}

TEST_F(LightReaders, ALightOnOneLineOrCommentedOutKeepsItsDefaults)
{
    read("PointLight { location 1 1 1 intensity 0.1 }\n# DirectionalLight {\ndirection 1 0 0\n}\n");
    ASSERT_EQ(world.lightCount, 2);
    EXPECT_FLOAT_EQ(world.pointLights[0][0], 0.0f);
    EXPECT_FLOAT_EQ(world.lights[0].color[0], 1.0f);
    EXPECT_FLOAT_EQ(world.directionalLights[0][0], 5000.0f); // VRML's (0, 0, -1)
}

class ViewpointReader : public WorldReading {};

TEST_F(ViewpointReader, APositionAloneLooksDownTheFileZAxis)
{
    read("Viewpoint {\nposition 0 0 10\n}\n");
    EXPECT_FLOAT_EQ(world.camera.eyePoint[0], 50000.0f);
    EXPECT_FLOAT_EQ(world.camera.targetPoint[0], 45000.0f);
    EXPECT_EQ(world.camera.targetPoint[1], 0.0f);
    EXPECT_EQ(world.camera.targetPoint[2], 0.0f);
}

TEST_F(ViewpointReader, TurningLeftLooksAlongNegativeFileX)
{
    // A quarter turn about y at the origin: VRML looks along -x, which is the second
    // internal axis; the target is one file unit ahead of the eye.
    read("Viewpoint {\norientation 0 1 0 1.5707963\nfieldOfView 0.6\n}\n");
    EXPECT_NEAR(world.camera.targetPoint[0], 0.0f, 0.01f);
    EXPECT_NEAR(world.camera.targetPoint[1], -5000.0f, 0.01f);
    EXPECT_NEAR(world.camera.targetPoint[2], 0.0f, 0.01f);
    EXPECT_FLOAT_EQ(world.camera.viewAngle, 0.6f);
}

TEST_F(ViewpointReader, TheTargetFollowsAnEyeAwayFromTheOrigin)
{
    read("Viewpoint {\nposition 3 0 0\norientation 0 -1 0 1.5707963\n}\n");
    // Turned right: looking along +x from x = 3.
    EXPECT_NEAR(world.camera.targetPoint[1], 20000.0f, 0.01f);
    EXPECT_FLOAT_EQ(world.camera.eyePoint[1], 15000.0f);
    // The orientation basis is the unit axis first.
    EXPECT_NEAR(world.orientationBasis[0][1], -1.0f, 1e-6f);
}

TEST_F(ViewpointReader, NoViewpointLeavesTheDefaultCamera)
{
    read("Shape {\n" + triangle() + "}\n");
    EXPECT_EQ(world.camera.eyePoint[0], 0.0f);
    EXPECT_EQ(world.camera.targetPoint[0], 1.0f);
    EXPECT_EQ(world.camera.viewAngle, 0.3f);
}

class BackgroundReader : public WorldReading {};

TEST_F(BackgroundReader, TheFirstSkyColourSetsTheColourThenAUrlTheMode)
{
    read("Background {\nskyColor [ 0.2 0.4 1, 0 0 0 ]\n}\n");
    EXPECT_EQ(world.backgroundMode, 1);
    EXPECT_EQ(world.backgroundRed, 51);
    EXPECT_EQ(world.backgroundGreen, 102);
    EXPECT_EQ(world.backgroundBlue, 255);
    read("Background {\nskyColor [ 0.2 0.4 1 ]\nbackUrl \"sky.jpg\"\nleftUrl [ left.jpg ]\n}\n");
    EXPECT_EQ(world.backgroundMode, 3);
    EXPECT_STREQ(world.backgroundUrl, " left.jpg "); // the last url wins
}

TEST_F(BackgroundReader, AComponentAboveOneWrapsInEightBits)
{
    read("Background {\nskyColor\n[ 1.5 -0.5 1e30 ]\n}\n");
    EXPECT_EQ(world.backgroundRed, 126);   // 382
    EXPECT_EQ(world.backgroundGreen, 129); // -127
    EXPECT_EQ(world.backgroundBlue, 255);  // pinned huge value
}

TEST_F(BackgroundReader, AOneLineOrCommentedBackgroundChangesNothing)
{
    read("Background { skyColor [ 1 1 1 ] }\n#Background {\nskyColor [ 1 0 0 ]\n}\n");
    EXPECT_EQ(world.backgroundRed, 0);
    EXPECT_EQ(world.backgroundMode, 1);
}
