// The canonical layout, rule by rule, against the line reader: each rule exists because
// of something a node reader does, and each test fails if the writer breaks it.
#include "tests/normalize/normalize_testing.h"

#include <sstream>

namespace {

class CanonicalLayout : public Normalizing {
protected:
    // The reader cuts longer lines into pieces and splits numbers at the cuts.
    static void expectEveryLineFitsTheReader(const std::string& text)
    {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) EXPECT_LT(line.size(), 254u) << line;
    }
};

// A face set's geometry field written loosely on one line.
std::string looseGeometry(const std::string& name = "",
                          const std::string& points = "0 0 0 1 0 0 0 1 0",
                          const std::string& index = "0 1 2 -1")
{
    return "geometry " + (name.empty() ? "" : "DEF " + name + " ") +
           "IndexedFaceSet { coord Coordinate { point [ " + points + " ] } coordIndex [ " + index +
           " ] }";
}

// A Shape on one line: the appearance field's value, if any, then the geometry.
std::string shapeOf(const std::string& appearance, const std::string& geometry = looseGeometry())
{
    return "Shape { " + (appearance.empty() ? "" : "appearance " + appearance + " ") + geometry +
           " }\n";
}

// An Appearance with a Material of the given diffuse colour, or with an ImageTexture.
std::string painted(const std::string& color)
{
    return "Appearance { material Material { diffuseColor " + color + " } }";
}
std::string textured(const std::string& url)
{
    return "Appearance { texture ImageTexture { url " + url + " } }";
}

TEST_F(CanonicalLayout, DefNamesAreWrittenWithATabAndNamesTheReaderWouldMisreadAreLeftOut)
{
    // Written with blanks, these names would all become generated ones.
    readNormalized(kHeader + "Shape { appearance DEF Paint Appearance { material Material {} }\n"
                             "  geometry DEF Part7 IndexedFaceSet { coord DEF Pts Coordinate {\n"
                             "    point [ 0 0 0 1 0 0 0 1 0 ] } coordIndex [ 0 1 2 -1 ] } }\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_STREQ(world.objects[0].name, "Part7");
    EXPECT_STREQ(world.objects[0].coordName, "Pts");
    ASSERT_EQ(world.materialCount, 1);
    EXPECT_STREQ(world.materials[0].name, "Paint");
    // "BoxGroup" inside a Transform would raise the reader's group depth and keep the
    // Transform open; "colorPlate" would start a colour list on the face set's line.
    readNormalized(kHeader + "Transform { translation 1 0 0 children [\n  DEF BoxGroup Group { " +
                   "children [ " + shapeOf("", looseGeometry("colorPlate")) + " ] } ] }\n" +
                   shapeOf("", looseGeometry("Second", "5 5 5 6 5 5 5 6 5")));
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_STREQ(world.objects[0].name, "");
    EXPECT_EQ(world.objects[0].hasColors, 0u);
    EXPECT_STREQ(world.objects[1].name, "Second");
    EXPECT_FLOAT_EQ(fileX(0), 1.0f); // inside the Transform
    EXPECT_FLOAT_EQ(fileX(3), 5.0f); // the Transform ended before the second Shape
    // A Color node's name does not rename the object.
    readNormalized(kHeader + "Shape { geometry DEF Body IndexedFaceSet {\n"
                             "  coord Coordinate { point [ 0 0 0 1 0 0 0 1 0 ] }\n"
                             "  color DEF Tint Color { color [ 1 0 0 0 1 0 0 0 1 ] }\n"
                             "  coordIndex [ 0 1 2 -1 ] } }\n");
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_STREQ(world.objects[0].name, "Body");
    EXPECT_EQ(world.objects[0].hasColors, 1u);
    EXPECT_FLOAT_EQ(world.vertexColors[2][2], 1.0f);
}

TEST_F(CanonicalLayout, TransformFieldsWrittenWithTabsOrScaleOrientationReadWhole)
{
    // The reader splits a single value at blanks only.
    readNormalized(kHeader + "Transform {\n\ttranslation\t1\t2\t3\n\tchildren [ " + shapeOf("") +
                   " ] }\n");
    ASSERT_EQ(world.vertexCount, 3u);
    EXPECT_TRUE(nearTriple(filePoint(0), {1, 2, 3}, 1e-6f));
    // The reader's "scale" test also fires on the scaleOrientation line; the real scale
    // must be the last such line the Transform reader sees.
    const std::string scaled = kHeader +
                               "Transform { scale 2 1 1 scaleOrientation 0 0 1 0.7853982 "
                               "children [ " +
                               shapeOf("") + " ] }\n";
    const std::string text = readNormalized(scaled);
    EXPECT_LT(text.find("scaleOrientation"), text.find("scale 2 1 1")) << text;
    expectSameTables(scaled, kHeader + transform("scaleOrientation 0 0 1 0.7853982\nscale 2 1 1\n",
                                                 canonicalTriangle()));
}

TEST_F(CanonicalLayout, FaceListsAreReadWholeUnlessTheReaderCannotDrawAFace)
{
    // 300 points and 100 triangles on two lines of several kilobytes.
    std::ostringstream points, index;
    for (int i = 0; i < 300; ++i) points << (i * 0.001) << ' ' << 1.0 + i << ' ' << -i << ' ';
    for (int i = 0; i < 100; ++i) index << 3 * i << ' ' << 3 * i + 1 << ' ' << 3 * i + 2 << " -1 ";
    readNormalized(kHeader + shapeOf("", looseGeometry("", points.str(), index.str())));
    ASSERT_EQ(world.vertexCount, 300u);
    EXPECT_FLOAT_EQ(fileY(299), 300.0f);
    EXPECT_FLOAT_EQ(fileZ(299), -299.0f);
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].faceCount, 100u);
    // A face longer than a line is broken at commas and stays one face.
    std::ostringstream ring, face;
    for (int i = 0; i < 150; ++i) {
        ring << i << " 0 " << i % 7 << ", ";
        face << i << ", ";
    }
    face << "-1";
    expectEveryLineFitsTheReader(
        readNormalized(kHeader + shapeOf("", looseGeometry("", ring.str(), face.str()))));
    ASSERT_EQ(world.objectCount, 1);
    ASSERT_EQ(world.objects[0].faceCount, 1u);
    EXPECT_EQ(world.faces[0].vertexCount, 150);
    EXPECT_EQ(world.faceIndices[149], 149u);
    // The last face without its -1 is kept.
    readNormalized(kHeader +
                   shapeOf("", looseGeometry("", "0 0 0 1 0 0 1 1 0 0 1 0", "0 1 2 -1 0 2 3")));
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].faceCount, 2u);
    // Two corners, and an index past the points: left out with a warning.
    const NormalizeResult result =
        normalize(kHeader + shapeOf("", looseGeometry("", "0 0 0 1 0 0 0 1 0",
                                                      "0 1 2 -1 0 1 -1 0 1 99 -1 2 1 0")));
    ASSERT_TRUE(readResult(result));
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_EQ(world.objects[0].faceCount, 2u);
    expectMessage(result, "2 faces");
    // A face set with no face left is no object at all.
    readNormalized(kHeader + shapeOf("", looseGeometry("", "0 0 0 1 0 0", "0 1 5 -1")));
    EXPECT_EQ(world.objectCount, 0);
}

TEST_F(CanonicalLayout, SkyColourAndBackgroundUrlAreWrittenOnOneLine)
{
    readNormalized(kHeader + "Background {\n  skyColor [\n    0.2 0.4 1,\n    0 0 0\n  ]\n"
                             "  skyAngle [ 1.5 ] groundColor [ 1 1 1 ] }\n");
    EXPECT_EQ(background(), (std::array{1, 51, 102, 255}));
    // Of the six pictures, the front one is shown.
    readNormalized(kHeader + "Background { backUrl \"back.jpg\" frontUrl [ \"front.jpg\" ] "
                             "topUrl \"top.jpg\" }\n");
    EXPECT_EQ(world.backgroundMode, 3);
    EXPECT_STREQ(world.backgroundUrl, "front.jpg");
}

TEST_F(CanonicalLayout, TextureUrlIsTheFirstLocalOneNamedFromTheWorldsFolder)
{
    readNormalized(kHeader + shapeOf(textured(
                                 "[ \"http://example.com/a.jpg\" \"tex/b.jpg\" ] repeatS FALSE")));
    ASSERT_EQ(world.textureCount, 1);
    EXPECT_STREQ(world.textures[0].fileName, "tex/b.jpg");
    // A texture of an inlined file is named from the world's folder.
    testing_support::writeTempFile("parts/leg.wrl",
                                   "#VRML V2.0 utf8\n" + shapeOf(textured("\"../skin/leg.jpg\"")));
    readNormalized(kHeader + "Inline { url \"parts/leg.wrl\" }\n");
    ASSERT_EQ(world.textureCount, 1);
    EXPECT_STREQ(world.textures[0].fileName, "skin/leg.jpg");
}

TEST_F(CanonicalLayout, EachAppearanceIsOneMaterialRowOfItsOwnSharedByItsUsers)
{
    // Without a material row of its own, the reader would give this Shape the previous
    // Shape's material and hang the texture on it.
    readNormalized(kHeader + shapeOf(painted("1 0 0")) + shapeOf(textured("\"wood.jpg\"")));
    ASSERT_EQ(world.objectCount, 2);
    ASSERT_EQ(world.materialCount, 2);
    EXPECT_EQ(world.objects[1].material, 1);
    EXPECT_EQ(world.materials[0].hasTexture, 0);
    EXPECT_EQ(world.materials[1].hasTexture, 1);
    EXPECT_FLOAT_EQ(world.materials[1].diffuseColor[0], 1.0f); // VRML's white without a Material
    readNormalized(kHeader + shapeOf("DEF Shared " + painted("0 1 0")) + shapeOf("USE Shared") +
                   "Transform { children " + shapeOf("USE Shared") + "}\n");
    ASSERT_EQ(world.objectCount, 3);
    EXPECT_EQ(world.materialCount, 1);
    for (i16 object = 0; object < 3; ++object) EXPECT_EQ(world.objects[object].material, 0);
    // A later DEF of the same name does not take the first one's row away from its users.
    readNormalized(kHeader + "DEF First " + shapeOf("DEF Look " + painted("1 0 0")) +
                   shapeOf("DEF Look " + painted("0 0 1")) + "USE First\n");
    ASSERT_EQ(world.objectCount, 3);
    const i16 third = world.objects[2].material;
    ASSERT_GE(third, 0);
    EXPECT_FLOAT_EQ(world.materials[third].diffuseColor[0], 1.0f);
    EXPECT_FLOAT_EQ(world.materials[third].diffuseColor[2], 0.0f);
}

TEST_F(CanonicalLayout, SoundClipsKeepTheirFieldsAndAreFoundByName)
{
    // Words of a file name do not set the clip's fields.
    readNormalized(kHeader + "Sound { source AudioClip { url \"loop_pitch.wav\" } }\n");
    ASSERT_EQ(world.audioClipCount, 1);
    EXPECT_STREQ(world.audioClips[0].url, "loop_pitch.wav");
    EXPECT_FLOAT_EQ(world.audioClips[0].pitch, 1.0f);
    EXPECT_EQ(world.audioClips[0].loop, 0u);
    // The second file name holds "DEF", which the clip reader takes as a new name.
    for (const char* file : {"door.wav", "DEFAULT.wav"}) {
        readNormalized(kHeader + "Sound { source DEF Door AudioClip { url \"" + file +
                       "\" loop TRUE } }\n"
                       "Sound { location 1 0 0 source USE Door }\n");
        ASSERT_EQ(world.soundCount, 2);
        EXPECT_EQ(world.audioClipCount, 1);
        EXPECT_STREQ(world.audioClips[0].url, file);
        EXPECT_EQ(world.sounds[0].clipNumber, 1) << file;
        EXPECT_EQ(world.sounds[1].clipNumber, 1) << file;
    }
}

TEST_F(CanonicalLayout, NumbersKeepTheirSourceText)
{
    const NormalizeResult result =
        normalize(kHeader + shapeOf("", looseGeometry("", "1.50000 +2 3e0, 0 0 0, 1.2.3 0 0",
                                                      "0x0 1 0X2 -1")));
    EXPECT_NE(result.text.find("1.50000 +2 3e0,\n"), std::string::npos) << result.text;
    // Forms the reader would misread are written from their value.
    EXPECT_NE(result.text.find("0, 1, 2, -1,"), std::string::npos) << result.text;
    EXPECT_NE(result.text.find("1.2 0 0,"), std::string::npos) << result.text;
    expectMessage(result, "malformed number '1.2.3'");
}

TEST_F(CanonicalLayout, EveryLineFitsTheReaderAndTheTextEndsWithANewline)
{
    const std::string longNumber = "1." + std::string(80, '0') + "1";
    std::string nested =
        shapeOf("", looseGeometry(std::string(120, 'n'), longNumber + " 0 0 0 1 0 0 0 1"));
    for (int level = 0; level < 60; ++level)
        nested = "Transform { translation 0 0 1 children [ " + nested + " ] }";
    const std::string text = readNormalized(
        kHeader + nested + "\nShape { appearance Appearance { texture ImageTexture { url \"" +
        std::string(300, 'u') + ".jpg\" } } geometry Box {} }\n");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    expectEveryLineFitsTheReader(text);
    ASSERT_EQ(world.objectCount, 2);
    EXPECT_FLOAT_EQ(fileX(0), 1.0f);
    EXPECT_FLOAT_EQ(fileZ(0), 60.0f);
}

} // namespace

// The pass counts the geometry it writes, and the reader given those counts reserves the
// tables at once: every row it makes fits the room, so no table grew while reading.
TEST_F(CanonicalLayout, CountedGeometryGivesTheTablesRoomForEveryRowRead)
{
    const NormalizeResult result = normalize(
        kHeader +
        node("Shape", faceSet("geometry IndexedFaceSet", "0 0 0,\n1 0 0,\n1 1 0,\n0 1 0,\n",
                              "0, 1, 2, 3, -1,\n0, 2, 3, -1,\n")) +
        "Shape { geometry Box {} }\n");
    const GeometryRows& counted = result.geometry;
    EXPECT_EQ(counted.faceSets, 2u);
    ASSERT_TRUE(readWorldText(world, result.text.data(), result.text.size(), nullptr, &counted));
    EXPECT_EQ(world.vertexCount, counted.vertices);
    // Each face set adds its trailing empty polygon and one corner entry.
    EXPECT_EQ(world.faceCount, counted.faces + counted.faceSets);
    EXPECT_EQ(world.faceIndexCount, counted.corners + counted.faceSets);
    // The room reserved, and not a row more: growing would have at least doubled it.
    EXPECT_EQ(world.vertexCapacity, counted.vertices + counted.faceSets + 1);
    EXPECT_EQ(world.faceCapacity, counted.faces + counted.faceSets + 1);
    EXPECT_EQ(world.faceIndexCapacity, counted.corners + counted.faceSets + 1);
}
