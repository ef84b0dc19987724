// The camera: its rotation, the move into view coordinates and back, the projection.
#include "render/camera.h"
#include "render/field_of_view.h"
#include "render/prepare.h"
#include "tests/render/scene.h"

#include <cmath>
#include <vector>

using namespace render_test;

namespace {

class CameraTransform : public RenderScene {
protected:
    void TearDown() override
    {
        if (!single.empty()) render.projected = render.projectedRight = nullptr; // ours
        RenderScene::TearDown();
    }
    // Projects these view points for a W x H image, single and for each eye.
    void project(std::initializer_list<Point> points, i16 width, i16 height)
    {
        beginObject(world, addMaterial(world, 1, 1, 1));
        for (const Point& point : points) addVertex(world, point);
        single.resize(points.size());
        left.resize(points.size());
        right.resize(points.size());
        SetScreenGeometry(render, width, height);
        reproject();
    }
    void reproject()
    {
        render.projected = single.data();
        ProjectVertices(world, render);
        render.projected = left.data();
        render.projectedRight = right.data();
        ProjectVerticesStereo(world, render);
    }
    std::vector<ProjectedVertex> single, left, right;
};

} // namespace

TEST_F(CameraTransform, ProjectsTheWorkedVertexOfA576By448Frame)
{
    // View angle 0.3, centre (288, 224), aspect 0.7777778: a vertex at depth 1000,
    // left 100, up 50 lands at (194.897, 177.449).
    project({{1000.0f, 100.0f, 50.0f}}, 576, 448);
    EXPECT_NEAR(single[0].screenX, 194.897f, 1e-3f);
    EXPECT_NEAR(single[0].screenY, 177.449f, 1e-3f);
    EXPECT_EQ(single[0].depth, 1000.0f);
}

// Eye equal to target: heading +pi/2, elevation -pi/2, so forward is straight down the
// third axis; a target straight above looks straight up. The axes stay orthonormal.
TEST_F(CameraTransform, LooksStraightDownWhenTheEyeStandsOnTheTargetAndUpAtATargetAbove)
{
    const struct {
        Point eye, target;
        f32 forward[3];
    } rows[] = {{{7.0f, -3.0f, 2.0f}, {7.0f, -3.0f, 2.0f}, {0.0f, 0.0f, -1.0f}},
                {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, 1.0f}}};
    for (const auto& row : rows) {
        placeCamera(world, row.eye, row.target);
        BuildViewMatrix(world, render);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(render.forward[c], row.forward[c], 1e-6f) << c;
        const f32* axes[3] = {render.forward, render.left, render.up};
        for (int a = 0; a < 3; ++a)
            for (int b = a; b < 3; ++b)
                EXPECT_NEAR(axes[a][0] * axes[b][0] + axes[a][1] * axes[b][1] +
                                axes[a][2] * axes[b][2],
                            a == b ? 1.0f : 0.0f, 1e-6f)
                    << a << b;
    }
}

// A pick reads depths measured from the eye of the frame drawn; the camera may have
// moved on since, so the rows remember their own eye.
TEST_F(CameraTransform, KeepsTheEyeItsRowsWereBuiltFromUntilTheNextBuild)
{
    placeCamera(world, {100.0f, -20.0f, 5.0f}, {200.0f, -20.0f, 5.0f});
    BuildViewMatrix(world, render);
    placeCamera(world, {900.0f, 900.0f, 900.0f}, {1000.0f, 900.0f, 900.0f});
    EXPECT_EQ(render.viewEye[0], 100.0f);
    EXPECT_EQ(render.viewEye[1], -20.0f);
    EXPECT_EQ(render.viewEye[2], 5.0f);
    BuildViewMatrix(world, render);
    EXPECT_EQ(render.viewEye[1], 900.0f);
}

TEST_F(CameraTransform, PutsEveryVertexAndLightBackAfterAFrame)
{
    open(32, 24);
    beginObject(world, addMaterial(world, 1, 1, 1));
    const Point points[] = {{9000, 120, -40}, {9500, -700, 300}, {11000, 5, 900}, {-300, 40, 2}};
    for (const Point& p : points) addVertex(world, p);
    addFace(world, {0, 1, 2});
    addFace(world, {1, 2, 3});
    endObject(world);
    addPointLight(world, 1.0f, 2.0f, 3.0f, 0.0f);
    addDirectionalLight(world, 0.0f, -1.0f, 0.0f);
    placeCamera(world, {100.0f, -250.0f, 0.0f}, {5000.0f, 900.0f, 400.0f});
    world.camera.rollAngle = 0.4f;
    load();
    draw();
    for (u32 v = 0; v < 4; ++v) {
        EXPECT_NEAR(world.vertexZ[v], points[v].first, 0.01f) << v;
        EXPECT_NEAR(world.vertexX[v], points[v].second, 0.01f) << v;
        EXPECT_NEAR(world.vertexY[v], points[v].third, 0.01f) << v;
    }
    EXPECT_NEAR(world.pointLights[0][0], 15000.0f, 0.02f);
    EXPECT_NEAR(world.pointLights[0][1], 5000.0f, 0.02f);
    EXPECT_NEAR(world.pointLights[0][2], 10000.0f, 0.02f);
    EXPECT_NEAR(world.directionalLights[0][2], 5000.0f, 0.02f);
}

// Regression: tan(view angle) turns negative from pi/2 on, which turned the picture
// over (a vertex to the left landed right of the centre).
TEST_F(CameraTransform, KeepsLeftOnTheLeftForAViewAngleBeyondAQuarterTurn)
{
    project({{1000.0f, 100.0f, 100.0f}}, 100, 100);
    for (f32 angle : {2.0f, 3.14159265f}) {
        world.camera.viewAngle = angle;
        reproject();
        EXPECT_LT(single[0].screenX, 50.0f) << angle;
        EXPECT_LT(single[0].screenY, 50.0f) << angle;
        EXPECT_GT(single[0].screenX, 49.0f) << angle; // a 178-degree opening: near the centre
    }
}

// Regression: a vertex in the eye plane divided by zero and left infinite screen
// positions for the rasterizer to truncate.
TEST_F(CameraTransform, PinsTheProjectionOfAVertexInTheEyePlane)
{
    project({{0.0f, 100.0f, -100.0f}}, 100, 100);
    EXPECT_EQ(single[0].screenX, -kFarScreen);
    EXPECT_EQ(single[0].screenY, kFarScreen);
    EXPECT_TRUE(std::isfinite(left[0].screenX));
    EXPECT_TRUE(std::isfinite(right[0].screenX));
}

TEST_F(CameraTransform, SeparatesTheEyesBy500UnitsEachWayAndNotAtAllWithNoGap)
{
    // The first point straight ahead: the left eye sees it right of the centre, the
    // right eye left of it. Of the other two, the second is behind, and with no gap only
    // the sign of its depth differs.
    project({{5000.0f, 0.0f, 0.0f}, {3000.0f, 250.0f, -80.0f}, {-3000.0f, 250.0f, -80.0f}}, 200,
            150);
    EXPECT_GT(left[0].screenX, 100.0f);
    EXPECT_LT(right[0].screenX, 100.0f);
    EXPECT_NEAR(left[0].screenX - 100.0f, 100.0f - right[0].screenX, 1e-3f);
    world.camera.eyeGap = 0.0f;
    reproject();
    EXPECT_EQ(left[1].screenX, single[1].screenX);
    EXPECT_EQ(right[1].screenX, single[1].screenX);
    EXPECT_EQ(left[1].screenY, single[1].screenY);
    EXPECT_NE(left[2].screenX, single[2].screenX); // signed depth mirrors it
}

// VRML's fieldOfView is the opening of the view's smaller side; the projection's view
// angle is half the horizontal opening.
TEST(FieldOfView, OpensTheSmallerSideOfTheView)
{
    const struct {
        f32 fieldOfView;
        i16 width, height;
        f64 half;
    } cases[] = {
        {0.785f, 640, 390, std::atan(std::tan(0.3925) * 640.0 / 390.0)},
        {0.785f, 390, 640, 0.3925},
        {0.785f, 400, 400, 0.3925},
        {0.0f, 390, 640, 0.392699}, // outside (0, pi): VRML's 0.785398
        {NAN, 390, 640, 0.392699},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(HalfHorizontalAngle(c.fieldOfView, c.width, c.height), c.half, 1e-6)
            << c.fieldOfView << " " << c.width << "x" << c.height;
}

// A zoomed view keeps its zoom through a change of shape: the smaller side's opening
// stays. The line reader's own rule leaves the number as it was read.
TEST(FieldOfView, ARefitKeepsTheOpeningOfTheSmallerSide)
{
    World world;
    world.vrmlFieldOfView = true;
    world.viewpointFieldOfView = 0.785f;
    FitViewAngle(world, 640, 390);
    EXPECT_NEAR(world.camera.viewAngle, std::atan(std::tan(0.3925) * 640.0 / 390.0), 1e-6);
    world.camera.viewAngle = 0.2f; // zoomed in: tan(0.2) x 390 / 640 across the height
    RefitViewAngle(world, 640, 390, 390, 640);
    EXPECT_NEAR(world.camera.viewAngle, std::atan(std::tan(0.2) * 390.0 / 640.0), 1e-6);
    RefitViewAngle(world, 390, 640, 640, 390);
    EXPECT_NEAR(world.camera.viewAngle, 0.2, 1e-6);
    world.vrmlFieldOfView = false;
    FitViewAngle(world, 390, 640);
    RefitViewAngle(world, 640, 390, 390, 640);
    EXPECT_EQ(world.camera.viewAngle, 0.2f);
}
