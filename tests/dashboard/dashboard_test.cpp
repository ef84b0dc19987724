// The Dashboard's buttons and side panels in a stand-in instance, one rule a test.
// Coordinates are plug-in area pixels; at 796 wide a button is drawn at its design
// place, in the Dashboard's rows (the area's height less 90 and below).
#include "tests/dashboard/dashboard_fixture.h"

#include <algorithm>
#include <cmath>

namespace {

// Client places of a few buttons in a 796-wide Dashboard, as (left, top, right, bottom).
constexpr RECT kHomePlace{652, 41, 687, 62};
constexpr RECT kSpareOnePlace{687, 41, 722, 63};

RECT inArea(RECT place, LONG dashboardTop)
{
    return RECT{place.left, place.top + dashboardTop, place.right, place.bottom + dashboardTop};
}

} // namespace

TEST_F(DashboardTest, ModeSevenThenARepaintSelectsWalkingWithItsButtonPressed)
{
    start(796, 300);
    const RECT panel{0, 210, 796, 300};
    const std::vector<std::uint32_t> painted = pixels(panel);
    click(182, 210 + 75); // seek
    EXPECT_EQ(instance->viewer.navigation.mode, 7);
    EXPECT_NE(pixels(panel), painted);
    InvalidateRect(instance->dashboard.handle(), nullptr, TRUE);
    dispatchWaiting();
    EXPECT_EQ(instance->viewer.navigation.mode, 4);
    EXPECT_EQ(pixels(panel), painted); // the walk button pressed, WALK on the display
}

TEST_F(DashboardTest, TheFlyButtonSlowsTheForwardAmount)
{
    start(796, 300);
    click(440, 210 + 53);
    EXPECT_EQ(instance->viewer.navigation.mode, 3);
    EXPECT_FLOAT_EQ(instance->viewer.navigation.forwardAmount, 100.0f);
}

TEST_F(DashboardTest, DisplayScaleOnA400By210ViewerRendersHalfTheSizeAndBack)
{
    start(400, 300);
    click(335, 210 + 75); // drawn at x 327 to 343 in a 400-wide Dashboard
    EXPECT_FLOAT_EQ(instance->options.displayScale, 2.0f);
    EXPECT_EQ(instance->viewer.frame.renderWidth, 200);
    EXPECT_EQ(instance->viewer.frame.renderHeight, 105);
    EXPECT_FLOAT_EQ(render.aspectRatio, 0.525f);
    click(335, 210 + 75);
    EXPECT_FLOAT_EQ(instance->options.displayScale, 1.0f);
    EXPECT_EQ(instance->viewer.frame.renderWidth, 400);
    EXPECT_EQ(instance->viewer.frame.renderHeight, 210);
}

TEST_F(DashboardTest, StereoTwiceAllocatesTheRightEyeTableThenFreesIt)
{
    loadTriangle();
    start(796, 300);
    click(22, 210 + 51);
    EXPECT_EQ(instance->viewer.frame.stereoFlag, 1);
    EXPECT_NE(render.projectedRight, nullptr);
    click(22, 210 + 51);
    EXPECT_EQ(instance->viewer.frame.stereoFlag, 0);
    EXPECT_EQ(render.projectedRight, nullptr);
}

TEST_F(DashboardTest, TheLampIsASpotAtTheEyeAlongTheViewAndTwiceLeavesNoLight)
{
    start(796, 300);
    const f32 eye[3] = {1.0f, 2.0f, 3.0f};
    const f32 target[3] = {4.0f, 6.0f, 3.0f}; // 5 away: direction (0.6, 0.8, 0)
    std::copy(eye, eye + 3, world.camera.eyePoint);
    std::copy(target, target + 3, world.camera.targetPoint);
    click(99, 210 + 51);
    ASSERT_EQ(world.lightCount, 1);
    ASSERT_EQ(world.spotLightCount, 1);
    EXPECT_EQ(instance->options.lampFlag, 1);
    EXPECT_FLOAT_EQ(world.lights[0].falloff, 0.05f);
    const SpotLightRow& lamp = world.spotLights[0];
    EXPECT_FLOAT_EQ(lamp.cone, 1.0f / 6.0f);
    for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(lamp.location[c], eye[c]);
    EXPECT_FLOAT_EQ(lamp.direction[0], 0.6f);
    EXPECT_FLOAT_EQ(lamp.direction[1], 0.8f);
    EXPECT_FLOAT_EQ(lamp.direction[2], 0.0f);
    click(99, 210 + 51);
    EXPECT_EQ(instance->options.lampFlag, 0);
    EXPECT_EQ(world.lightCount, 0);
    EXPECT_EQ(world.spotLightCount, 0);
}

// Regression: with the eye on its target the direction was 0 / 0, and with shadows on
// every vertex became NaN.
TEST_F(DashboardTest, ALampWithoutAViewDirectionPointsDown)
{
    start(796, 300);
    const f32 kNaN = std::nanf("");
    const f32 kHuge = 3e38f;
    const f32 cameras[][6] = {
        {5, 5, 5, 5, 5, 5},          // the eye on its target
        {kNaN, 0, 0, 1, 0, 0},       // an eye that is not a number
        {-kHuge, 0, 0, kHuge, 0, 0}, // a length beyond a float
    };
    for (const auto& camera : cameras) {
        std::copy(camera, camera + 3, world.camera.eyePoint);
        std::copy(camera + 3, camera + 6, world.camera.targetPoint);
        click(99, 210 + 51);
        ASSERT_EQ(world.spotLightCount, 1);
        const f32* direction = world.spotLights[0].direction;
        EXPECT_EQ(direction[0], 0.0f);
        EXPECT_EQ(direction[1], 0.0f);
        EXPECT_EQ(direction[2], -1.0f);
        click(99, 210 + 51);
    }
}

// Regression: a lamp switched on before the world's lights came was switched off by
// dropping the last light, a light of the world, and stayed on.
TEST_F(DashboardTest, SwitchingOffALampBeforeOtherLightsRemovesExactlyItsRows)
{
    start(796, 300);
    click(99, 210 + 51);
    ASSERT_EQ(newLight(world, 2), 1);
    ASSERT_EQ(newLight(world, 3), 2);
    world.spotLights[1].location[0] = 7.0f;
    click(99, 210 + 51);
    ASSERT_EQ(world.lightCount, 2);
    ASSERT_EQ(world.spotLightCount, 1);
    EXPECT_EQ(world.lights[0].kind, 2);
    EXPECT_EQ(world.lights[1].kind, 3);
    EXPECT_EQ(world.lights[1].kindIndex, 0);
    EXPECT_FLOAT_EQ(world.spotLights[0].location[0], 7.0f);
}

// Regression: the start camera was zero until a world was read, so home put the eye on
// its target.
TEST_F(DashboardTest, HomeBeforeAnyWorldGoesToTheDefaultCamera)
{
    start(796, 300);
    world.camera.eyePoint[0] = world.camera.targetPoint[0] = 9.0f;
    click(669, 210 + 51);
    EXPECT_EQ((std::vector<f32>(world.camera.eyePoint, world.camera.eyePoint + 3)),
              (std::vector<f32>{0, 0, 0}));
    EXPECT_EQ((std::vector<f32>(world.camera.targetPoint, world.camera.targetPoint + 3)),
              (std::vector<f32>{1, 0, 0}));
}

TEST_F(DashboardTest, AClickOnTheSharedColumnPressesHomeAndSpareOne)
{
    start(796, 300);
    const RECT home = inArea(kHomePlace, 210);
    const RECT spare = inArea(kSpareOnePlace, 210);
    const std::vector<std::uint32_t> homeAtRest = pixels(home);
    const std::vector<std::uint32_t> spareAtRest = pixels(spare);
    world.camera.eyePoint[1] = 3.0f;
    press(687, 210 + 50);
    EXPECT_NE(pixels(home), homeAtRest);
    EXPECT_NE(pixels(spare), spareAtRest);
    EXPECT_FLOAT_EQ(world.camera.eyePoint[1], 0.0f);
    release(687, 210 + 50);
    EXPECT_EQ(pixels(home), homeAtRest);   // home springs back
    EXPECT_NE(pixels(spare), spareAtRest); // spare 1 stays down until the next paint
}

TEST_F(DashboardTest, SidePanelsTakeTheirPlacesBesideTheViewerIn640By480)
{
    start(640, 480);
    const HWND viewer = instance->viewer.handle();
    click(18, 390 + 51, true); // stereo, drawn at x 4 to 31
    ASSERT_NE(instance->dashboard.leftPanel, nullptr);
    ASSERT_NE(instance->dashboard.rightPanel, nullptr);
    const HWND firstLeft = instance->dashboard.leftPanel->handle();
    EXPECT_EQ(corners(windowRect(firstLeft)), (std::vector<LONG>{0, 0, 140, 390}));
    EXPECT_EQ(corners(windowRect(instance->dashboard.rightPanel->handle())),
              (std::vector<LONG>{500, 0, 640, 390}));
    EXPECT_EQ(corners(windowRect(viewer)), (std::vector<LONG>{140, 0, 500, 390}));
    EXPECT_EQ(instance->viewer.frame.renderWidth, 360);
    EXPECT_EQ(instance->viewer.leftSidePanel, firstLeft);

    click(18, 390 + 51, true); // a second pair over the first
    EXPECT_EQ(areaChildren().size(), 6u);
    EXPECT_NE(instance->dashboard.leftPanel->handle(), firstLeft);
    EXPECT_EQ(instance->viewer.leftSidePanel, instance->dashboard.leftPanel->handle());

    click(79, 390 + 51, true); // lamp: the empty panel
    ASSERT_NE(instance->dashboard.emptyPanel, nullptr);
    EXPECT_EQ(corners(windowRect(instance->dashboard.emptyPanel->handle())),
              (std::vector<LONG>{0, 0, 140, 316}));
    EXPECT_EQ(corners(windowRect(viewer)), (std::vector<LONG>{140, 0, 640, 390}));
}

// Regression: the panels are children of the browser's window, which the instance
// leaves alive, so they stayed on the page after it had gone.
TEST_F(DashboardTest, TheTeardownDestroysEveryPanelItOpened)
{
    start(640, 480);
    click(18, 390 + 51, true);
    click(18, 390 + 51, true);
    click(79, 390 + 51, true);
    ASSERT_EQ(areaChildren().size(), 7u);
    instance.reset();
    EXPECT_TRUE(areaChildren().empty());
    EXPECT_TRUE(IsWindow(area));
}

// Regression: side panels in an area narrower than 280 pixels, or display scale 2 on a
// Viewer one row high, leave it without columns or rows; its aspect ratio became 0 or
// 0 / 0, and frames must come back when it grows.
TEST_F(DashboardTest, AViewerWithoutColumnsDrawsAgainWhenItGrows)
{
    loadTriangle();
    start(200, 300);
    const HWND viewer = instance->viewer.handle();
    dispatchWaiting();
    click(5, 210 + 51, true); // stereo, drawn at x 1 to 8 of a 200-wide Dashboard
    EXPECT_EQ(instance->viewer.frame.renderWidth, 0);
    EXPECT_FLOAT_EQ(render.aspectRatio, 210.0f / 200.0f); // as it was
    const std::uint64_t presented = platformPresentCount(viewer);
    dispatchWaiting();
    EXPECT_EQ(platformPresentCount(viewer), presented);
    MoveWindow(viewer, 140, 0, 60, 210, TRUE);
    dispatchWaiting();
    EXPECT_GT(platformPresentCount(viewer), presented);
    EXPECT_FLOAT_EQ(render.aspectRatio, 3.5f);
}

TEST_F(DashboardTest, AViewerWithoutRowsKeepsTickingUntilItHasThemAgain)
{
    loadTriangle();
    start(796, 91); // a Viewer one row high
    const HWND viewer = instance->viewer.handle();
    click(669, 1 + 75); // display scale: 398 x 0
    EXPECT_EQ(instance->viewer.frame.renderHeight, 0);
    EXPECT_FLOAT_EQ(render.aspectRatio, 1.0f / 796.0f);
    const std::uint64_t presented = platformPresentCount(viewer);
    InvalidateRect(viewer, nullptr, FALSE);
    UpdateWindow(viewer);
    EXPECT_EQ(platformPresentCount(viewer), presented);
    MSG tick{};
    EXPECT_TRUE(PeekMessage(&tick, viewer, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    click(669, 1 + 75); // 796 x 1 again; the waiting tick draws
    EXPECT_GT(platformPresentCount(viewer), presented);
}
