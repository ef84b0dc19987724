// The user's lamp: dragged on its own while it is on, carried along by the camera.
#include "tests/viewer/viewer_scene.h"

#include <cmath>

using namespace viewer_scene;

namespace {

constexpr double kLampTurn = 10 * 3.14159265358979 / 720;   // a lamp drag of 10 pixels
constexpr double kOrbitTurn = 10 * 3.14159265358979 / 1440; // an orbit drag of 10 pixels
constexpr double kCentre = 50000; // the triangle world's centre on the first axis

class Lamp : public ViewerScene {
protected:
    // Switches the lamp on as the Dashboard does: a spot light appended, the flag set.
    void addLamp(const Vec3& location, const Vec3& direction)
    {
        const i16 light = newLight(world, 3);
        ASSERT_GE(light, 0);
        placeLamp(location, direction);
        instance->options.lampFlag = 1;
        instance->options.lampLight = light;
        instance->options.lampSpot = world.lights[light].kindIndex;
    }
    void placeLamp(const Vec3& location, const Vec3& direction)
    {
        SpotLightRow& row = lamp();
        for (int axis = 0; axis < 3; ++axis) {
            row.location[axis] = static_cast<f32>(location[axis]);
            row.direction[axis] = static_cast<f32>(direction[axis]);
        }
    }
    SpotLightRow& lamp() { return world.spotLights[world.spotLightCount - 1]; }
};

} // namespace

// The direction used to be turned as a point, through the eye: with the eye 50000 out
// it came back about 2181 long and 91 degrees off.
TEST_F(Lamp, TurnsItsDirectionAsADirectionWhereverTheEyeIs)
{
    open(kTriangleAhead);
    placeCamera({50000, 0, 0}, {5000, 0, 0}); // looking back along the first axis
    frames(1);
    addLamp({50000, 0, 0}, {-1, 0, 0});
    drag(10, 0, true, MK_SHIFT); // a turn to the viewer's left, seen from this eye
    expectNear(lamp().direction, {-std::cos(kLampTurn), -std::sin(kLampTurn), 0}, 1e-5, "D");
    const f32* d = lamp().direction;
    EXPECT_NEAR(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), 1.0, 1e-6);
    expectNear(lamp().location, {50000, 0, 0}, 0, "location");
}

// A lamp drag moves the lamp at once and leaves the camera's amounts alone: they once
// drove the camera too, 5 x d² world units taken as radians of turn in walk mode.
TEST_F(Lamp, DragsMoveTheLampAtOnceAndTheCameraNotAtAll)
{
    const double c = std::cos(kLampTurn), s = std::sin(kLampTurn);
    const struct {
        bool right;
        WPARAM modifiers;
        int dx, dy;
        Vec3 location, direction;
    } cases[] = {
        // 5 x 2² to the right, 5 x 3² up.
        {false, 0, 2, -3, {0, -20, 45}, {1, 0, 0}},
        {false, MK_CONTROL, 0, -3, {45, 0, 0}, {1, 0, 0}},
        // An orbit puts the lamp where the camera's eye would go; the second code (about
        // the left axis) decides the place, both turn the direction.
        {true, 0, 10, 10, {kCentre * (1 - c), 0, -kCentre * s}, {c * c, s, s * c}},
        {true, MK_SHIFT, 10, 10, {0, 0, 0}, {c * c, s, s * c}},
    };
    open(kTriangleAhead);
    frames(1);
    addLamp({0, 0, 0}, {1, 0, 0});
    for (const auto& t : cases) {
        SCOPED_TRACE(t.modifiers + (t.right ? 100 : 0));
        placeLamp({0, 0, 0}, {1, 0, 0});
        drag(t.dx, t.dy, t.right, t.modifiers);
        expectNear(lamp().location, t.location, 0.05, "location");
        expectNear(lamp().direction, t.direction, 1e-5, "direction");
        frames(3);
        EXPECT_EQ(navigation().sideAmount, 0.0f);
        EXPECT_EQ(navigation().mainAmount, 0.0f);
        expectNear(world.camera.eyePoint, {0, 0, 0}, 0, "eye");
        expectNear(world.camera.targetPoint, {1, 0, 0}, 0, "target");
        mouse(t.right ? WM_RBUTTONUP : WM_LBUTTONUP, 200 + t.dx, 100 + t.dy);
    }
}

// Amounts left by a right drag before the lamp came on keep moving the camera, and the
// lamp rides with it: shifted as the eye is, and after an orbit standing at the eye.
TEST_F(Lamp, RidesWithTheCameraWhenTheCameraMoves)
{
    const double c = std::cos(2 * kOrbitTurn), s = std::sin(2 * kOrbitTurn);
    const struct {
        i16 mode;
        int dx, dy;
        Vec3 eye, direction;
    } cases[] = {
        {kModeWalk, 0, -3, {72, 0, 0}, {1, 0, 0}},
        {kModeOrbit, 10, 0, {kCentre * (1 - c), -kCentre * s, 0}, {c, s, 0}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.mode);
        TearDown();
        SetUp();
        open(kTriangleAhead);
        frames(1);
        chooseNavigationMode(navigation(), t.mode);
        drag(t.dx, t.dy, true);
        mouse(WM_RBUTTONUP, 200 + t.dx, 100 + t.dy);
        addLamp({0, 0, 0}, {1, 0, 0});
        frames(2);
        expectNear(world.camera.eyePoint, t.eye, 0.05, "eye");
        expectNear(lamp().location, t.eye, 0.05, "lamp");
        expectNear(lamp().direction, t.direction, 1e-5, "direction");
    }
}

TEST_F(Lamp, StaysPutWhileNoWorldIsLoaded)
{
    open(nullptr);
    addLamp({10, 20, 30}, {0, 1, 0});
    drag(2, -3);
    mouse(WM_LBUTTONUP, 202, 97);
    drag(10, 10, true);
    expectNear(lamp().location, {10, 20, 30}, 0, "location");
    expectNear(lamp().direction, {0, 1, 0}, 0, "direction");
}
