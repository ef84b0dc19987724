// The Appearance reader: material rows and their names, material USE, textures and the
// row they attach to.
#include "tests/world/world_reading.h"

using testing_support::writeTempFile;

class AppearanceReader : public WorldReading {
protected:
    // One Shape with the given appearance lines and a triangle.
    static std::string shapeWith(const std::string& appearance)
    {
        return "Shape {\nappearance Appearance {\n" + appearance + "}\n" + triangle() + "}\n";
    }
};

TEST_F(AppearanceReader, MaterialFieldsFillTheRowAndTheShapeTakesIt)
{
    read(shapeWith("material Material {\ndiffuseColor 1 0 0\nshininess 0.2\n}\n"));
    ASSERT_EQ(world.materialCount, 1);
    const MaterialRecord& material = world.materials[0];
    EXPECT_FLOAT_EQ(material.diffuseColor[0], 1.0f);
    EXPECT_FLOAT_EQ(material.diffuseColor[1], 0.0f);
    EXPECT_FLOAT_EQ(material.shininess, 20.0f);
    EXPECT_EQ(world.objects[0].material, 0);
    EXPECT_STREQ(material.name, "mat_1");
}

TEST_F(AppearanceReader, FieldsTheFileLeavesOutTakeVrmlDefaults)
{
    read(shapeWith("material Material {\nambientIntensity 1\n}\n"));
    const MaterialRecord& material = world.materials[0];
    EXPECT_FLOAT_EQ(material.diffuseColor[2], 0.8f);
    EXPECT_FLOAT_EQ(material.specularColor[0], 0.0f);
    EXPECT_FLOAT_EQ(material.shininess, 20.0f);
    EXPECT_FLOAT_EQ(material.transparency, 0.0f);
    EXPECT_EQ(material.opaque, 1);
    EXPECT_EQ(material.hasTexture, 0);
}

TEST_F(AppearanceReader, OnlyANonZeroTransparencyClearsOpaque)
{
    read(shapeWith("material Material {\ntransparency 0\n}\n") +
         shapeWith("material Material {\ntransparency 0.5\n}\n"));
    ASSERT_EQ(world.materialCount, 2);
    EXPECT_EQ(world.materials[0].opaque, 1);
    EXPECT_EQ(world.materials[1].opaque, 0);
    EXPECT_FLOAT_EQ(world.materials[1].transparency, 0.5f);
}

TEST_F(AppearanceReader, AOneLineMaterialKeepsItsDefaults)
{
    read(shapeWith("material Material { diffuseColor 1 0 0 }\n"));
    ASSERT_EQ(world.materialCount, 1);
    EXPECT_FLOAT_EQ(world.materials[0].diffuseColor[0], 0.8f);
    EXPECT_EQ(world.objects[0].material, 0);
}

TEST_F(AppearanceReader, MaterialUseCopiesColoursButNotTheOpaqueFlag)
{
    read(shapeWith("material DEF Glass\tMaterial {\ndiffuseColor 0 0 1\n"
                   "specularColor 1 1 1\nshininess 0.5\ntransparency 0.5\n}\n") +
         shapeWith("material USE Glass\n"));
    ASSERT_EQ(world.materialCount, 2);
    EXPECT_STREQ(world.materialNames[0], "Glass");
    const MaterialRecord& copy = world.materials[1];
    EXPECT_FLOAT_EQ(copy.diffuseColor[2], 1.0f);
    EXPECT_FLOAT_EQ(copy.specularColor[1], 1.0f);
    EXPECT_FLOAT_EQ(copy.shininess, 50.0f);
    EXPECT_FLOAT_EQ(copy.transparency, 0.5f);
    EXPECT_EQ(copy.opaque, 1);
    EXPECT_EQ(world.objects[1].material, 1);
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
    // A 2 x 1 uncompressed 24-bit TGA beside the world file.
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = 2;
    tga[14] = 1;
    tga[16] = 24;
    tga += std::string("\x00\x00\xff\x00\xff\x00", 6);
    writeTempFile("textured/brick.tga", tga);
    read(shapeWith("material Material {\n}\ntexture ImageTexture {\nurl [ \"brick.tga\" ]\n}\n"),
         "textured/world.wrl");
    ASSERT_EQ(world.textureCount, 1);
    EXPECT_STREQ(world.textures[0].fileName, "brick.tga");
    EXPECT_EQ(world.textures[0].width, 2);
    EXPECT_EQ(world.textures[0].height, 1);
    const MaterialRecord& material = world.materials[0];
    EXPECT_EQ(material.hasTexture, 1);
    EXPECT_EQ(material.texture, 0);
    EXPECT_EQ(material.textureMode, 3);
    EXPECT_EQ(material.textureRepeatS, 1);
    EXPECT_EQ(material.textureRepeatT, 1);
}

TEST_F(AppearanceReader, ATextureWithoutAMaterialGetsARowOfItsOwn)
{
    // The texture must not land on the first Appearance's row, which would retexture
    // the object read before it.
    read(shapeWith("material Material {\n}\n") +
         shapeWith("texture ImageTexture {\nurl \"missing.jpg\"\n}\n"));
    ASSERT_EQ(world.materialCount, 2);
    EXPECT_EQ(world.materials[0].hasTexture, 0);
    EXPECT_EQ(world.materials[1].hasTexture, 1);
    EXPECT_FLOAT_EQ(world.materials[1].diffuseColor[0], 0.8f);
    EXPECT_EQ(world.objects[1].material, 1);
    EXPECT_STREQ(world.textures[0].fileName, "missing.jpg");
}

TEST_F(AppearanceReader, ATextureWithoutAUrlStillTakesARow)
{
    read(shapeWith("material Material {\n}\ntexture ImageTexture {\nrepeatS FALSE\n}\n"));
    EXPECT_EQ(world.textureCount, 1);
    EXPECT_EQ(world.materials[0].hasTexture, 1);
    EXPECT_STREQ(world.textures[0].fileName, "");
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

TEST_F(AppearanceReader, MaterialUseTakesTheLastMaterialOfThatName)
{
    read(shapeWith("material DEF Paint\tMaterial {\ndiffuseColor 1 0 0\n}\n") +
         shapeWith("material DEF Paint\tMaterial {\ndiffuseColor 0 1 0\n}\n") +
         shapeWith("material USE Paint\n"));
    ASSERT_EQ(world.materialCount, 3);
    EXPECT_FLOAT_EQ(world.materials[2].diffuseColor[0], 0.0f);
    EXPECT_FLOAT_EQ(world.materials[2].diffuseColor[1], 1.0f);
}
