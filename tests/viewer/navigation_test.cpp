// Mouse navigation: what a drag sets, and what the frames then do to the camera.
#include "tests/viewer/viewer_scene.h"

#include <cmath>

using namespace viewer_scene;

namespace {

constexpr double kTurnPerPixel = 3.14159265358979 / 2880; // a quarter degree
constexpr double kOrbitPerPixel = 3.14159265358979 / 1440;

class MouseNavigation : public ViewerScene {
protected:
    // The triangle world, one frame drawn (rows of the default camera), then `mode`.
    void start(i16 mode)
    {
        open(kTriangleAhead);
        frames(1);
        ASSERT_TRUE(chooseNavigationMode(navigation(), mode));
    }
};

} // namespace

TEST_F(MouseNavigation, SetsTheAmountsOfEachModeFromTheMovementSinceTheLastMessage)
{
    const struct {
        i16 mode;
        int dx, dy;
        f32 side, main;
    } cases[] = {
        {4, 0, -3, 0.0f, 36.0f},        // 4 x 3², forward when the mouse goes up
        {4, 0, 3, 0.0f, -36.0f},        // and backward when it goes down
        {6, 10, 0, 0.021816615f, 0.0f}, // 10 x pi / 1440 of orbit
        {2, 10, -4, -0.010908308f, 0.0043633232f},
        {5, -5, 2, -100.0f, -16.0f},
    };
    start(kModeWalk);
    for (const auto& c : cases) {
        chooseNavigationMode(navigation(), c.mode);
        mouse(WM_LBUTTONDOWN, 100, 50, MK_LBUTTON);
        mouse(WM_MOUSEMOVE, 150, 80, MK_LBUTTON); // the first move sets its own amounts
        mouse(WM_MOUSEMOVE, 150 + c.dx, 80 + c.dy, MK_LBUTTON);
        EXPECT_FLOAT_EQ(navigation().sideAmount, c.side) << "mode " << c.mode;
        EXPECT_FLOAT_EQ(navigation().mainAmount, c.main) << "mode " << c.mode;
        mouse(WM_LBUTTONUP, 150 + c.dx, 80 + c.dy);
    }
}

TEST_F(MouseNavigation, FlyingSpeedsUpBy500AMoveFromWhereTheLastChoiceLeftIt)
{
    start(kModeWalk);
    navigation().mode = kModeFly; // set without the Dashboard: the speed of creation stays
    drag(0, -1);
    EXPECT_FLOAT_EQ(navigation().forwardAmount, 800.0f + 500.0f);
    mouse(WM_LBUTTONUP, 200, 99);
    EXPECT_FLOAT_EQ(navigation().forwardAmount, 0.0f); // the left release stops everything
    drag(0, -1);
    EXPECT_FLOAT_EQ(navigation().forwardAmount, 0.0f + 500.0f);
    mouse(WM_LBUTTONUP, 200, 99);
    chooseNavigationMode(navigation(), kModeFly);
    drag(0, -1);
    EXPECT_FLOAT_EQ(navigation().forwardAmount, 100.0f + 500.0f);
    EXPECT_FALSE(chooseNavigationMode(navigation(), 8));
    EXPECT_EQ(navigation().mode, kModeFly);
}

// Each mode over a drag and two frames, worked out from its motion codes. The camera
// starts at the origin looking along the first axis (F, L, U the unit axes).
TEST_F(MouseNavigation, MovesTheCameraAsEachModesMotionCodesSay)
{
    const double turn = -10 * kTurnPerPixel; // a drag 10 to the right turns right
    const double orbit = 10 * kOrbitPerPixel;
    const double centre = 50000; // of the triangle's bounds, on the first axis
    const struct {
        i16 mode;
        int dx, dy;
        Vec3 eye, target;
        double roll, viewAngle;
    } cases[] = {
        {kModeRoll, 0, 10, {0, 0, 0}, {1, 0, 0}, 20 * kTurnPerPixel, 0.3},
        {kModeZoom, 0, 10, {0, 0, 0}, {1, 0, 0}, 0, 0.3 + 20 * kTurnPerPixel},
        // Pitch up twice: the target climbs the unit circle about the eye.
        {kModeLookAround, 0, -10, {0, 0, 0}, {std::cos(-2 * turn), 0, std::sin(-2 * turn)}, 0, 0.3},
        // 100 + 500 forward and 4 x 5² up, each frame.
        {kModeFly, 0, -5, {1200, 0, 200}, {1201, 0, 200}, 0, 0.3},
        // 36 forward, then a turn; the second step goes along the turned view.
        {kModeWalk,
         10,
         -3,
         {36 + 36 * std::cos(turn), 36 * std::sin(turn), 0},
         {36 + 36 * std::cos(turn) + std::cos(2 * turn), 36 * std::sin(turn) + std::sin(2 * turn),
          0},
         0,
         0.3},
        // 4 x 5² to the right (against L) and up, each frame.
        {kModeSlide, 5, -5, {0, -200, 200}, {1, -200, 200}, 0, 0.3},
        // Eye and target swing about the centre and keep looking at it.
        {kModeOrbit,
         10,
         0,
         {centre - centre * std::cos(2 * orbit), -centre * std::sin(2 * orbit), 0},
         {centre - (centre - 1) * std::cos(2 * orbit), -(centre - 1) * std::sin(2 * orbit), 0},
         0,
         0.3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        TearDown();
        SetUp();
        start(c.mode);
        drag(c.dx, c.dy);
        frames(2);
        expectNear(world.camera.eyePoint, c.eye, 0.05, "eye");
        expectNear(world.camera.targetPoint, c.target, 0.05, "target");
        EXPECT_NEAR(world.camera.rollAngle, c.roll, 1e-6);
        EXPECT_NEAR(world.camera.viewAngle, c.viewAngle, 1e-6);
    }
}

TEST_F(MouseNavigation, KeepsZoomAndRollWithinTheirBoundsAndZoomsBackAtOnce)
{
    const struct {
        i16 mode;
        int dy;
        f32 bound;
    } cases[] = {
        // 89 degrees: beyond a quarter turn the picture would turn over.
        {kModeZoom, 200, 1.5533430f},
        {kModeZoom, -200, 0.017453292f},
        {kModeRoll, 300, 3.1415927f},
        {kModeRoll, -300, -3.1415927f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dy);
        TearDown();
        SetUp();
        start(c.mode);
        drag(0, c.dy);
        frames(10);
        f32& angle = c.mode == kModeZoom ? world.camera.viewAngle : world.camera.rollAngle;
        EXPECT_EQ(angle, c.bound);
        mouse(WM_MOUSEMOVE, 200, 100 + c.dy - (c.dy > 0 ? 10 : -10), MK_LBUTTON);
        frames(1); // back the other way by 10 pixels: it moves off the bound at once
        EXPECT_NEAR(angle, c.bound - (c.dy > 0 ? 1 : -1) * 10 * kTurnPerPixel, 1e-6);
    }
}

TEST_F(MouseNavigation, ARightDragKeepsTurningAfterItsReleaseUntilALeftRelease)
{
    start(kModeLookAround);
    drag(10, 0, true);
    mouse(WM_RBUTTONUP, 210, 100);
    EXPECT_EQ(GetCapture(), nullptr);
    frames(2);
    const double turned = -20 * kTurnPerPixel;
    expectNear(world.camera.targetPoint, {std::cos(turned), std::sin(turned), 0}, 1e-5, "drift");
    click(300, 150);
    EXPECT_EQ(GetCapture(), nullptr);
    frames(2);
    expectNear(world.camera.targetPoint, {std::cos(turned), std::sin(turned), 0}, 1e-5, "still");
}

TEST_F(MouseNavigation, OrbitsNowhereWhenTheWorldsBoundsAreNotFinite)
{
    start(kModeOrbit);
    world.objectBounds[0][2] = NAN;
    drag(10, 10);
    frames(2);
    expectNear(world.camera.eyePoint, {0, 0, 0}, 0, "eye");
    expectNear(world.camera.targetPoint, {1, 0, 0}, 0, "target");
}
