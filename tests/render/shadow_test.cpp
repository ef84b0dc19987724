// Shadow maps and the per-pixel shadow test.
#include "render/camera.h"
#include "render/shadow.h"
#include "tests/render/scene.h"

#include <cmath>

using namespace render_test;

namespace {

// A floor and a smaller board 1000 units above it, both level, seen from straight
// above: both lie parallel to the image, so the light coordinates, which the
// rasterizer interpolates linearly on the screen, are exact on them.
class Shadows : public RenderScene {
protected:
    void SetUp() override
    {
        RenderScene::SetUp();
        open(kWidth, kHeight);
        grey = addMaterial(world, 0.8f, 0.8f, 0.8f);
        floor = level(-2000.0f, 5000.0f, 20000.0f, 5000.0f);
        board = level(-1000.0f, 9000.0f, 12000.0f, 1000.0f);
        placeCamera(world, {10500.0f, 0.0f, 20000.0f}, {10500.0f, 0.0f, -2000.0f});
    }
    i16 level(f32 height, f32 nearDepth, f32 farDepth, f32 halfWidth)
    {
        return addPolygon(world, grey,
                          {{nearDepth, -halfWidth, height},
                           {nearDepth, halfWidth, height},
                           {farDepth, halfWidth, height},
                           {farDepth, -halfWidth, height}});
    }
    void drawWithShadows()
    {
        load();
        ASSERT_TRUE(SetShadows(world, render, frame, true));
        draw();
    }
    // The pixel a world point lands on, from the last frame's camera.
    Colour at(f32 first, f32 second, f32 third) const
    {
        f32 depth = first, left = second, up = third;
        WorldToView(world, render, depth, left, up);
        const f32 k = 1.0f / (depth * std::tan(0.3f));
        const f32 x = (1.0f - left * k) * render.screenCentreX;
        const f32 y = (1.0f - up * k / render.aspectRatio) * render.screenCentreY;
        return pixel(static_cast<i32>(x), static_cast<i32>(y));
    }
    // A light 45 degrees up, shining toward the second axis: the board's shadow falls
    // 1000 units along it, half of it beside the board where the camera sees it.
    i16 slantingLight() { return addDirectionalLight(world, 1.0f, -1.0f, 0.0f); }
    Colour inShadow() const { return at(10500.0f, 1600.0f, -2000.0f); }
    Colour inTheOpen() const { return at(10500.0f, -3000.0f, -2000.0f); }
    i16 grey = 0, floor = 0, board = 0;
};

} // namespace

// Regression: the shadow maps looked at the scene from the far side of a directional
// light, so the floor beside the board stayed lit and the board's top was shadowed.
TEST_F(Shadows, DarkensTheFloorWhereTheBoardHidesTheLightOnlyWithShadowsOn)
{
    slantingLight();
    load();
    draw();
    EXPECT_EQ(inShadow(), inTheOpen()); // shadows off
    ASSERT_TRUE(SetShadows(world, render, frame, true));
    draw();
    const Colour open = inTheOpen();
    ASSERT_GT(open.red, 60);
    EXPECT_NEAR(inShadow().red, open.red * 0.4f, 1.0f);
    EXPECT_EQ(at(10500.0f, 0.0f, -1000.0f), open);     // the board's own top is in the light
    EXPECT_EQ(at(10500.0f, -1600.0f, -2000.0f), open); // the other side of the board
}

// Two blocked lights darken by 0.4 x 0.4; a third, switched off, casts no shadow
// (regression: it did, which would give 0.4 cubed). Regression: the shadow tables had
// room for the lights of the moment only; a lamp added after shadows were switched on
// was written past them.
TEST_F(Shadows, MultipliesTheFactorOnceForEachBlockedLightThatIsOnAndMakesRoomForMore)
{
    for (f32& c : world.materials[grey].diffuseColor) c = 0.3f; // two lights stay below 255
    slantingLight();
    slantingLight();
    world.lights[slantingLight()].enabled = 0.0f;
    drawWithShadows();
    EXPECT_NEAR(inShadow().red, inTheOpen().red * 0.16f, 1.0f);
    for (int l = 0; l < 9; ++l) slantingLight();
    draw();
    EXPECT_EQ(render.shadowMaps, nullptr);           // freed with the frame
    EXPECT_LT(inShadow().red, inTheOpen().red / 10); // the first eight lights cast shadows
}

// Without lights the camera light casts shadows (along heading 3.93, down 45 degrees);
// a point light's map looks toward the world's lowest middle.
TEST_F(Shadows, CastFromTheCameraLightOfAWorldWithoutLightsAndFromAPointLight)
{
    drawWithShadows();
    EXPECT_GT(render.shadowDescriptors[0].active, 0);
    addPointLight(world, -2.0f, 0.5f, 2.1f, 0.0f); // well off to one side, above
    draw();
    EXPECT_LT(at(10500.0f, 2200.0f, -2000.0f).red, inTheOpen().red * 0.6f);
}

using FlatWorldShadows = RenderScene;

// Regression: a world without extent across a light's view divided zero by zero.
TEST_F(FlatWorldShadows, SkipsALightThatSeesTheWorldEdgeOn)
{
    open(kWidth, kHeight);
    rect(addMaterial(world, 0.8f, 0.8f, 0.8f), 10.5f, 10.5f, 50.5f, 30.5f, 10000.0f);
    addDirectionalLight(world, 1.0f, 0.0f, 0.0f); // along the rectangle's plane
    load();
    ASSERT_TRUE(SetShadows(world, render, frame, true));
    draw();
    EXPECT_GT(pixel(30, 20).red, 0);
    EXPECT_EQ(render.shadowDescriptors[0].active, 0);
}
