// The IndexedFaceSet reader: vertices, polygons and corners, the per-vertex lists,
// names, coord USE, and the empty polygon row after every face set.
#include "tests/world/world_reading.h"

class FaceSetReader : public WorldReading {
protected:
    // One face set at the top level from its body lines.
    void readFaceSet(const std::string& body)
    {
        read("#VRML V2.0 utf8\nIndexedFaceSet {\n" + body + "}\n");
    }

    static inline const std::string kThreePoints =
        "coord Coordinate {\npoint [\n0 0 0, 1 0 0, 0 1 0,\n]\n}\n";
    static inline const std::string kFourPoints =
        "coord Coordinate {\npoint [\n0 0 0,\n1 0 0,\n1 1 0,\n0 1 0,\n]\n}\n";
    static inline const std::string kOneTriangle = "coordIndex [\n0, 1, 2, -1,\n]\n";
};

TEST_F(FaceSetReader, OneOrTwoTrianglesGiveTheirRowsEachFollowedByAnEmptyOne)
{
    read(triangleShape());
    EXPECT_EQ((std::array{static_cast<u32>(world.objectCount), world.vertexCount, world.faceCount,
                          world.faceIndexCount}),
              (std::array<u32, 4>{1, 3, 2, 4}));
    const ObjectRecord& object = world.objects[0];
    EXPECT_EQ(
        (std::array{object.firstVertex, object.firstFace, object.faceCount, object.cornerCount}),
        (std::array<u32, 4>{1, 1, 1, 3}));
    EXPECT_EQ(world.faces[1].vertexCount, 0);
    EXPECT_GE(world.vertexCapacity, world.vertexCount + 1); // the spare row
    // A second face set follows the empty row, its indices offset.
    read(triangleShape() + triangleShape());
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_EQ(world.objects[1].firstFace, 3u);
    EXPECT_EQ(world.objects[1].firstCorner, 5u);
    EXPECT_EQ(world.faces[2].firstIndex, 3u);
    // File index 0 + the first object's 3 vertices, then file index 2 + 3.
    EXPECT_EQ(world.faceIndices[3], 3u);
    EXPECT_EQ(world.faceIndices[5], 5u);
}

TEST_F(FaceSetReader, PointsAreScaledStoredInInternalOrderAndReadOnFromTheirListsLastLine)
{
    read(triangleShape("1 2 3, 0 0 0, 0 0 0,"));
    EXPECT_TRUE(nearTriple({world.vertexZ[0], world.vertexX[0], world.vertexY[0]},
                           {15000, 5000, 10000}, 0));
    EXPECT_FLOAT_EQ(world.objectBounds[0][1], 15000.0f);
    // The coordIndex line after "point [ ... ]" is read as list data first (its six
    // numbers make two more points), then, being the current line, as the index list.
    // The Coordinate's "}" on the first line is never seen, so the face set's own "}"
    // only closes the Coordinate.
    readFaceSet("coord Coordinate { point [ 0 0 0, 1 0 0, 0 1 0 ] }\n"
                "coordIndex [ 0, 1, 2, -1 ]\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.vertexCount, 5u);
    EXPECT_EQ(world.objects[0].faceCount, 1u);
    EXPECT_FLOAT_EQ(fileZ(4), -1.0f);
}

TEST_F(FaceSetReader, IndicesEndAtCommasAndAMinusOneWithoutItsCommaIsDroppedAndCornersPast32767)
{
    // 0, 1, 2, 3 and -1 on one line, each with its comma: one polygon of 4 corners.
    readFaceSet(kFourPoints + "coordIndex [\n0, 1, 2, 3, -1,\n]\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].vertexCount, 4u);
    EXPECT_EQ(world.objects[0].faceCount, 1u);
    EXPECT_EQ(world.faces[0].vertexCount, 4);
    // Without the comma after -1 no polygon is counted, so the object is dropped; its
    // vertices stay and belong to no object.
    readFaceSet(kFourPoints + "coordIndex [\n0, 1, 2, 3, -1\n]\n");
    EXPECT_EQ(world.objectCount, 0);
    EXPECT_EQ(world.vertexCount, 4u);
    readFaceSet(kThreePoints + "coordIndex [\n0 1 2 -1,\n]\n");
    EXPECT_EQ(world.objectCount, 0); // blanks do not separate: "0 1 2 -1" is the one entry 0
    // A list on one line ends at its bracket.
    readFaceSet(kThreePoints + "coordIndex [ 0, 1, 2, -1, 2, 1, 0, -1 ]\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].faceCount, 2u);
    // Corners beyond the 16-bit count are dropped.
    std::string indices;
    for (int n = 0; n < 33000; ++n) indices += "0,\n";
    readFaceSet("coord Coordinate {\npoint [\n0 0 0,\n]\n}\ncoordIndex [\n" + indices + "-1,\n]\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.faces[0].vertexCount, 32767);
    EXPECT_EQ(world.faces[1].firstIndex, 32767u);
    EXPECT_EQ(world.faceIndexCount, 32768u);
}

TEST_F(FaceSetReader, NormalsColoursAndTexCoordsBelongToTheVerticesByPositionWhenTheirListsAreRead)
{
    readFaceSet(kThreePoints + "normal Normal {\nvector [\n1 2 3, 4 5 6, 7 8 9, 9 9 9,\n]\n}\n" +
                "color Color {\ncolor [\n1 0 0, 0 1 0, 0 0 1,\n]\n}\n" +
                "texCoord TextureCoordinate {\npoint [\n-0.5 0.25, 1 1, 0 0,\n]\n}\n" +
                kOneTriangle);
    ASSERT_EQ(world.objectCount, 1);
    const ObjectRecord& object = world.objects[0];
    EXPECT_EQ((std::array{object.hasNormals, object.hasColors, object.hasTexCoords}),
              (std::array<u32, 3>{1, 1, 1}));
    EXPECT_TRUE(nearTriple(triple(world.vertexNormals[0]), {3, 1, 2}, 0)); // z first
    EXPECT_FLOAT_EQ(world.vertexNormals[2][2], 8.0f);
    EXPECT_TRUE(nearTriple(triple(world.vertexNormals[3]), {0, 0, 0}, 0)); // the fourth: ignored
    EXPECT_TRUE(nearTriple(triple(world.vertexColors[2]), {0, 0, 1}, 0));
    EXPECT_FLOAT_EQ(world.vertexTexCoords[0][0], 0.5f); // stored as absolute values
    EXPECT_FLOAT_EQ(world.vertexTexCoords[0][1], 0.25f);
    // NULL normals read no list.
    readFaceSet(kThreePoints + "normal NULL\n" + kOneTriangle);
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].hasNormals, 0u);
    EXPECT_EQ(world.objects[0].colorPerVertex, 0u);
    // A colorPerVertex line is a flag, not a Color field.
    readFaceSet(kThreePoints + "colorPerVertex TRUE\n" + kOneTriangle);
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].colorPerVertex, 1u);
    EXPECT_EQ(world.objects[0].hasColors, 0u);
}

TEST_F(FaceSetReader, CoordUseSharesTheVerticesOfTheLastLiveObjectOfThatName)
{
    read("Shape {\ngeometry IndexedFaceSet {\ncoord DEF\tC1\tCoordinate {\npoint [\n"
         "0 0 0, 1 0 0, 0 1 0,\n]\n}\n" +
         kOneTriangle +
         "}\n}\n"
         "Shape {\ngeometry IndexedFaceSet {\ncoord USE C1\nnormalPerVertex TRUE\n"
         "coordIndex [\n2, 1, 0, -1,\n]\n}\n}\n");
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_STREQ(world.objects[0].coordName, "C1");
    EXPECT_EQ(world.objects[1].firstVertex, 1u);
    EXPECT_EQ(world.objects[1].vertexCount, 3u);
    EXPECT_EQ(world.objects[1].normalPerVertex, 0);
    EXPECT_EQ(world.faceIndices[world.faces[2].firstIndex], 2u);
    EXPECT_EQ(world.vertexCount, 3u);
    // An unknown name keeps the polygons as given, from the object's own (empty) base.
    readFaceSet("coord USE Nowhere\n" + kOneTriangle);
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].vertexCount, 0u);
    EXPECT_EQ(world.faceIndices[2], 2u); // from the object's own (empty) base
    // The second face set names its coordinates B, looks up A, and is dropped (no
    // polygons); its row is taken by a face set naming C. B is gone, A stays.
    const std::string points = "point [\n0 0 0, 1 0 0, 0 1 0,\n]\n}\n";
    readFaceSet("coord DEF A Coordinate {\n" + points + kOneTriangle + "}\n" +
                "IndexedFaceSet {\ncoord DEF B Coordinate {\n" + points + "coord USE A\n" + "}\n" +
                "IndexedFaceSet {\ncoord DEF C Coordinate {\n" + points + kOneTriangle + "}\n" +
                "IndexedFaceSet {\ncoord USE B\n" + kOneTriangle + "}\n" +
                "IndexedFaceSet {\ncoord USE A\n" + kOneTriangle);
    ASSERT_EQ(world.objectCount, 4);
    EXPECT_STREQ(world.objects[1].coordName, "C");
    EXPECT_EQ(world.objects[2].vertexCount, 0u); // B named nothing
    EXPECT_EQ(world.objects[3].firstVertex, 1u); // A is still the first object's
    EXPECT_EQ(world.objects[3].vertexCount, 3u);
}

TEST_F(FaceSetReader, DefNamesFollowTheirOwnRules)
{
    // The face set's DEF with a blank gives the generated name (objectCount already
    // counts it); the Coordinate keeps its name by the white-space rule; a Color DEF
    // line also names the object.
    read("Shape {\ngeometry DEF Mesh IndexedFaceSet {\ncoord DEF Pts Coordinate {\npoint [\n"
         "0 0 0, 1 0 0, 0 1 0,\n]\n}\n" +
         kOneTriangle + "}\n}\n" + "Shape {\ngeometry IndexedFaceSet {\n" + kThreePoints +
         "color DEF Paint Color {\ncolor [\n1 1 1,\n]\n}\n" + kOneTriangle + "}\n}\n");
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_STREQ(world.objects[0].name, "IndexedFace_1");
    EXPECT_STREQ(world.objects[0].coordName, "Pts");
    EXPECT_STREQ(world.objects[1].name, "IndexedFace_2");
    EXPECT_STREQ(world.objects[1].colorName, "Paint");
    EXPECT_STREQ(world.objects[1].coordName, ""); // no DEF, no name
}
