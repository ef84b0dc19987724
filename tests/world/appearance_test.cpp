// The Appearance reader: material rows and their names, material USE, textures and the
// row they attach to.
#include "tests/support/picture_writers.h"
#include "tests/world/world_reading.h"

#include <sstream>

using testing_support::writeTempFile;

class AppearanceReader : public WorldReading {
protected:
    // One Shape with the given appearance lines and a triangle.
    static std::string shapeWith(const std::string& appearance)
    {
        return "Shape {\nappearance Appearance {\n" + appearance + "}\n" + triangle() + "}\n";
    }
    // A material row's colours and values on one line, shininess as stored (x 100).
    std::string materialRow(i16 row) const
    {
        const MaterialRecord& m = world.materials[row];
        std::ostringstream out;
        out << "diffuse " << m.diffuseColor[0] << ' ' << m.diffuseColor[1] << ' '
            << m.diffuseColor[2] << ", specular " << m.specularColor[0] << ' ' << m.specularColor[1]
            << ' ' << m.specularColor[2] << ", shininess " << m.shininess << ", transparency "
            << m.transparency << ", opaque " << m.opaque;
        return out.str();
    }
    static inline const std::string kDefaults =
        "diffuse 0.8 0.8 0.8, specular 0 0 0, shininess 20, transparency 0, opaque 1";
};

TEST_F(AppearanceReader, MaterialFieldsFillTheRowOverVrmlDefaultsAndTheShapeTakesIt)
{
    read(shapeWith("material Material {\ndiffuseColor 1 0 0\nshininess 0.2\n}\n") +
         shapeWith("material Material {\nambientIntensity 1\n}\n") +
         shapeWith("material Material {\ntransparency 0\n}\n") +
         shapeWith("material Material {\ntransparency 0.5\n}\n") +
         shapeWith("material Material { diffuseColor 1 0 0 }\n"));
    ASSERT_EQ(world.materialCount, 5);
    EXPECT_EQ(materialRow(0),
              "diffuse 1 0 0, specular 0 0 0, shininess 20, transparency 0, opaque 1");
    EXPECT_EQ(materialRow(1), kDefaults); // for the fields the file leaves out
    EXPECT_EQ(materialRow(2), kDefaults); // transparency 0 leaves opaque at 1
    EXPECT_EQ(materialRow(3),
              "diffuse 0.8 0.8 0.8, specular 0 0 0, shininess 20, transparency 0.5, opaque 0");
    EXPECT_EQ(materialRow(4), kDefaults); // a material on one line reads no field
    for (i16 object = 0; object < 5; ++object) EXPECT_EQ(world.objects[object].material, object);
    EXPECT_STREQ(world.materials[0].name, "mat_1");
    EXPECT_EQ(world.materials[1].hasTexture, 0);
}

TEST_F(AppearanceReader, MaterialUseCopiesTheLastOfItsNameButNotTheOpaqueFlag)
{
    read(shapeWith("material DEF Glass\tMaterial {\ndiffuseColor 0 0 1\n"
                   "specularColor 1 1 1\nshininess 0.5\ntransparency 0.5\n}\n") +
         shapeWith("material USE Glass\n"));
    ASSERT_EQ(world.materialCount, 2);
    EXPECT_STREQ(world.materialNames[0], "Glass");
    EXPECT_EQ(materialRow(0),
              "diffuse 0 0 1, specular 1 1 1, shininess 50, transparency 0.5, opaque 0");
    EXPECT_EQ(materialRow(1),
              "diffuse 0 0 1, specular 1 1 1, shininess 50, transparency 0.5, opaque 1");
    EXPECT_EQ(world.objects[1].material, 1);
    // Of two Materials of one name, USE takes the last.
    read(shapeWith("material DEF Paint\tMaterial {\ndiffuseColor 1 0 0\n}\n") +
         shapeWith("material DEF Paint\tMaterial {\ndiffuseColor 0 1 0\n}\n") +
         shapeWith("material USE Paint\n"));
    ASSERT_EQ(world.materialCount, 3);
    EXPECT_FLOAT_EQ(world.materials[2].diffuseColor[0], 0.0f);
    EXPECT_FLOAT_EQ(world.materials[2].diffuseColor[1], 1.0f);
}

TEST_F(AppearanceReader, AppearanceAndMaterialNamesFollowTheirRules)
{
    // A material line naming its Material with a blank after the name: the Material
    // keeps the name, while the row (no tab on the line) is called "mat_1". A name
    // with neither blank nor tab after it gives the Material "mat_" and the count.
    read(shapeWith("material DEF Red Material {\ndiffuseColor 1 0 0\n}\n") +
         shapeWith("material Material {\n}\n") +
         "Shape {\nappearance DEF Shiny\tAppearance {\nmaterial Material {\n}\n}\n" + triangle() +
         "}\n" + shapeWith("material DEF Chrome\n}\n"));
    ASSERT_EQ(world.materialCount, 4);
    EXPECT_STREQ(world.materialNames[0], "Red");
    EXPECT_STREQ(world.materials[0].name, "mat_1");
    EXPECT_STREQ(world.materials[1].name, "mat_2");
    EXPECT_STREQ(world.materialNames[1], "");
    EXPECT_STREQ(world.materials[2].name, "Shiny");
    EXPECT_STREQ(world.materialNames[3], "mat_3");
    EXPECT_STREQ(world.materials[3].name, "mat_1");
    EXPECT_EQ(world.objects[3].material, 3);
}

TEST_F(AppearanceReader, ATextureUrlNamesAndLoadsThePictureBesideTheWorld)
{
    writeTempFile("textured/brick.tga",
                  encodeTga(2, 2, 1, 24, std::string("\x00\x00\xff\x00\xff\x00", 6)));
    read(shapeWith("material Material {\n}\ntexture ImageTexture {\nurl [ \"brick.tga\" ]\n}\n"),
         "textured/world.wrl");
    ASSERT_EQ(world.textureCount, 1);
    EXPECT_STREQ(world.textures[0].fileName, "brick.tga");
    EXPECT_EQ(world.textures[0].width, 2);
    EXPECT_EQ(world.textures[0].height, 1);
    // hasTexture, texture, textureMode, textureRepeatS and textureRepeatT.
    const MaterialRecord& m = world.materials[0];
    EXPECT_EQ(
        (std::array{m.hasTexture, m.texture, m.textureMode, m.textureRepeatS, m.textureRepeatT}),
        (std::array<i16, 5>{1, 0, 3, 1, 1}));
}

TEST_F(AppearanceReader, ATextureWithoutAMaterialOrUrlGetsARowOfItsOwn)
{
    // The texture must not land on the first Appearance's row, which would retexture
    // the object read before it.
    read(shapeWith("material Material {\n}\n") +
         shapeWith("texture ImageTexture {\nurl \"missing.jpg\"\n}\n"));
    ASSERT_EQ(world.materialCount, 2);
    EXPECT_EQ(world.materials[0].hasTexture, 0);
    EXPECT_EQ(world.materials[1].hasTexture, 1);
    EXPECT_EQ(materialRow(1), kDefaults);
    EXPECT_EQ(world.objects[1].material, 1);
    EXPECT_STREQ(world.textures[0].fileName, "missing.jpg");
    // A texture without a url still takes a row.
    read(shapeWith("material Material {\n}\ntexture ImageTexture {\nrepeatS FALSE\n}\n"));
    EXPECT_EQ(world.textureCount, 1);
    EXPECT_EQ(world.materials[0].hasTexture, 1);
    EXPECT_STREQ(world.textures[0].fileName, "");
}

// The default reading draws a shape whose picture is missing in its material's colour;
// the line reader's own rule (--strict) keeps the grey stand-in multiplied into it.
TEST_F(AppearanceReader, APictureNotLoadedLeavesTheMaterialUntexturedWhereTheReadingSaysSo)
{
    writeTempFile("untextured/there.tga", encodeTga(2, 1, 1, 24, "\x01\x02\x03"));
    const struct {
        bool rule;
        const char* url;
        i16 hasTexture;
    } cases[] = {{true, "missing.jpg", 0}, {true, "there.tga", 1}, {false, "missing.jpg", 1}};
    for (const auto& c : cases) {
        world.untexturedWhenNotLoaded = c.rule;
        read(shapeWith(std::string("material Material {\ndiffuseColor 1 0 0\n}\n"
                                   "texture ImageTexture {\nurl \"") +
                       c.url + "\"\n}\n"),
             "untextured/world.wrl");
        SCOPED_TRACE(c.url);
        EXPECT_EQ(world.materials[0].hasTexture, c.hasTexture) << c.rule;
        EXPECT_EQ(world.textureCount, 1); // the row is taken either way
        EXPECT_EQ(world.objects[0].material, 0);
    }
}

TEST_F(AppearanceReader, AnotherTextureNodeEndsTheAppearanceAtItsBrace)
{
    // Only Material and ImageTexture blocks count braces: the PixelTexture's "}" ends
    // the Appearance, whose own "}" then ends the Shape, before its geometry.
    read("Shape {\nappearance Appearance {\nmaterial Material {\n}\n"
         "texture PixelTexture {\nimage 1 1 1 0xFF\n}\n}\n" +
         triangle() + "}\n");
    EXPECT_EQ(world.materialCount, 1);
    EXPECT_EQ(world.textureCount, 0);
    ASSERT_EQ(world.objectCount, 2); // the face set is found by the top level
    EXPECT_EQ(world.objects[0].material, 0);
    EXPECT_EQ(world.objects[1].material, -1);
}
