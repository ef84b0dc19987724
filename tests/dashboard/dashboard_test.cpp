// The Dashboard's buttons and side panels in a stand-in instance, one rule a test.
// Points are plug-in area pixels; at 796 wide a button is drawn at its design place,
// in the Dashboard's rows (the area's height less 90 and below).
#include "tests/dashboard/dashboard_fixture.h"

#include <algorithm>
#include <cmath>

TEST_F(DashboardTest, ModeSevenThenARepaintSelectsWalkingWithItsButtonPressed)
{
    start(796, 300);
    const RECT panel{0, 210, 796, 300};
    const std::vector<std::uint32_t> painted = pixels(panel);
    click(440, 210 + 53); // fly starts slowly
    EXPECT_EQ(instance->viewer.navigation.mode, 3);
    EXPECT_FLOAT_EQ(instance->viewer.navigation.forwardAmount, 100.0f);
    click(182, 210 + 75); // seek
    EXPECT_EQ(instance->viewer.navigation.mode, 7);
    EXPECT_NE(pixels(panel), painted);
    InvalidateRect(instance->dashboard.handle(), nullptr, TRUE);
    dispatchWaiting();
    EXPECT_EQ(instance->viewer.navigation.mode, 4);
    EXPECT_EQ(pixels(panel), painted); // the walk button pressed, WALK on the display
}

TEST_F(DashboardTest, DisplayScaleOnA400By210ViewerRendersHalfTheSizeAndBack)
{
    start(400, 300);
    click(335, 210 + 75); // drawn at x 327 to 343 in a 400-wide Dashboard
    EXPECT_EQ(instance->viewer.frame.renderWidth, 200);
    EXPECT_EQ(instance->viewer.frame.renderHeight, 105);
    EXPECT_FLOAT_EQ(render.aspectRatio, 0.525f);
    click(335, 210 + 75);
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
    const f32 eye[3] = {1, 2, 3};
    const f32 target[3] = {4, 6, 3}; // 5 away: direction (0.6, 0.8, 0)
    std::copy(eye, eye + 3, world.camera.eyePoint);
    std::copy(target, target + 3, world.camera.targetPoint);
    click(99, 210 + 51);
    ASSERT_EQ(world.spotLightCount, 1);
    EXPECT_FLOAT_EQ(world.lights[0].falloff, 0.05f);
    const SpotLightRow& lamp = world.spotLights[0];
    EXPECT_FLOAT_EQ(lamp.cone, 1.0f / 6.0f);
    EXPECT_EQ(std::vector<f32>(lamp.location, lamp.location + 3), std::vector<f32>(eye, eye + 3));
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
    const f32 huge = 3e38f;
    const f32 cameras[][6] = {
        {5, 5, 5, 5, 5, 5},             // the eye on its target
        {std::nanf(""), 0, 0, 1, 0, 0}, // an eye that is not a number
        {-huge, 0, 0, huge, 0, 0},      // a distance beyond a float
    };
    for (const auto& camera : cameras) {
        std::copy(camera, camera + 3, world.camera.eyePoint);
        std::copy(camera + 3, camera + 6, world.camera.targetPoint);
        click(99, 210 + 51);
        ASSERT_EQ(world.spotLightCount, 1);
        const f32* direction = world.spotLights[0].direction;
        EXPECT_EQ(std::vector<f32>(direction, direction + 3), (std::vector<f32>{0, 0, -1}));
        click(99, 210 + 51);
    }
}

// Regression: the start camera was zero until a world was read, so home put the eye on
// its target.
TEST_F(DashboardTest, HomeBeforeAnyWorldGoesToTheDefaultCamera)
{
    start(796, 300);
    world.camera.eyePoint[0] = world.camera.targetPoint[0] = 9.0f;
    click(669, 210 + 51);
    const Camera& camera = world.camera;
    EXPECT_EQ(std::vector<f32>(camera.eyePoint, camera.eyePoint + 3), (std::vector<f32>{0, 0, 0}));
    EXPECT_EQ(std::vector<f32>(camera.targetPoint, camera.targetPoint + 3),
              (std::vector<f32>{1, 0, 0}));
}

TEST_F(DashboardTest, AClickOnTheSharedColumnPressesHomeAndSpareOne)
{
    start(796, 300);
    const RECT home{652, 251, 687, 272};
    const RECT spare{687, 251, 722, 273};
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
    const Dashboard& dashboard = instance->dashboard;
    click(18, 390 + 51, true); // stereo, drawn at x 4 to 31
    ASSERT_TRUE(dashboard.leftPanel && dashboard.rightPanel);
    const HWND firstLeft = dashboard.leftPanel->handle();
    EXPECT_EQ(placeOf(firstLeft), (std::vector<LONG>{0, 0, 140, 390}));
    EXPECT_EQ(placeOf(dashboard.rightPanel->handle()), (std::vector<LONG>{500, 0, 640, 390}));
    EXPECT_EQ(placeOf(viewer), (std::vector<LONG>{140, 0, 500, 390}));
    EXPECT_EQ(instance->viewer.frame.renderWidth, 360);

    click(18, 390 + 51, true); // a second pair over the first, drained in its place
    EXPECT_TRUE(IsWindow(firstLeft));
    EXPECT_NE(dashboard.leftPanel->handle(), firstLeft);
    EXPECT_EQ(instance->viewer.leftSidePanel, dashboard.leftPanel->handle());

    click(79, 390 + 51, true); // lamp: the empty panel
    ASSERT_NE(dashboard.emptyPanel, nullptr);
    EXPECT_EQ(placeOf(dashboard.emptyPanel->handle()), (std::vector<LONG>{0, 0, 140, 316}));
    EXPECT_EQ(placeOf(viewer), (std::vector<LONG>{140, 0, 640, 390}));
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
