// Viewpoint and light placement: the line reader neither looks for a Viewpoint inside a
// Transform nor transforms lights, so the pass moves the first Viewpoint to the top and
// applies the transforms around Viewpoints, lights and sounds itself; a world without a
// Viewpoint gets one that frames it.
#include "tests/normalize/normalize_testing.h"

#include <cmath>

namespace {

class Placement : public Normalizing {
protected:
    // The camera's eye in file units and file order.
    Triple eye() const
    {
        const f32* e = world.camera.eyePoint;
        return {e[1] / kWorldScale, e[2] / kWorldScale, e[0] / kWorldScale};
    }
    // The unit direction the camera looks in, file order.
    Triple look() const
    {
        const f32 *e = world.camera.eyePoint, *t = world.camera.targetPoint;
        const Triple along = {t[1] - e[1], t[2] - e[2], t[0] - e[0]};
        const f32 size = std::hypot(along[0], along[1], along[2]);
        if (size == 0.0f) return {0, 0, 0};
        return {along[0] / size, along[1] / size, along[2] / size};
    }
    void expectCamera(const Triple& wantEye, const Triple& wantLook) const
    {
        EXPECT_TRUE(nearTriple(eye(), wantEye, 1e-4f)) << "eye";
        EXPECT_TRUE(nearTriple(look(), wantLook, 1e-4f)) << "view direction";
    }
};

TEST_F(Placement, TheFirstViewpointIsHoistedOrOneFramesTheWorldAndATopLevelOneKeepsItsNumbers)
{
    testing_support::writeTempFile("room.wrl", "#VRML V2.0 utf8\nViewpoint { position 5 5 5 }\n"
                                               "Shape { geometry Box { size 2 2 2 } }\n");
    // A framing camera opens VRML's default 45 degrees across the height of a 4:3 view
    // and stands where half the world's width fills 80% of the view's width, or half its
    // height 80% of the view's height, three quarters of its width.
    const f32 framed = 1.0f / (0.8f * std::tan(0.785398f / 2.0f) / 0.75f);
    const struct {
        const char* what;
        std::string text;
        Triple eye, look; // file units and order; the look of unit length
    } cases[] = {
        // The default position 0 0 10 turns to 10 0 0 and moves by 1 2 3; the view along
        // -z turns to -x. Only the first of the two Viewpoints counts.
        {"a Viewpoint inside Transforms",
         "Transform { translation 1 2 3 children [\n"
         "  Transform { rotation 0 1 0 1.5707963 children [\n"
         "    Viewpoint { description \"turned\" }\n"
         "    Transform { children [ Viewpoint { position 50 50 50 } ] }\n"
         "  ] }\n"
         "] }\n",
         {11.0f, 2.0f, 3.0f},
         {-1.0f, 0.0f, 0.0f}},
        // The view direction (-sin 45, 0, -cos 45) stretched along x and made unit again.
        {"a scaled Transform moves the Viewpoint but keeps its view square",
         "Transform { scale 2 1 1 children Viewpoint { position 1 0 0 orientation 0 1 0 "
         "0.7853982 } }\n",
         {2.0f, 0.0f, 0.0f},
         {-0.894427f, 0.0f, -0.447214f}},
        {"a Viewpoint outside the chosen child is not the first one",
         "Switch { whichChoice 1 choice [ Viewpoint { position 9 9 9 } "
         "Viewpoint { position 1 2 3 } ] }\n"
         "Viewpoint { position 7 7 7 }\n",
         {1.0f, 2.0f, 3.0f},
         {0.0f, 0.0f, -1.0f}},
        // The box spans x 0..2, y -0.5..0.5, z -2..2: the camera frames it from z = 2.
        {"no Viewpoint: a wide box is framed by its width",
         "Transform { translation 1 0 0 children [ Shape { geometry Box { size 2 1 4 } } ] }\n",
         {1.0f, 0.0f, 2.0f + framed},
         {0.0f, 0.0f, -1.0f}},
        {"no Viewpoint: a tall box is framed by its height",
         "Shape { geometry Box { size 1 3 1 } }\n",
         {0.0f, 0.0f, 0.5f + (1.5f / 0.75f) * framed},
         {0.0f, 0.0f, -1.0f}},
        {"an inlined Viewpoint is not bound, so the world is framed",
         "Inline { url \"room.wrl\" }\n",
         {0.0f, 0.0f, 1.0f + (1.0f / 0.75f) * framed},
         {0.0f, 0.0f, -1.0f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        readNormalized("#VRML V2.0 utf8\n" + c.text);
        expectCamera(c.eye, c.look);
        EXPECT_EQ(world.viewpointCount, 1);
    }
    // A top-level Viewpoint keeps its own numbers; an empty world gets none.
    const std::string text = readNormalized("#VRML V2.0 utf8\n"
                                            "Viewpoint { fieldOfView 0.5 position 0 1.50 +3 }\n");
    EXPECT_NE(text.find("position 0 1.50 +3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("fieldOfView 0.5\n"), std::string::npos) << text;
    EXPECT_FLOAT_EQ(world.camera.viewAngle, 0.5f);
    EXPECT_EQ(readNormalized("#VRML V2.0 utf8\nWorldInfo {}\n"), "#VRML V2.0 utf8\n");
    EXPECT_EQ(world.viewpointCount, 0);
}

TEST_F(Placement, LightsSoundsAndBackgroundInsideTransformsArePlaced)
{
    readNormalized("#VRML V2.0 utf8\n"
                   "Viewpoint {}\n"
                   "Transform { translation 1 0 0 scale 2 2 2 children [\n"
                   "  PointLight { location 1 1 1 }\n"
                   "  Transform { rotation 0 0 1 1.5707963 children [\n"
                   "    DirectionalLight { direction 1 0 0 }\n"
                   "    SpotLight { location 0 1 0 }\n"
                   "  ] }\n"
                   "] }\n");
    ASSERT_EQ(world.pointLightCount, 1);
    // 1 1 1 scaled by 2 and moved by 1 0 0: 3 2 2, stored z, x, y times 5000.
    EXPECT_TRUE(nearTriple(triple(world.pointLights[0]), {10000, 15000, 10000}));
    ASSERT_EQ(world.directionalLightCount, 1);
    // 1 0 0 turned a quarter about z points along +y; the row is reversed and x 5000.
    EXPECT_NEAR(world.directionalLights[0][1], 0.0f, 0.05f);
    EXPECT_NEAR(world.directionalLights[0][2], -5000.0f, 0.05f);
    ASSERT_EQ(world.spotLightCount, 1);
    // Location 0 1 0 turned to -1 0 0, scaled to -2 0 0, moved to -1 0 0; the default
    // direction 0 0 -1 is unchanged by a turn about z (scaled back to its length).
    EXPECT_NEAR(world.spotLights[0].location[1], -5000.0f, 0.05f);
    EXPECT_NEAR(world.spotLights[0].location[2], 0.0f, 0.05f);
    EXPECT_NEAR(world.spotLights[0].direction[0], -1.0f, 1e-5f);
    // Sounds are placed in file units; the first Background is moved out of its
    // Transform.
    readNormalized("#VRML V2.0 utf8\nViewpoint {}\n"
                   "Transform { translation 0 0 5 children Sound { location 1 0 0 "
                   "source AudioClip { url \"hum.wav\" } } }\n");
    ASSERT_EQ(world.soundCount, 1);
    EXPECT_FLOAT_EQ(world.sounds[0].location[0], 1.0f);
    EXPECT_FLOAT_EQ(world.sounds[0].location[2], 5.0f);
    EXPECT_EQ(world.sounds[0].clipNumber, 1);
    readNormalized("#VRML V2.0 utf8\nViewpoint {}\n"
                   "Transform { children [ Background { skyColor [ 1 0 0, 0 1 0 ] } ] }\n"
                   "Background { skyColor 0 0 1 }\n");
    EXPECT_EQ(background(), (std::array{1, 255, 0, 0}));
}

} // namespace
