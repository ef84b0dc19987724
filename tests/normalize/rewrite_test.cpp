// Each rewrite of the normalizing pass: a world written some other way reads, once
// normalized, into the same tables as the same world written by hand in the canonical
// layout and read by the line reader as it stands.
#include "tests/normalize/normalize_testing.h"

namespace {

// Both sides start with the same camera, so the framing Viewpoint (tested on its own)
// stays out of these comparisons.
const std::string kPlacedHeader = "#VRML V2.0 utf8\nViewpoint {\nposition 0 0 10\n}\n";

using Rewrites = Normalizing;

TEST_F(Rewrites, EachReadsIntoTheTablesOfTheSameWorldWrittenCanonically)
{
    testing_support::writeTempFile(
        "protos/shapes.wrl",
        "#VRML V2.0 utf8\n"
        "PROTO Other [] { Group {} }\n"
        "PROTO Tri [ field SFVec3f at 0 0 0 ] { Transform { translation IS at children [\n" +
            canonicalTriangle() + " ] } }\n");
    testing_support::writeTempFile("parts/leg.wrl", "#VRML V2.0 utf8\n"
                                                    "Viewpoint { position 9 9 9 }\n"
                                                    "Transform { translation 0 1 0 children [ " +
                                                        canonicalTriangle() + " ] }\n");
    gzipFile("packed/part.wrl", "#VRML V2.0 utf8\n" + canonicalTriangle());
    const std::string material = "diffuseColor 1 0 0\nspecularColor 0.5 0.5 0.5\n"
                                 "shininess 0.3\ntransparency 0.25\n";
    const std::string canonical =
        node("Background", "skyColor [ 0.2 0.4 1 ]\n") +
        node("DirectionalLight", "intensity 0.5\ncolor 1 1 0.5\ndirection 0 -1 0\n") +
        transform("translation 1 2 3\nrotation 0 1 0 1.5\n",
                  node("Shape", node("appearance DEF Red\tAppearance",
                                     node("material Material", material) +
                                         node("texture ImageTexture", "url \"red.jpg\"\n")) +
                                    node("geometry DEF Tri\tIndexedFaceSet",
                                         node("coord DEF TriPoints\tCoordinate",
                                              "point [\n0 0 0,\n1 0 0,\n0 1 0,\n]\n") +
                                             "coordIndex [\n0, 1, 2, -1,\n]\n"
                                             "normalPerVertex FALSE\n"))) +
        node("Shape", "appearance USE Red\n" + triangle()) +
        node("Sound", "intensity 0.8\nlocation 1 2 3\n" +
                          node("source DEF Door\tAudioClip", "url \"door.wav\"\nloop TRUE\n")) +
        node("DEF Clock\tTimeSensor", "cycleInterval 2\nloop TRUE\n");
    const std::string first = canonicalTriangle("0 0 0, 1 0 0, 0 1 0,");
    const std::string second = canonicalTriangle("5 5 5, 6 5 5, 5 6 5,");
    const std::string mesh =
        node("Shape", kWhiteAppearance + faceSet("geometry DEF Mesh\tIndexedFaceSet",
                                                 "0 0 0,\n1 0 0,\n0 1 0,\n", "0, 1, 2, -1,\n"));
    const std::string kid = transform("translation 0 0 2\n", mesh);
    struct Case {
        const char* what;
        std::string written, canonical; // each after the header
    };
    const Case cases[] = {
        {"a canonical world goes through as it is", canonical, canonical},
        {"nodes glued to braces and lists on one line",
         "Shape{appearance Appearance{material Material{diffuseColor 1 0 0}}geometry "
         "IndexedFaceSet{coord Coordinate{point[0 0 0,1 0 0,0 1 0]}coordIndex[0,1,2,-1]}}",
         node("Shape", coloured("1 0 0") + triangle())},
        {"trailing comments, and comments that name nodes the reader would start",
         "# a Shape { Box { } } in a comment\n"
         "Shape { # the shape\n"
         "  appearance Appearance { # Viewpoint\n"
         "    material Material { diffuseColor 0 1 0 } # Sphere\n"
         "  } # appearance\n"
         "  geometry IndexedFaceSet {\n"
         "    coord Coordinate { point [ 0 0 0, # 1 1 1\n"
         "      1 0 0, 0 1 0 ] }\n"
         "    coordIndex [ 0, 1, 2, -1 ] # -1\n"
         "  }\n"
         "}\n",
         node("Shape", coloured("0 1 0") + triangle())},
        {"nodes the reader does not read are dropped",
         "WorldInfo { title \"Shape Box Sphere\" info [ \"Transform\" ] }\n"
         "NavigationInfo { type \"EXAMINE\" headlight FALSE }\n"
         "Fog { color 1 1 1 visibilityRange 10 }\n"
         "PROTO Unused [ field SFColor tint 1 0 0 ] { Shape { geometry Box {} } }\n"
         "DEF Touch TouchSensor {}\n"
         "DEF Mover PositionInterpolator { key [ 0 1 ] keyValue [ 0 0 0, 1 1 1 ] }\n"
         "DEF Logic Script { url \"javascript: function Shape() {}\" "
         "field SFNode target NULL eventIn SFTime go }\n"
         "Shape { geometry IndexedLineSet { coord Coordinate { point [ 0 0 0, 1 1 1 ] } "
         "coordIndex [ 0 1 -1 ] } }\n" +
             canonicalTriangle() +
             "ROUTE Touch.touchTime TO Logic.go\n"
             "ROUTE Mover.value_changed TO Shape.set_translation\n",
         canonicalTriangle()},
        {"Anchor, Billboard, Collision and Group become Groups with their children",
         "Transform { translation 1 0 0 children [\n"
         "  Anchor { url \"next.wrl\" children [ Billboard { children [\n"
         "    Collision { proxy Shape { geometry Box {} } children [\n" +
             canonicalTriangle() +
             "    ] } ] } ] }\n"
             "  Group { children [ " +
             canonicalTriangle("0 0 1, 1 0 1, 0 1 1,") + " ] }\n] }\n",
         transform("translation 1 0 0\n", group(group(group(canonicalTriangle()))) +
                                              group(canonicalTriangle("0 0 1,\n1 0 1,\n0 1 1,")))},
        {"Switch keeps only its chosen child",
         "Switch { whichChoice 1 choice [ " + first + second + " ] }",
         canonicalTriangle("5 5 5,\n6 5 5,\n5 6 5,")},
        {"Switch at -1, the default, shows nothing", "Switch { choice [ " + first + " ] }", ""},
        {"Switch with a choice beyond its list shows nothing",
         "Switch { whichChoice 3 choice [ " + first + " ] }", ""},
        {"Switch with the list X3D calls children",
         "Switch { whichChoice 0 children [ " + first + " ] }", canonicalTriangle()},
        {"LOD keeps its first level", "LOD { range [ 10 ] level [ " + first + second + " ] }",
         canonicalTriangle()},
        {"PROTO instances expand with their values and defaults",
         "PROTO Tri [ field SFVec3f offset 0 0 0 field SFColor tint 1 1 1\n"
         "            exposedField MFNode extra [] eventIn SFBool ignored ] {\n"
         "  Transform { translation IS offset children [\n"
         "    Shape { appearance Appearance { material Material { diffuseColor IS tint } }\n"
         "            geometry IndexedFaceSet { coord Coordinate { point [ 0 0 0, 1 0 0, 0 1 0 ] "
         "}\n"
         "                                      coordIndex [ 0 1 2 -1 ] } }\n"
         "    Group { children IS extra } ] }\n"
         "  DEF NotShown Shape { geometry Box {} }\n"
         "}\n"
         "Tri { offset 1 2 3 tint 0 0 1 }\n"
         "Tri { extra [ " +
             canonicalTriangle("7 7 7, 8 7 7, 7 8 7,") + " ] }\n",
         transform("translation 1 2 3\n", node("Shape", coloured("0 0 1") + triangle())) +
             transform("translation 0 0 0\n",
                       node("Shape", coloured("1 1 1") + triangle()) +
                           group(canonicalTriangle("7 7 7,\n8 7 7,\n7 8 7,")))},
        {"EXTERNPROTO instances expand from a local file",
         "EXTERNPROTO Piece [ field SFVec3f at ] [ \"http://example.com/x.wrl#Tri\" "
         "\"protos/shapes.wrl#Tri\" ]\n"
         "Piece { at 0 0 4 }\n",
         transform("translation 0 0 4\n", canonicalTriangle())},
        {"USE of a geometry, a child or a Shape becomes a copy",
         "DEF Piece Shape { geometry DEF Mesh IndexedFaceSet {\n"
         "  coord Coordinate { point [ 0 0 0, 1 0 0, 0 1 0 ] } coordIndex [ 0 1 2 -1 ] } }\n"
         "Transform { translation 0 0 1 children USE Piece }\n"
         "Shape { geometry USE Mesh }\n"
         "DEF Kid Transform { translation 0 0 2 children [ USE Piece ] }\n"
         "Group { children [ USE Kid ] }\n",
         mesh + transform("translation 0 0 1\n", mesh) + mesh + kid + group(kid)},
        // The inlined file's Viewpoint is not bound: only the world's own is.
        {"an Inline world is spliced in as a Group",
         "Transform { translation 2 0 0 children [ Inline { url \"parts/leg.wrl\" } ] }\n",
         transform("translation 2 0 0\n",
                   group(transform("translation 0 1 0\n", canonicalTriangle())))},
        {"a gzip-compressed Inline is expanded whatever its name",
         "Inline { url \"packed/part.wrl\" }\n", group(canonicalTriangle())},
        {"Box becomes the face set of its size",
         "Shape { geometry DEF Crate Box { size 2 4 6 } }\n",
         node("Shape", kWhiteAppearance + faceSet("geometry DEF Crate\tIndexedFaceSet",
                                                  "-1 -2 -3,\n1 -2 -3,\n-1 2 -3,\n1 2 -3,\n"
                                                  "-1 -2 3,\n1 -2 3,\n-1 2 3,\n1 2 3,\n",
                                                  "4, 5, 7, 6, -1,\n1, 0, 2, 3, -1,\n"
                                                  "5, 1, 3, 7, -1,\n0, 4, 6, 2, -1,\n"
                                                  "6, 7, 3, 2, -1,\n0, 1, 5, 4, -1,\n",
                                                  "normalPerVertex FALSE\n"))},
        {"ElevationGrid becomes a face set over its heights",
         "Shape { geometry ElevationGrid { xDimension 3 zDimension 2 "
         "xSpacing 0.5 zSpacing 2 height [ 0 1 2 3 4 5 ] creaseAngle 1 } }\n",
         node("Shape", kWhiteAppearance + faceSet("geometry IndexedFaceSet",
                                                  "0 0 0,\n0.5 1 0,\n1 2 0,\n"
                                                  "0 3 2,\n0.5 4 2,\n1 5 2,\n",
                                                  "0, 3, 4, 1, -1,\n1, 4, 5, 2, -1,\n",
                                                  "normalPerVertex TRUE\n"))},
        // A white material row of its own, so the object is drawn.
        {"a Shape without an appearance is drawn white",
         "Shape { geometry IndexedFaceSet {"
         " coord Coordinate { point [ 0 0 0, 1 0 0, 0 1 0 ] }"
         " coordIndex [ 0, 1, 2, -1 ] } }\n",
         node("Shape", coloured("1 1 1") + triangle())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectSameTables(kPlacedHeader + c.written, kPlacedHeader + c.canonical);
    }
}

TEST_F(Rewrites, VrmlOneWorldIsNotRewritten)
{
    const NormalizeResult result =
        normalize("#VRML V1.0 ascii\nSeparator { Cube {} }\n", "old.wrl");
    EXPECT_TRUE(result.vrml1);
    EXPECT_TRUE(result.text.empty());
    ASSERT_EQ(result.diagnostics.size(), 1u);
    EXPECT_TRUE(result.diagnostics[0].warning);
    EXPECT_NE(result.diagnostics[0].message.find("VRML 1.0"), std::string::npos);
}

} // namespace
