// Transform and Shape: groups, the closing step that moves the vertices, nesting, and
// the material a Shape gives its object.
#include "tests/world/world_reading.h"

#include <cmath>

class TransformReader : public WorldReading {
protected:
    // A Transform with the given field lines around one triangle Shape.
    void readTransformOf(const std::string& fields, const std::string& points)
    {
        read("Transform {\n" + fields + "children [\nShape {\n" + triangle(points) + "}\n]\n}\n");
    }
};

TEST_F(TransformReader, NestedTranslationsAccumulateAndTheInnerGroupComesFirst)
{
    read("Transform {\n"
         "translation 1 0 0\n"
         "children [\n"
         "Transform {\n"
         "translation 0 2 0\n"
         "children [\n"
         "Shape {\n" +
         triangle() +
         "}\n"
         "]\n"
         "}\n"
         "]\n"
         "}\n");
    ASSERT_EQ(world.vertexCount, 3u);
    EXPECT_FLOAT_EQ(world.vertexX[1], 10000.0f); // file x 1 + 1
    EXPECT_FLOAT_EQ(world.vertexY[1], 10000.0f); // file y 0 + 2
    ASSERT_EQ(world.transformGroupCount, 2);
    EXPECT_EQ(world.transformGroups[0].objectCount, 1);
    EXPECT_EQ(world.transformGroups[1].firstEntry, 1);
    EXPECT_EQ(world.groupObjects[0], 0);
    EXPECT_EQ(world.groupObjects[1], 0);
    EXPECT_FLOAT_EQ(world.objectBounds[0][3], 10000.0f); // bounds follow the move
}

TEST_F(TransformReader, ACentreWithoutRotationOrScaleChangesNothing)
{
    readTransformOf("center 1 1 1\ntranslation 2 0 0\n", "0 0 0, 1 0 0, 0 1 0,");
    EXPECT_FLOAT_EQ(fileX(0), 2.0f);
    EXPECT_FLOAT_EQ(fileY(0), 0.0f);
    EXPECT_FLOAT_EQ(fileZ(0), 0.0f);
}

TEST_F(TransformReader, RotationTurnsAboutTheCentreThenTranslates)
{
    // A quarter turn about y through (1, 0, 0), then up by 5: VRML's
    // T + C + R (v - C) takes (2, 0, 0) to (1, 5, -1).
    readTransformOf("translation 0 5 0\ncenter 1 0 0\nrotation 0 1 0 1.5707963\n",
                    "2 0 0, 1 0 0, 0 1 0,");
    EXPECT_NEAR(fileX(0), 1.0f, 1e-5f);
    EXPECT_NEAR(fileY(0), 5.0f, 1e-5f);
    EXPECT_NEAR(fileZ(0), -1.0f, 1e-5f);
    EXPECT_NEAR(fileX(1), 1.0f, 1e-5f); // the centre itself only translates
}

TEST_F(TransformReader, ScaleComesBeforeRotationAndAZeroFactorMeansOne)
{
    // Scale x by 2 (y's 0 read as 1), then a quarter turn about z: (1, 1, 0) goes to
    // (2, 1, 0), then to (-1, 2, 0).
    readTransformOf("rotation 0 0 1 1.5707963\nscale 2 0 1\n", "1 1 0, 0 0 0, 0 0 1,");
    EXPECT_NEAR(fileX(0), -1.0f, 1e-5f);
    EXPECT_NEAR(fileY(0), 2.0f, 1e-5f);
    EXPECT_NEAR(fileZ(0), 0.0f, 1e-5f);
}

TEST_F(TransformReader, ScaleOrientationTurnsTheScaleAxes)
{
    // Scale 2 along the axes turned 90 degrees about z: the file's y is stretched.
    readTransformOf("scale 2 1 1\nscaleOrientation 0 0 1 1.5707963\n", "1 1 0, 0 0 0, 0 0 1,");
    EXPECT_NEAR(fileX(0), 1.0f, 1e-5f);
    EXPECT_NEAR(fileY(0), 2.0f, 1e-5f);
}

TEST_F(TransformReader, AScaleOrientationLineDoesNotSetTheScale)
{
    // Its axis after "scale" must not be read as factors: that would shrink the object.
    readTransformOf("scaleOrientation 0.5 0.5 0.7 1\n", "1 2 3, 0 0 0, 0 1 0,");
    EXPECT_FLOAT_EQ(fileX(0), 1.0f);
    EXPECT_FLOAT_EQ(fileY(0), 2.0f);
    EXPECT_FLOAT_EQ(fileZ(0), 3.0f);
}

TEST_F(TransformReader, ATranslationOnTheClosingBraceLineIsNotRead)
{
    read("Transform {\nchildren [\nShape {\n" + triangle() + "}\n]\ntranslation 9 9 9 }\n");
    EXPECT_FLOAT_EQ(fileX(1), 1.0f);
}

TEST_F(TransformReader, ANodeWithoutAReaderEndsTheTransformAtItsOwnBrace)
{
    read("Transform {\n"
         "children [\n"
         "Anchor {\n"
         "url \"x.wrl\"\n"
         "}\n"
         "Shape {\n" +
         triangle() + "}\n]\ntranslation 5 0 0\n}\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.transformGroupCount, 0); // the Transform closed before its Shape
    EXPECT_FLOAT_EQ(fileX(0), 0.0f);
}

TEST_F(TransformReader, AGroupInsideKeepsTheTransformOpen)
{
    read("Transform {\ntranslation 3 0 0\nchildren [\nGroup {\nchildren [\nShape {\n" + triangle() +
         "}\n]\n}\n]\n}\n");
    EXPECT_FLOAT_EQ(fileX(0), 3.0f);
    EXPECT_EQ(world.transformGroupCount, 1);
}

TEST_F(TransformReader, ATransformLineStartingWithAHashIsSkipped)
{
    read("# Transform {\ntranslation 4 0 0\nShape {\n" + triangle() + "}\n");
    EXPECT_EQ(world.transformGroupCount, 0);
    EXPECT_FLOAT_EQ(fileX(0), 0.0f);
}

TEST_F(TransformReader, SharedCoordinatesMoveOnce)
{
    read("Transform {\ntranslation 1 0 0\nchildren [\n"
         "Shape {\ngeometry IndexedFaceSet {\ncoord DEF C Coordinate {\npoint [\n"
         "0 0 0, 1 0 0, 0 1 0,\n]\n}\ncoordIndex [\n0, 1, 2, -1,\n]\n}\n}\n"
         "Shape {\ngeometry IndexedFaceSet {\ncoord USE C\ncoordIndex [\n2, 1, 0, -1,\n]\n}\n}\n"
         "]\n}\n");
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_FLOAT_EQ(fileX(0), 1.0f);
}

TEST_F(TransformReader, NestingBeyondTheDepthLimitReadsOnWithoutCrashing)
{
    std::string text;
    for (int n = 0; n < 5000; ++n) text += "Transform {\ntranslation 0 0 1\nchildren [\n";
    text += "Shape {\n" + triangle() + "}\n";
    for (int n = 0; n < 5000; ++n) text += "]\n}\n";
    read(text);
    EXPECT_EQ(world.objectCount, 1);
    EXPECT_GT(world.transformGroupCount, 0);
}

class ShapeReader : public WorldReading {};

TEST_F(ShapeReader, AppearanceUseFindsTheMaterialNamedByATabbedDef)
{
    read("Shape {\nappearance DEF Red\tAppearance {\nmaterial Material {\n"
         "diffuseColor 1 0 0\n}\n}\n" +
         triangle() + "}\nShape {\nappearance USE Red\n" + triangle() + "}\n");
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_EQ(world.materialCount, 1);
    EXPECT_EQ(world.objects[0].material, 0);
    EXPECT_EQ(world.objects[1].material, 0);
}

TEST_F(ShapeReader, EveryShapeStartsAnObjectEvenWithAPrimitive)
{
    read("Shape {\ngeometry Box { size 1 1 1 }\nappearance Appearance {\n"
         "material Material {\n}\n}\n}\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].vertexCount, 0u);
    EXPECT_EQ(world.objects[0].material, 0);
}

TEST_F(ShapeReader, ADroppedFaceSetDoesNotPassItsMaterialToAnEarlierObject)
{
    // The second Shape's face set has no polygons and is dropped; its appearance
    // comes after, and must not recolour the first object.
    read("Shape {\n" + triangle() +
         "}\nShape {\ngeometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n0 0 0,\n]\n}\n}\n"
         "appearance Appearance {\nmaterial Material {\n}\n}\n}\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.materialCount, 1);
    EXPECT_EQ(world.objects[0].material, -1);
}

TEST_F(ShapeReader, AtTheEndOfTheTextTheLastLineIsExaminedOnceMore)
{
    // The geometry line's face set reads to the end; the Shape examines that line again
    // and starts the face set reader once more, which appends one more empty row.
    read("Shape {\ngeometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n"
         "0 0 0, 1 0 0, 0 1 0,\n]\n}\ncoordIndex [\n0, 1, 2, -1,\n]\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].faceCount, 1u);
    EXPECT_EQ(world.faceCount, 3u);
}
