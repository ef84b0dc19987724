// The loading sequence behind NPP_StreamAsFile and the first frames, through the
// entry points.
#include "tests/plugin/plugin_fixture.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// The number after "key": in the dump (0 when it is not there).
double dumpedNumber(const std::string& json, const std::string& key)
{
    const std::size_t at = json.find("\"" + key + "\":");
    return at == std::string::npos ? 0.0 : std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

} // namespace

using Loading = StartedPlugin<320, 290>;

TEST_F(Loading, ReadsTheWorldAndStartsTheFrameLoop)
{
    loadWorld("triangle.wrl", kTriangleWorld);
    EXPECT_EQ(counts(&instance).objectCount, 1);
    HWND viewer = static_cast<HWND>(services->viewerWindow(&instance));
    // The first frame's drain of the browser's windows took the sound set-up message,
    // posted once to the Viewer inside them.
    MSG msg{};
    EXPECT_FALSE(PeekMessage(&msg, viewer, 2024, 2024, PM_REMOVE));
    EXPECT_EQ(runFrames(3), 3);
    // Each frame asked for the next one.
    EXPECT_TRUE(PeekMessage(&msg, viewer, WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

TEST_F(Loading, AWorldWithoutObjectsStillSetsUpSoundButPaintsNothingAndPostsNoTick)
{
    loadWorld("empty.wrl", "#VRML V2.0 utf8\nWorldInfo { title \"nothing\" }\n");
    HWND viewer = static_cast<HWND>(services->viewerWindow(&instance));
    MSG msg{};
    EXPECT_TRUE(PeekMessage(&msg, viewer, 2024, 2024, PM_REMOVE));
    EXPECT_EQ(runFrames(1), 0);
    EXPECT_FALSE(PeekMessage(&msg, viewer, WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

TEST_F(Loading, TheFirstViewpointGivesTheStartCamera)
{
    loadWorld("triangle.wrl", kTriangleWorld);
    const std::string json = dump(&instance);
    // position 0 0 5 is eye (25000, 0, 0) in the internal (z, x, y) order, looking
    // along file -z: one file unit nearer the origin.
    EXPECT_NE(json.find("\"eye\":[25000,0,0]"), std::string::npos) << json.substr(0, 400);
    EXPECT_NE(json.find("\"target\":[20000,"), std::string::npos);
}

TEST_F(Loading, ASecondWorldStartsFromEmptyTables)
{
    loadWorld("first.wrl", kTriangleWorld);
    ASSERT_EQ(counts(&instance).objectCount, 1);
    loadWorld("second.wrl", kTriangleWorld);
    const TarneWorldCounts second = counts(&instance);
    EXPECT_EQ(second.objectCount, 1);
    EXPECT_EQ(second.vertexCount, 3u);
    EXPECT_EQ(second.faceCount, 2u); // the triangle and the empty row after it
    EXPECT_EQ(runFrames(2), 2);
}

TEST_F(Loading, ANullOrEmptyFileNameDoesNothing)
{
    NPStream stream{};
    plugin.asfile(&instance, &stream, nullptr);
    plugin.asfile(&instance, &stream, "");
    HWND viewer = static_cast<HWND>(services->viewerWindow(&instance));
    MSG msg{};
    EXPECT_FALSE(PeekMessage(&msg, viewer, 2024, 2024, PM_NOREMOVE));
    EXPECT_EQ(counts(&instance).objectCount, 0);
}

TEST_F(Loading, StrictLoadingSkipsTheNormalizingPass)
{
    // The line reader alone turns a Box into an object without geometry; the
    // normalizing pass gives it the faces of a box.
    const char* box = "#VRML V2.0 utf8\nShape {\n  geometry Box {\n    size 2 2 2\n  }\n}\n";
    loadWorld("box.wrl", box);
    EXPECT_GE(counts(&instance).vertexCount, 8u);
    ASSERT_EQ(services->setStrict(&instance, 1), 0);
    loadWorld("box-strict.wrl", box);
    EXPECT_EQ(counts(&instance).objectCount, 1);
    EXPECT_EQ(counts(&instance).vertexCount, 0u);
}

// Every block of the load, the frames and the options goes back to the browser once.
TEST_F(Loading, EveryOptionSwitchRendersFramesAndGivesItsMemoryBack)
{
    loadWorld("triangle.wrl", kTriangleWorld);
    for (const char* name : {"stereo", "shadows", "lamp", "reflection", "scale"})
        EXPECT_EQ(services->command(&instance, name), 0) << name;
    EXPECT_EQ(services->command(&instance, "no such switch"), -1);
    int width = 0, height = 0;
    services->renderSize(&instance, &width, &height);
    EXPECT_EQ(width, 160); // display scale 2.0 halves the rendered size
    EXPECT_EQ(height, 100);
    EXPECT_EQ(runFrames(3), 3);
    EXPECT_EQ(counts(&instance).lightCount, 1); // the lamp
    EXPECT_EQ(services->command(&instance, "lamp"), 0);
    EXPECT_EQ(counts(&instance).lightCount, 0);
    destroyInstance();
    EXPECT_EQ(shutdown(), NPERR_NO_ERROR);
    initialised = false;
    EXPECT_EQ(BrowserMemory::live().size(), 0u);
    EXPECT_EQ(BrowserMemory::badFrees, 0);
}

// A world from the network reads files only from its own folder and below; one the user
// opened (a file: url) may reach its neighbours, as model libraries expect.
TEST_F(Loading, AWorldFromTheNetworkStaysInItsFolder)
{
    testing_support::writeTempFile("reach/outside.wrl", kTriangleWorld);
    testing_support::writeTempFile("reach/world/inside.wrl", kTriangleWorld);
    const std::string world = std::string("#VRML V2.0 utf8\n") +
                              "Inline { url \"inside.wrl\" }\n"
                              "Inline { url \"../outside.wrl\" }\n"
                              "Inline { url \"" +
                              testing_support::tempDir() +
                              "reach/outside.wrl\" }\n"
                              "Shape { appearance Appearance { texture ImageTexture { url "
                              "\"../t.png\" } } geometry Box {} }\n";
    testing_support::writeTempFile("reach/t.png", "not read either way");
    auto objects = [&] { return counts(&instance).objectCount; };
    loadWorld("reach/world/w.wrl", world, "http://example.org/w.wrl");
    std::size_t length = 0;
    char* text = services->takeLoadMessages(&instance, &length);
    const std::string messages(text ? text : "", length);
    services->freeText(text);
    EXPECT_EQ(objects(), 2); // the Inline beside it and the Box
    EXPECT_NE(messages.find("outside.wrl' lies outside the world's folder"), std::string::npos)
        << messages;
    EXPECT_NE(messages.find("texture ../t.png not loaded: outside the world's folder"),
              std::string::npos)
        << messages;
    const std::string local = "file://" + testing_support::tempDir() + "reach/world/w.wrl";
    loadWorld("reach/world/w.wrl", world, local.c_str());
    EXPECT_EQ(objects(), 4); // both outside Inlines too
}

// VRML's fieldOfView opens the view's smaller side. In the default reading a Viewpoint of
// 0.785 in a 640 x 390 Viewer opens atan(tan(0.3925) x 640 / 390) to either side, and
// 0.3925 once the Viewer is taller than wide; switching the display scale keeps the
// shape and so the angle. The line reader's own rule takes the number as the half-angle.
TEST_F(Loading, TheFieldOfViewFitsTheViewersSizeInTheDefaultReading)
{
    ASSERT_EQ(setWindow(&instance, area, 640, 480), NPERR_NO_ERROR);
    std::string world = kTriangleWorld;
    world.insert(world.find("  position 0 0 5"), "  fieldOfView 0.785\n");
    loadWorld("fov.wrl", world);
    auto viewAngle = [&] { return dumpedNumber(dump(&instance), "viewAngle"); };
    EXPECT_NEAR(viewAngle(), std::atan(std::tan(0.3925) * 640.0 / 390.0), 1e-6);
    ASSERT_EQ(setWindow(&instance, area, 390, 640 + 90), NPERR_NO_ERROR); // taller than wide
    int width = 0, height = 0;
    services->renderSize(&instance, &width, &height);
    ASSERT_EQ(width, 390);
    ASSERT_EQ(height, 640);
    EXPECT_NEAR(viewAngle(), 0.3925, 1e-6);
    EXPECT_EQ(services->command(&instance, "scale"), 0);
    EXPECT_NEAR(viewAngle(), 0.3925, 1e-6);
    ASSERT_EQ(services->setStrict(&instance, 1), 0);
    loadWorld("fov-strict.wrl", world);
    EXPECT_NEAR(viewAngle(), 0.785, 1e-6);
}
