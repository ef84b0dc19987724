// Transform and Shape: groups, the closing step that moves the vertices, nesting, and
// the material a Shape gives its object.
#include "tests/world/world_reading.h"

class TransformReader : public WorldReading {
protected:
    // A Transform with the given field lines around one triangle Shape.
    void readTransformOf(const std::string& fields, const std::string& points)
    {
        read("Transform {\n" + fields + "children [\n" + triangleShape(points) + "]\n}\n");
    }
};

TEST_F(TransformReader, NestedTranslationsAccumulateTheInnerGroupFirstAndReadOnBeyondTheDepthLimit)
{
    read("Transform {\ntranslation 1 0 0\nchildren [\n"
         "Transform {\ntranslation 0 2 0\nchildren [\n" +
         triangleShape() + "]\n}\n]\n}\n");
    ASSERT_EQ(world.vertexCount, 3u);
    EXPECT_FLOAT_EQ(world.vertexX[1], 10000.0f); // file x 1 + 1
    EXPECT_FLOAT_EQ(world.vertexY[1], 10000.0f); // file y 0 + 2
    ASSERT_EQ(world.transformGroupCount, 2);
    EXPECT_EQ(world.transformGroups[0].objectCount, 1);
    EXPECT_EQ(world.transformGroups[1].firstEntry, 1);
    EXPECT_EQ(world.groupObjects[0], 0);
    EXPECT_EQ(world.groupObjects[1], 0);
    EXPECT_FLOAT_EQ(world.objectBounds[0][3], 10000.0f); // bounds follow the move
    // Nesting beyond the depth limit reads on.
    std::string text;
    for (int n = 0; n < 5000; ++n) text += "Transform {\ntranslation 0 0 1\nchildren [\n";
    text += triangleShape();
    for (int n = 0; n < 5000; ++n) text += "]\n}\n";
    read(text);
    EXPECT_EQ(world.objectCount, 1);
    EXPECT_GT(world.transformGroupCount, 0);
}

TEST_F(TransformReader, RotationScaleAndCentreFollowVrmlsOrder)
{
    // Each vertex v becomes T + C + R SR S SR^-1 (v - C), a zero scale factor read as 1.
    struct Case {
        const char* what;
        const char* fields;
        const char* points;
        Triple first; // where the first point ends up, file order
    };
    const Case cases[] = {
        {"a centre without rotation or scale changes nothing",
         "center 1 1 1\ntranslation 2 0 0\n",
         "0 0 0, 1 0 0, 0 1 0,",
         {2, 0, 0}},
        {"scale x by 2 (y's 0 read as 1) before a quarter turn about z",
         "rotation 0 0 1 1.5707963\nscale 2 0 1\n",
         "1 1 0, 0 0 0, 0 0 1,",
         {-1, 2, 0}},
        {"scaleOrientation turns the scale axes: the file's y is stretched",
         "scale 2 1 1\nscaleOrientation 0 0 1 1.5707963\n",
         "1 1 0, 0 0 0, 0 0 1,",
         {1, 2, 0}},
        {"a scaleOrientation line does not set the scale (its axis would shrink the object)",
         "scaleOrientation 0.5 0.5 0.7 1\n",
         "1 2 3, 0 0 0, 0 1 0,",
         {1, 2, 3}},
        {"a quarter turn about y through (1, 0, 0), then up by 5",
         "translation 0 5 0\ncenter 1 0 0\nrotation 0 1 0 1.5707963\n",
         "2 0 0, 1 0 0, 0 1 0,",
         {1, 5, -1}},
    };
    for (const Case& c : cases) {
        readTransformOf(c.fields, c.points);
        EXPECT_TRUE(nearTriple(filePoint(0), c.first, 1e-5f)) << c.what;
    }
    EXPECT_TRUE(nearTriple(filePoint(1), {1, 5, 0}, 1e-5f)); // the last row's centre only moves up
}

TEST_F(TransformReader, WhereTheTransformEndsDecidesWhatItMoves)
{
    struct Case {
        const char* what;
        std::string text;
        i16 objects, groups;
        f32 x; // file x of the first vertex, 0 before any move
    };
    const Case cases[] = {
        {"a translation on the closing brace's line is not read",
         "Transform {\nchildren [\n" + triangleShape() + "]\ntranslation 9 9 9 }\n", 1, 1, 0},
        {"a node without a reader ends the Transform at its own brace, before the Shape",
         "Transform {\nchildren [\nAnchor {\nurl \"x.wrl\"\n}\n" + triangleShape() +
             "]\ntranslation 5 0 0\n}\n",
         1, 0, 0},
        {"a Group inside keeps the Transform open",
         "Transform {\ntranslation 3 0 0\nchildren [\nGroup {\nchildren [\n" + triangleShape() +
             "]\n}\n]\n}\n",
         1, 1, 3},
        {"a Transform line starting with a hash is skipped",
         "# Transform {\ntranslation 4 0 0\n" + triangleShape(), 1, 0, 0},
        {"coordinates shared by coord USE move once",
         "Transform {\ntranslation 1 0 0\nchildren [\n"
         "Shape {\ngeometry IndexedFaceSet {\ncoord DEF C Coordinate {\npoint [\n"
         "0 0 0, 1 0 0, 0 1 0,\n]\n}\ncoordIndex [\n0, 1, 2, -1,\n]\n}\n}\n"
         "Shape {\ngeometry IndexedFaceSet {\ncoord USE C\ncoordIndex [\n2, 1, 0, -1,\n]\n}\n}\n"
         "]\n}\n",
         2, 1, 1},
    };
    for (const Case& c : cases) {
        read(c.text);
        EXPECT_EQ(world.objectCount, c.objects) << c.what;
        EXPECT_EQ(world.transformGroupCount, c.groups) << c.what;
        EXPECT_FLOAT_EQ(fileX(0), c.x) << c.what;
    }
}

class ShapeReader : public WorldReading {};

TEST_F(ShapeReader, TheShapesMaterialGoesToItsOwnObjectOnly)
{
    read("Shape {\nappearance DEF Red\tAppearance {\nmaterial Material {\n"
         "diffuseColor 1 0 0\n}\n}\n" +
         triangle() + "}\nShape {\nappearance USE Red\n" + triangle() + "}\n");
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_EQ(world.materialCount, 1);
    EXPECT_EQ(world.objects[0].material, 0);
    EXPECT_EQ(world.objects[1].material, 0);
    // Every Shape starts an object, even with a primitive.
    read("Shape {\ngeometry Box { size 1 1 1 }\nappearance Appearance {\n"
         "material Material {\n}\n}\n}\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].vertexCount, 0u);
    EXPECT_EQ(world.objects[0].material, 0);
    // The second Shape's face set has no polygons and is dropped; its appearance
    // comes after, and must not recolour the first object.
    read(triangleShape() +
         "Shape {\ngeometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n0 0 0,\n]\n}\n}\n"
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
