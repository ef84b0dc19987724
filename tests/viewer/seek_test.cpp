// The seek: a click in mode 7 carries the camera towards the surface drawn under it.
#include "tests/viewer/viewer_scene.h"

#include <cmath>
#include <cstdio>
#include <cstring>

using namespace viewer_scene;

namespace {

// The centre of the 400 x 210 Viewer: view left and up are 0 there.
constexpr int kCentreX = 200;
constexpr int kCentreY = 105;

class Seek : public ViewerScene {
protected:
    void start(f32 scale = 1.0f)
    {
        open(kTriangleAhead, scale);
        ASSERT_TRUE(chooseNavigationMode(navigation(), kModeSeek));
    }
    double heading() const
    {
        return std::atan2(world.camera.targetPoint[1] - world.camera.eyePoint[1],
                          world.camera.targetPoint[0] - world.camera.eyePoint[0]);
    }
};

// A wall 8 file units square, `distance` file units from the origin along `heading`
// (radians from the first internal axis, the file's z, towards the file's x).
std::string wallAhead(double heading, double distance)
{
    const double z = distance * std::cos(heading), x = distance * std::sin(heading);
    const double acrossZ = -4 * std::sin(heading), acrossX = 4 * std::cos(heading);
    char text[512];
    std::snprintf(text, sizeof text,
                  "Shape {\nappearance Appearance {\nmaterial Material {\n}\n}\n"
                  "geometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n"
                  "%.7f -4 %.7f,\n%.7f -4 %.7f,\n%.7f 4 %.7f,\n%.7f 4 %.7f,\n]\n}\n"
                  "coordIndex [\n0, 1, 2, 3, -1,\n]\n}\n}\n",
                  x - acrossX, z - acrossZ, x + acrossX, z + acrossZ, x + acrossX, z + acrossZ,
                  x - acrossX, z - acrossZ);
    return text;
}

} // namespace

TEST_F(Seek, EndsAFifthOfTheDistanceShortWithTheHeadingUnchanged)
{
    start();
    frames(1);
    click(kCentreX, kCentreY); // the triangle, 50000 ahead
    EXPECT_EQ(navigation().seekSteps, 10);
    frames(11); // ten steps of 0.08, then nothing more
    // The target was 1 ahead: it is first put 5000 ahead, then travels 0.8 x 45000.
    expectNear(world.camera.eyePoint, {40000, 0, 0}, 0.5, "eye");
    expectNear(world.camera.targetPoint, {41000, 0, 0}, 0.5, "target");
    EXPECT_EQ(navigation().seekSteps, 0);
}

// At display scale 2 each render pixel is a 2 x 2 block of client pixels: the record
// is (trunc(y / 2) x W + trunc(x / 2)), W = 200, H = 105, never outside the buffer.
TEST_F(Seek, ReadsTheRecordUnderTheClickAtDisplayScale2)
{
    const struct {
        int x, y;
        int record; // the one drawn record, or -1 for all of them
        bool seeks;
    } cases[] = {
        {100, 50, 5050, true},  {101, 51, 5050, true},
        {100, 51, 5150, false}, {399, 209, 20999, true}, // the last record, bottom right
        {450, 100, -1, false}, // beyond the right edge while the mouse is captured
        {-3, 50, -1, false},   // beyond the left edge
    };
    start(2.0f);
    frames(1);
    ASSERT_EQ(viewer().frame.renderWidth, 200);
    const int records = 200 * 105;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x * 1000 + c.y);
        DepthRecord* depth = viewer().frame.depthBuffer;
        std::memset(static_cast<void*>(depth), 0, records * sizeof(DepthRecord));
        for (int r = 0; r < records; ++r)
            if (c.record < 0 || r == c.record) depth[r] = DepthRecord{50000.0f, 0, kDepthOpaque};
        navigation().seekSteps = 0;
        mouse(WM_RBUTTONDOWN, 100, 50, MK_RBUTTON); // holds the capture for clicks outside
        click(c.x, c.y);
        EXPECT_EQ(navigation().seekSteps, c.seeks ? 10 : 0);
    }
}

TEST_F(Seek, PutsANearTargetOneFileUnitAheadBeforeMeasuringTheVectors)
{
    const struct {
        Vec3 target;   // set after the frame, before the click
        Vec3 adjusted; // the target the seek starts from
        double tolerance;
    } cases[] = {
        // Exactly 5000 ahead (in floats), left bit for bit: scaled to 5000 again, its
        // first coordinate would come out as 3.0000002.
        {{3, 4999.9990234375, 0}, {3, 4999.9990234375, 0}, 0},
        {{3, 4, 0}, {3000, 4000, 0}, 1e-3}, // nearer: out along its own direction
        {{0, 0, 0}, {5000, 0, 0}, 1e-3},    // on the eye: along the last frame's F
    };
    start();
    frames(1);
    for (const auto& c : cases) {
        placeCamera({0, 0, 0}, c.target);
        click(kCentreX, kCentreY);
        ASSERT_EQ(navigation().seekSteps, 10);
        expectNear(world.camera.targetPoint, c.adjusted, c.tolerance, "target");
        // The eye is the origin, so the position vector is the picked point itself.
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_EQ(navigation().seekTarget[axis],
                      navigation().seekPosition[axis] - world.camera.targetPoint[axis]);
    }
}

// Seeks used to shrink the eye-to-target distance to a fifth each time, until the
// float's resolution at the eye turned the heading: 0.5071 after the first of these.
TEST_F(Seek, KeepsItsHeadingOverRepeatedSeeks)
{
    const std::string wall = wallAhead(0.5, 6.0);
    open(wall.c_str());
    chooseNavigationMode(navigation(), kModeSeek);
    placeCamera({0, 0, 0}, {std::cos(0.5), std::sin(0.5), 0});
    for (int seek = 0; seek < 3; ++seek) {
        frames(1);
        click(kCentreX, kCentreY);
        ASSERT_EQ(navigation().seekSteps, 10) << seek;
        frames(10);
        EXPECT_NEAR(heading(), 0.5, 1e-4) << seek;
    }
}

// The depth was measured from the eye of the frame drawn; the seek moved the eye on
// after it. A second click must aim at the surface, not 4000 beyond it.
TEST_F(Seek, PicksWithTheEyeOfTheFrameDrawn)
{
    start();
    frames(1);
    click(kCentreX, kCentreY);
    frames(1); // drawn from the origin, then the eye steps to 4000
    click(kCentreX, kCentreY);
    frames(10);
    expectNear(world.camera.eyePoint, {4000 + 0.8 * (50000 - 4000), 0, 0}, 0.5, "eye");
}

TEST_F(Seek, FindsNothingBeforeTheFirstFrameOrAfterAResize)
{
    start();
    click(kCentreX, kCentreY);
    EXPECT_EQ(navigation().seekSteps, 0);
    frames(1);
    MoveWindow(viewer().handle(), 0, 0, kViewerWidth, kViewerHeight - 10, TRUE);
    click(kCentreX, kCentreY - 5);
    EXPECT_EQ(navigation().seekSteps, 0);
    frames(1);
    click(kCentreX, kCentreY - 5);
    EXPECT_EQ(navigation().seekSteps, 10); // the new frame's depth answers again
}
