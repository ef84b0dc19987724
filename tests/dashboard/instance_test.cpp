// The Dashboard of whole plug-in instances, through the plug-in's entry points: what
// belongs to each instance, and what the loading sequence does to the lamp.
#include "tests/plugin/plugin_fixture.h"

#include <string>

namespace {

constexpr int kDashboardTop = 300 - 90; // in the 400 x 300 areas below

// A press and release at (x, y) of a browser frame's plug-in area.
void click(HWND frame, int x, int y, bool right = false)
{
    platformInjectMouse(frame, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, x, y, 0);
    platformInjectMouse(frame, right ? WM_RBUTTONUP : WM_LBUTTONUP, x, y, 0);
}

} // namespace

class WholeInstance : public PluginTest {
protected:
    // A second embed of 400 x 300 in a browser frame of its own.
    void startSecond()
    {
        const HWND secondFrame =
            CreateWindowEx(0, nullptr, "second", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                           nullptr, nullptr, nullptr, nullptr);
        secondArea = CreateWindowEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 400, 300,
                                    secondFrame, nullptr, nullptr, nullptr);
        ASSERT_EQ(plugin.newp(nullptr, &second, NP_EMBED, 0, nullptr, nullptr, nullptr),
                  NPERR_NO_ERROR);
        secondLive = true;
        ASSERT_EQ(setWindow(&second, secondArea, 400, 300), NPERR_NO_ERROR);
    }
    void TearDown() override
    {
        if (secondLive) plugin.destroy(&second, nullptr);
        PluginTest::TearDown();
    }
    // The "lights" line of the instance's world dump.
    std::string lightRows(NPP which)
    {
        const std::string text = dump(which);
        const std::size_t start = text.find("\"lights\"");
        return start == std::string::npos ? "" : text.substr(start, text.find('\n', start) - start);
    }
    int lightCount(NPP which) { return counts(which).lightCount; }

    HWND secondArea = nullptr;
    NPP_t second{};
    bool secondLive = false;
};

// Regression: the Dashboard and the Viewer read the display scale of the instance the
// browser called last, not their own.
TEST_F(WholeInstance, TwoEmbedsRenderAtTheirOwnScalesAndOneOutlivesTheOther)
{
    startPlugin();
    startInstance(400, 300);
    startSecond();
    click(frame, 335, kDashboardTop + 75); // the first instance's display scale
    loadWorld("triangle.wrl", kTriangleWorld);
    setWindow(&second, secondArea, 400, 300); // the second is called last
    EXPECT_GE(runFrames(2), 1);
    int width = 0, height = 0;
    services->renderSize(&instance, &width, &height);
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 105);
    services->renderSize(&second, &width, &height);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 210);

    const HWND secondViewer = static_cast<HWND>(services->viewerWindow(&second));
    destroyInstance();
    const std::uint64_t before = platformPresentCount(secondViewer);
    InvalidateRect(secondViewer, nullptr, FALSE);
    UpdateWindow(secondViewer);
    EXPECT_EQ(platformPresentCount(secondViewer), before + 1);
}

// Regression: switching a lamp off dropped the last light, which was not it when
// another embed's lamp had come after it.
TEST_F(WholeInstance, EachLampGoesWithItsOwnRows)
{
    startPlugin();
    startInstance(400, 300);
    startSecond();
    loadWorld("lights.wrl", "#VRML V2.0 utf8\nPointLight {\n  location 1 2 3\n}\n"
                            "SpotLight {\n  location 4 5 6\n}\n");
    const std::string worldLights = lightRows(&instance);
    ASSERT_EQ(services->command(&instance, "lamp"), 0);
    ASSERT_EQ(services->command(&second, "lamp"), 0);
    ASSERT_EQ(lightCount(&instance), 4);
    ASSERT_EQ(services->command(&instance, "lamp"), 0);
    ASSERT_EQ(lightCount(&instance), 3);
    ASSERT_EQ(services->command(&second, "lamp"), 0);
    EXPECT_EQ(lightRows(&instance), worldLights);
}

// Regression: the reader empties the tables, so a lamp switched on before a world
// arrived was gone while its switch still said on.
TEST_F(WholeInstance, ReadingAWorldSwitchesEveryLampOff)
{
    startPlugin();
    startInstance(400, 300);
    startSecond();
    click(frame, 49, kDashboardTop + 51); // the lamp, drawn at x 40 to 57
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    ASSERT_EQ(services->command(&second, "lamp"), 0);
    ASSERT_EQ(lightCount(&instance), 2);
    loadWorld("one.wrl", "#VRML V2.0 utf8\nPointLight {\n  location 1 2 3\n}\n");
    ASSERT_EQ(lightCount(&instance), 1);
    EXPECT_EQ(services->command(&instance, "lamp"), 0); // both switch on again
    EXPECT_EQ(services->command(&second, "lamp"), 0);
    EXPECT_EQ(lightCount(&instance), 3);
}

// Regression: the panels are children of the browser's window, which the instance
// leaves alive, so they stayed on the page after it had gone.
TEST_F(WholeInstance, ItsSidePanelsGoWithIt)
{
    startPlugin();
    startInstance(640, 480);
    click(frame, 18, 390 + 51, true); // the stereo pair, twice: the first pair is replaced
    click(frame, 18, 390 + 51, true);
    click(frame, 79, 390 + 51, true); // the empty panel
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    int children = 0;
    for (HWND child = GetTopWindow(area); child; child = GetNextChild(area, child)) ++children;
    EXPECT_EQ(children, 7); // the Dashboard, the Viewer and five panels
    destroyInstance();
    EXPECT_EQ(GetTopWindow(area), nullptr);
}
