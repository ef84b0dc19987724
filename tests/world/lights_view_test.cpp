// The light readers, the Viewpoint and the Background.
#include "tests/world/world_reading.h"

class LightReaders : public WorldReading {};

TEST_F(LightReaders, EachLightStoresItsFieldsInStoredFormOrItsDefaults)
{
    // First internal component -5000 x 0, second -5000 x 0, third -5000 x -1.
    read("DirectionalLight {\ndirection 0 -1 0\n}\n");
    ASSERT_EQ(world.directionalLightCount, 1);
    EXPECT_TRUE(nearTriple(triple(world.directionalLights[0]), {0, 0, 5000}));
    EXPECT_EQ(world.lights[0].kind, 1);
    // A point light: its location, and its colour times its intensity.
    read("PointLight {\nlocation 1 2 3\nintensity 0.5\ncolor 1 1 0\n}\n");
    ASSERT_EQ(world.pointLightCount, 1);
    EXPECT_TRUE(nearTriple(triple(world.pointLights[0]), {15000, 5000, 10000}));
    EXPECT_TRUE(nearTriple(triple(world.lights[0].color), {0.5f, 0.5f, 0}, 1e-6f));
    // A spot light: its cone value and its direction unscaled.
    read("SpotLight {\ncutOffAngle 0.7\ndirection 1 2 3\nlocation 0 0 1\n}\n");
    ASSERT_EQ(world.spotLightCount, 1);
    const SpotLightRow& spot = world.spotLights[0];
    EXPECT_FLOAT_EQ(spot.cone, 0.9995976f);
    EXPECT_FLOAT_EQ(spot.direction[0], 3.0f);
    EXPECT_FLOAT_EQ(spot.direction[1], 1.0f);
    EXPECT_FLOAT_EQ(spot.location[0], 5000.0f);
    // Attenuation gives its second term as the fall-off; on FALSE switches a light off.
    read("PointLight {\nattenuation 1 0.01 0\n}\nPointLight {\nattenuation 1 0 0\n}\n"
         "SpotLight {\non FALSE\n}\nSpotLight {\non TRUE\n}\n");
    ASSERT_EQ(world.lightCount, 4);
    EXPECT_FLOAT_EQ(world.lights[0].falloff, 0.01f);
    EXPECT_FLOAT_EQ(world.lights[1].falloff, 0.0f); // no fall-off
    EXPECT_EQ(world.lights[2].enabled, 0.0f);       // the renderer ignores it
    EXPECT_EQ(world.lights[3].enabled, 1.0f);
    // A light on one line, or commented out, keeps its defaults.
    read("PointLight { location 1 1 1 intensity 0.1 }\n# DirectionalLight {\ndirection 1 0 0\n}\n");
    ASSERT_EQ(world.lightCount, 2);
    EXPECT_FLOAT_EQ(world.pointLights[0][0], 0.0f);
    EXPECT_FLOAT_EQ(world.lights[0].color[0], 1.0f);
    EXPECT_FLOAT_EQ(world.directionalLights[0][0], 5000.0f); // VRML's (0, 0, -1)
}

class ViewpointReader : public WorldReading {};

TEST_F(ViewpointReader, TheTargetStandsOneFileUnitAheadOfTheEye)
{
    struct Case {
        const char* what;
        const char* fields;
        Triple eye, target; // internal order (z, x, y)
    };
    const Case cases[] = {
        {"a position alone looks down the file's -z",
         "position 0 0 10\n",
         {50000, 0, 0},
         {45000, 0, 0}},
        // VRML looks along -x, the second internal axis: up would be the third.
        {"a quarter turn left at the origin looks along the file's -x",
         "orientation 0 1 0 1.5707963\n",
         {0, 0, 0},
         {0, -5000, 0}},
        {"turned right, looking along +x from x = 3",
         "position 3 0 0\norientation 0 -1 0 1.5707963\n",
         {0, 15000, 0},
         {0, 20000, 0}},
    };
    for (const Case& c : cases) {
        read(std::string("Viewpoint {\n") + c.fields + "}\n");
        EXPECT_TRUE(nearTriple(triple(world.camera.eyePoint), c.eye)) << c.what;
        EXPECT_TRUE(nearTriple(triple(world.camera.targetPoint), c.target)) << c.what;
    }
    // The orientation basis is the unit axis first.
    EXPECT_NEAR(world.orientationBasis[0][1], -1.0f, 1e-6f);
}

// The roll makes the picture's up follow the orientation applied to VRML's up (0, 1, 0):
// with roll r the view's up row is cos r U0 - sin r L0 (L0, U0: its left and up rows at
// roll 0), a right-handed turn of the camera about its view direction. Before, every
// z-up world showed on its side.
TEST_F(ViewpointReader, TheRollTurnsThePicturesUpOntoTheOrientedUp)
{
    const f32 quarter = 1.5707963f;
    const struct {
        const char* what;
        const char* orientation;
        f32 roll;
    } cases[] = {
        {"no orientation", "", 0.0f},
        // A turn of 0.5 about +z leans VRML's up toward -x, the viewer's left; the camera
        // looks along -z, so about its view direction that is a turn of -0.5.
        {"a turn about the view axis alone", "orientation 0 0 1 0.5\n", -0.5f},
        {"a turn left keeps the world's up", "orientation 0 1 0 1.5707963\n", 0.0f},
        // A third of a turn about (1, 1, 1) sends x to y, y to z, z to x: the view looks
        // along file -x (internal (0, -1, 0): heading -pi/2, L0 = (1, 0, 0), U0 = (0, 0,
        // 1)) with file +z up, internal (1, 0, 0) = L0, so sin r = -1.
        {"a robot drawn with z up", "orientation 0.57735 0.57735 0.57735 2.0943951\n", -quarter},
        // Looking straight down (heading pi/2, elevation -pi/2: L0 = (-1, 0, 0), U0 = (0,
        // 1, 0)) with file -z, internal (-1, 0, 0) = L0, at the top of the picture.
        {"a plan view", "orientation 1 0 0 -1.5707963\n", -quarter},
    };
    for (const auto& c : cases) {
        read(std::string("Viewpoint {\nposition 1 2 3\n") + c.orientation + "}\n");
        EXPECT_NEAR(world.camera.rollAngle, c.roll, 2e-4f) << c.what;
    }
}

TEST_F(ViewpointReader, WithoutAViewpointTheCameraIsTheDefaultAndFieldOfViewIsKeptForBothReadings)
{
    read(triangleShape());
    EXPECT_EQ(world.camera.eyePoint[0], 0.0f);
    EXPECT_EQ(world.camera.targetPoint[0], 1.0f);
    EXPECT_EQ(world.camera.viewAngle, 0.3f);
    EXPECT_EQ(world.camera.rollAngle, 0.0f);
    EXPECT_FLOAT_EQ(world.viewpointFieldOfView, 0.785398f); // VRML's, for the default reading
    // The line reader keeps fieldOfView as its half-angle; the default reading fits the view
    // angle to the same number, kept apart, as the opening of the view's smaller side.
    read("Viewpoint {\nfieldOfView 0.6\n}\n");
    EXPECT_FLOAT_EQ(world.camera.viewAngle, 0.6f);
    EXPECT_FLOAT_EQ(world.viewpointFieldOfView, 0.6f);
}

// NavigationInfo is read only where the reading honours its headlight; the first one
// counts, and TRUE is what a world that says nothing gets.
TEST_F(ViewpointReader, TheFirstNavigationInfoSetsTheHeadlightWhereTheReadingReadsIt)
{
    const struct {
        bool rule;
        const char* text;
        bool on;
    } cases[] = {
        {true, "NavigationInfo {\nheadlight FALSE\n}\n", false},
        {true, "NavigationInfo {\ntype \"FLY\"\n}\n", true},
        {true, "NavigationInfo {\nheadlight TRUE\n}\nNavigationInfo {\nheadlight FALSE\n}\n", true},
        {false, "NavigationInfo {\nheadlight FALSE\n}\n", true}, // not read at all
    };
    for (const auto& c : cases) {
        world.vrmlHeadlight = c.rule;
        read(c.text);
        EXPECT_EQ(world.headlightOn, c.on) << c.text;
        EXPECT_EQ(world.navigationInfoCount, c.rule ? 1 : 0) << c.text;
    }
}

class BackgroundReader : public WorldReading {};

TEST_F(BackgroundReader, TheFirstSkyColourSetsTheColourWrappedInEightBitsThenAUrlTheMode)
{
    read("Background {\nskyColor [ 0.2 0.4 1, 0 0 0 ]\n}\n");
    EXPECT_EQ(background(), (std::array{1, 51, 102, 255}));
    read("Background {\nskyColor [ 0.2 0.4 1 ]\nbackUrl \"sky.jpg\"\nleftUrl [ left.jpg ]\n}\n");
    EXPECT_EQ(world.backgroundMode, 3);
    EXPECT_STREQ(world.backgroundUrl, " left.jpg "); // the last url wins
    // A component above one wraps in eight bits (382, -127); a huge one is pinned.
    read("Background {\nskyColor\n[ 1.5 -0.5 1e30 ]\n}\n");
    EXPECT_EQ(background(), (std::array{1, 126, 129, 255}));
    // A Background on one line, or commented out, changes nothing.
    read("Background { skyColor [ 1 1 1 ] }\n#Background {\nskyColor [ 1 0 0 ]\n}\n");
    EXPECT_EQ(background(), (std::array{1, 0, 0, 0}));
}
