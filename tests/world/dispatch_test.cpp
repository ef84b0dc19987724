// The top-level loop: which readers a line starts, in which order, and the line rules
// that show through whole files (long lines, the last line, comments, viewpoints).
#include "tests/world/world_reading.h"

class Dispatch : public WorldReading {};

TEST_F(Dispatch, AShapeAndItsAppearanceOnOneLineStartBothReaders)
{
    // The Shape reader takes the lines up to its "}"; the Appearance reader, started by
    // the same first line, reads on from there.
    read("Shape { appearance Appearance {\n}\nmaterial Material {\ndiffuseColor 0 1 0\n}\n}\n");
    EXPECT_EQ(world.objectCount, 1);
    ASSERT_EQ(world.materialCount, 1);
    EXPECT_FLOAT_EQ(world.materials[0].diffuseColor[1], 1.0f);
    EXPECT_EQ(world.objects[0].material, -1); // the Shape had ended already
}

TEST_F(Dispatch, OnlyTheFirstViewpointIsReadAndCommentedNodesStartNothing)
{
    read("Viewpoint {\nposition 0 0 10\n}\nViewpoint {\nposition 0 0 99\n}\n");
    EXPECT_EQ(world.viewpointCount, 1);
    EXPECT_FLOAT_EQ(world.camera.eyePoint[0], 50000.0f);
    read("# Shape {\n# Box { size 1 1 1 }\n# IndexedFaceSet {\n# Viewpoint { position 0 0 3 }\n"
         "Viewpoint {\nposition 0 0 1\n}\n");
    EXPECT_EQ(world.objectCount, 0);
    EXPECT_EQ(world.faceCount, 0u);
    EXPECT_FLOAT_EQ(world.camera.eyePoint[0], 5000.0f);
}

// Number scanning sees the line pieces: a number split by the 254-character boundary
// becomes two, the first cut short ("123" ends in a separator, "3", so it reads 12, then
// 45 from the next piece); a last line without its newline loses its last character.
// (Tabs between a single value's numbers are LineRules' business.)
TEST_F(Dispatch, NumbersAreScannedWithinTheLinePiecesTheReaderHandsOut)
{
    const std::string points = "Shape {\ngeometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n";
    const struct {
        std::string text;
        u32 vertices;
        Triple last;
    } cases[] = {
        {points + std::string(251, ' ') + "12345 0\n]\n}\ncoordIndex [\n0, 0, 0, -1,\n]\n}\n}\n",
         1,
         {12, 45, 0}},
        {points + "0 0 0, 0 0 12", 2, {0, 0, 1}}};
    for (const auto& c : cases) {
        read(c.text);
        ASSERT_EQ(world.vertexCount, c.vertices);
        EXPECT_TRUE(nearTriple(filePoint(c.vertices - 1), c.last, 1e-5f));
    }
}

TEST_F(Dispatch, ASecondWorldStartsFromEmptyTables)
{
    read(triangleShape() + "Viewpoint {\nposition 0 0 4\n}\n");
    ASSERT_EQ(world.objectCount, 1);
    read("PointLight {\n}\n");
    EXPECT_EQ(world.objectCount, 0);
    EXPECT_EQ(world.vertexCount, 0u);
    EXPECT_EQ(world.lightCount, 1);
    EXPECT_EQ(world.viewpointCount, 0);
    EXPECT_EQ(world.camera.eyePoint[0], 0.0f);
}

TEST_F(Dispatch, NodesWithoutAReaderStillHaveTheirChildrenFound)
{
    read("Group {\nchildren [\nAnchor {\nchildren [\n" + triangleShape() +
         "]\n}\n]\n}\nROUTE A.x TO B.y\n");
    EXPECT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.transformGroupCount, 0);
}
