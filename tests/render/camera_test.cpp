// The camera: its rotation, the move into view coordinates and back, the projection.
#include "render/camera.h"
#include "render/prepare.h"
#include "tests/render/scene.h"

#include <cmath>

using namespace render_test;

namespace {

f32 dot(const f32* a, const f32* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void expectOrthonormal(const RenderState& render)
{
    EXPECT_NEAR(dot(render.forward, render.forward), 1.0f, 1e-6f);
    EXPECT_NEAR(dot(render.left, render.left), 1.0f, 1e-6f);
    EXPECT_NEAR(dot(render.up, render.up), 1.0f, 1e-6f);
    EXPECT_NEAR(dot(render.forward, render.left), 0.0f, 1e-6f);
    EXPECT_NEAR(dot(render.forward, render.up), 0.0f, 1e-6f);
    EXPECT_NEAR(dot(render.left, render.up), 0.0f, 1e-6f);
}

class CameraTransform : public RenderScene {};

} // namespace

TEST_F(CameraTransform, ProjectsTheWorkedVertexOfA576By448Frame)
{
    // View angle 0.3, centre (288, 224), aspect 0.7777778: a vertex at depth 1000,
    // left 100, up 50 lands at (194.897, 177.449).
    beginObject(world, addMaterial(world, 1, 1, 1));
    addVertex(world, {1000.0f, 100.0f, 50.0f});
    render.projected = static_cast<ProjectedVertex*>(std::malloc(sizeof(ProjectedVertex)));
    setScreenGeometry(render, 576, 448);
    EXPECT_EQ(render.screenCentreX, 288);
    EXPECT_EQ(render.screenCentreY, 224);
    EXPECT_FLOAT_EQ(render.aspectRatio, 0.7777778f);
    ProjectVertices(world, render);
    EXPECT_NEAR(render.projected[0].screenX, 194.897f, 1e-3f);
    EXPECT_NEAR(render.projected[0].screenY, 177.449f, 1e-3f);
    EXPECT_EQ(render.projected[0].depth, 1000.0f);
    std::free(render.projected);
    render.projected = nullptr;
}

TEST_F(CameraTransform, LooksStraightDownWhenTheEyeStandsOnTheTarget)
{
    world.camera.eyePoint[0] = world.camera.targetPoint[0] = 7.0f;
    world.camera.eyePoint[1] = world.camera.targetPoint[1] = -3.0f;
    world.camera.eyePoint[2] = world.camera.targetPoint[2] = 2.0f;
    BuildViewMatrix(world, render);
    // Heading +pi/2, elevation -pi/2: forward is straight down the third axis.
    EXPECT_NEAR(render.forward[2], -1.0f, 1e-6f);
    EXPECT_NEAR(render.forward[0], 0.0f, 1e-6f);
    EXPECT_NEAR(render.forward[1], 0.0f, 1e-6f);
    expectOrthonormal(render);
}

TEST_F(CameraTransform, LooksStraightUpAtATargetAboveTheEye)
{
    world.camera.targetPoint[0] = 0.0f;
    world.camera.targetPoint[2] = 10.0f;
    BuildViewMatrix(world, render);
    EXPECT_NEAR(render.forward[2], 1.0f, 1e-6f);
    expectOrthonormal(render);
}

TEST_F(CameraTransform, PutsEveryVertexAndLightBackAfterAFrame)
{
    open(32, 24);
    const i16 material = addMaterial(world, 1, 1, 1);
    beginObject(world, material);
    const Point points[] = {{9000, 120, -40}, {9500, -700, 300}, {11000, 5, 900}, {-300, 40, 2}};
    for (const Point& p : points) addVertex(world, p);
    addFace(world, {0, 1, 2});
    addFace(world, {1, 2, 3});
    endObject(world);
    addPointLight(world, 1.0f, 2.0f, 3.0f, 0.0f);
    addDirectionalLight(world, 0.0f, -1.0f, 0.0f);
    world.camera.eyePoint[0] = 100.0f;
    world.camera.eyePoint[1] = -250.0f;
    world.camera.targetPoint[0] = 5000.0f;
    world.camera.targetPoint[1] = 900.0f;
    world.camera.targetPoint[2] = 400.0f;
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
    beginObject(world, addMaterial(world, 1, 1, 1));
    addVertex(world, {1000.0f, 100.0f, 100.0f});
    ProjectedVertex projected[1];
    render.projected = projected;
    setScreenGeometry(render, 100, 100);
    for (f32 angle : {2.0f, 3.14159265f}) {
        world.camera.viewAngle = angle;
        ProjectVertices(world, render);
        EXPECT_LT(projected[0].screenX, 50.0f) << angle;
        EXPECT_LT(projected[0].screenY, 50.0f) << angle;
        EXPECT_GT(projected[0].screenX, 49.0f) << angle; // a 178-degree opening: near the centre
    }
    render.projected = nullptr;
}

// Regression: a vertex in the eye plane divided by zero and left infinite screen
// positions for the rasterizer to truncate.
TEST_F(CameraTransform, PinsTheProjectionOfAVertexInTheEyePlane)
{
    beginObject(world, addMaterial(world, 1, 1, 1));
    addVertex(world, {0.0f, 100.0f, -100.0f});
    ProjectedVertex projected[1];
    ProjectedVertex right[1];
    render.projected = projected;
    render.projectedRight = right;
    setScreenGeometry(render, 100, 100);
    ProjectVertices(world, render);
    EXPECT_EQ(projected[0].screenX, -kFarScreen);
    EXPECT_EQ(projected[0].screenY, kFarScreen);
    ProjectVerticesStereo(world, render);
    EXPECT_TRUE(std::isfinite(projected[0].screenX));
    EXPECT_TRUE(std::isfinite(right[0].screenX));
    render.projected = render.projectedRight = nullptr;
}

TEST_F(CameraTransform, StereoWithNoEyeGapMatchesTheSingleViewInFront)
{
    beginObject(world, addMaterial(world, 1, 1, 1));
    addVertex(world, {3000.0f, 250.0f, -80.0f});
    addVertex(world, {-3000.0f, 250.0f, -80.0f}); // behind: only the sign differs
    ProjectedVertex single[2], left[2], right[2];
    setScreenGeometry(render, 200, 150);
    world.camera.eyeGap = 0.0f;
    render.projected = single;
    ProjectVertices(world, render);
    render.projected = left;
    render.projectedRight = right;
    ProjectVerticesStereo(world, render);
    EXPECT_EQ(left[0].screenX, single[0].screenX);
    EXPECT_EQ(right[0].screenX, single[0].screenX);
    EXPECT_EQ(left[0].screenY, single[0].screenY);
    EXPECT_NE(left[1].screenX, single[1].screenX); // signed depth mirrors it
    render.projected = render.projectedRight = nullptr;
}

TEST_F(CameraTransform, SeparatesTheEyesBy500UnitsEachWay)
{
    beginObject(world, addMaterial(world, 1, 1, 1));
    addVertex(world, {5000.0f, 0.0f, 0.0f});
    ProjectedVertex left[1], right[1];
    render.projected = left;
    render.projectedRight = right;
    setScreenGeometry(render, 200, 150);
    ProjectVerticesStereo(world, render);
    // The left eye sees a point straight ahead shifted right of the centre, and the
    // right eye shifted left.
    EXPECT_GT(left[0].screenX, 100.0f);
    EXPECT_LT(right[0].screenX, 100.0f);
    EXPECT_NEAR(left[0].screenX - 100.0f, 100.0f - right[0].screenX, 1e-3f);
    render.projected = render.projectedRight = nullptr;
}
