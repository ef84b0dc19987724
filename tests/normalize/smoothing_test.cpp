// Where the normalizing pass makes a face set smooth and where it creases: the renderer
// smooths across every shared vertex, so a crease is written as a vertex of its own on
// each side of it, and a face set with no smooth edge at all is written flat.
#include "tests/normalize/normalize_testing.h"

#include <cmath>

namespace {

// A floor of two quads (y = 0, x from 0 to 2) and a wall standing at its x = 2 edge:
// the two floor quads meet flat, the wall meets the floor at a right angle along the
// points 2 and 5. Each point's colour is (its index / 10, 0, 0).
const std::string kPoints = "0 0 0,\n1 0 0,\n2 0 0,\n0 0 1,\n1 0 1,\n2 0 1,\n2 1 0,\n2 1 1,\n";
const std::string kFaces = "0, 3, 4, 1, -1,\n1, 4, 5, 2, -1,\n2, 5, 7, 6, -1,\n";
const std::string kColours =
    "color Color {\ncolor [\n0 0 0,\n0.1 0 0,\n0.2 0 0,\n0.3 0 0,\n0.4 0 0,\n0.5 0 0,\n"
    "0.6 0 0,\n0.7 0 0,\n]\n}\n";

class Smoothing : public Normalizing {
protected:
    void readFaceSet(const std::string& fields)
    {
        readNormalized(kHeader +
                       node("Shape", faceSet("geometry IndexedFaceSet", kPoints, kFaces, fields)));
        ASSERT_EQ(world.objectCount, 1);
    }
    // The point of kPoints a vertex stands on (by its position), or -1.
    int pointOf(u32 v) const
    {
        const Triple p = filePoint(v);
        const Triple points[8] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 0, 1},
                                  {1, 0, 1}, {2, 0, 1}, {2, 1, 0}, {2, 1, 1}};
        for (int k = 0; k < 8; ++k)
            if (nearTriple(p, points[k], 1e-6f)) return k;
        return -1;
    }
};

} // namespace

// VRML shades faces smooth only across edges whose angle is below creaseAngle (0 when
// the file gives none): the floor's quads meet at 0, floor and wall at a right angle.
TEST_F(Smoothing, ACreaseAngleSplitsTheVerticesWhereFacesMeetBeyondIt)
{
    const struct {
        const char* crease;
        u32 vertices;
        u8 normalPerVertex;
    } cases[] = {
        {"", 8, 0},                   // no smooth edge: the face set is drawn flat
        {"creaseAngle 0.5\n", 10, 1}, // points 2 and 5 twice: once for the floor, once the wall
        {"creaseAngle 1.6\n", 8, 1},  // every edge smooth: the points shared as they are
    };
    for (const auto& c : cases) {
        readFaceSet(kColours + c.crease);
        SCOPED_TRACE(c.crease);
        EXPECT_EQ(world.objects[0].vertexCount, c.vertices);
        EXPECT_EQ(world.objects[0].normalPerVertex, c.normalPerVertex);
        EXPECT_EQ(world.objects[0].faceCount, 3u);
        // Colours go with the vertices, copies included.
        for (u32 v = 0; v < world.vertexCount; ++v) {
            ASSERT_GE(pointOf(v), 0) << v;
            EXPECT_FLOAT_EQ(world.vertexColors[v][0], 0.1f * static_cast<f32>(pointOf(v))) << v;
        }
    }
}

// A file's normals per corner (an index list of their own) say where the author wants
// creases: corners of one point whose normals differ get their own vertex, the normal
// written with it; normals that differ only by rounding are one. The crease angle then
// counts for nothing.
TEST_F(Smoothing, FileNormalsPerCornerSplitTheVertexWhereTheyDiffer)
{
    const std::string normals =
        "normal Normal {\nvector [\n0 1 0,\n1 0 0,\n0 0.99999 0.0001,\n]\n}\n";
    const struct {
        const char* what;
        const char* normalIndex;
        u32 vertices;
    } cases[] = {
        {"the wall's own normal", "0, 0, 0, 0, -1,\n0, 0, 0, 0, -1,\n1, 1, 1, 1, -1,\n", 10},
        {"one normal everywhere", "0, 0, 0, 0, -1,\n0, 0, 0, 0, -1,\n0, 0, 0, 0, -1,\n", 8},
        {"the same normal rounded", "0, 0, 0, 0, -1,\n2, 2, 2, 2, -1,\n0, 0, 0, 0, -1,\n", 8},
    };
    for (const auto& c : cases) {
        readFaceSet(normals + "normalIndex [\n" + c.normalIndex + "]\ncreaseAngle 3\n");
        SCOPED_TRACE(c.what);
        EXPECT_EQ(world.objects[0].vertexCount, c.vertices);
        EXPECT_EQ(world.objects[0].normalPerVertex, 1);
    }
    // The wall's corners carry the wall's normal, file (1, 0, 0): internal (0, 1, 0).
    readFaceSet(normals + "normalIndex [\n" + cases[0].normalIndex + "]\n");
    const FaceRecord& wall = world.faces[2];
    for (i16 k = 0; k < wall.vertexCount; ++k) {
        const f32* n =
            world.vertexNormals[world.faceIndices[wall.firstIndex + static_cast<u32>(k)]];
        EXPECT_TRUE(nearTriple(triple(n), {0, 1, 0}, 1e-6f)) << k;
    }
}
