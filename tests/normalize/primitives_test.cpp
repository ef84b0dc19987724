// Box, Cone, Cylinder, Sphere, ElevationGrid and Extrusion become face sets with the
// geometry VRML 2.0 defines for them, read back through the line reader.
#include "tests/normalize/normalize_testing.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

class Primitives : public Normalizing {
protected:
    void readShape(const std::string& geometry, bool textured = false)
    {
        readNormalized("#VRML V2.0 utf8\nViewpoint {}\nShape { " +
                       std::string(textured ? "appearance Appearance { texture ImageTexture { url "
                                              "\"skin.jpg\" } } "
                                            : "") +
                       "geometry " + geometry + " }\n");
    }
    // Smallest and largest file coordinate on one axis of the vertices first..last-1
    // (all of them by default).
    std::pair<f32, f32> range(int axis, u32 first = 0, u32 last = ~0u) const
    {
        f32 low = INFINITY, high = -INFINITY;
        for (u32 v = first; v < std::min(last, world.vertexCount); ++v) {
            low = std::fmin(low, filePoint(v)[axis]);
            high = std::fmax(high, filePoint(v)[axis]);
        }
        return {low, high};
    }
    // The box around all vertices, file order.
    void expectBounds(const Triple& low, const Triple& high) const
    {
        for (int axis = 0; axis < 3; ++axis) {
            const auto [gotLow, gotHigh] = range(axis);
            EXPECT_NEAR(gotLow, low[axis], 1e-5f) << "axis " << axis;
            EXPECT_NEAR(gotHigh, high[axis], 1e-5f) << "axis " << axis;
        }
    }
    // Every face's plane normal (from its first three corners) points away from `inside`.
    void expectFacesPointAwayFrom(const Triple& inside) const
    {
        for (u32 f = 0; f < world.objects[0].faceCount; ++f) {
            const FaceRecord& face = world.faces[f];
            const u32* corner = world.faceIndices + face.firstIndex;
            const Triple p[3] = {filePoint(corner[0]), filePoint(corner[1]), filePoint(corner[2])};
            const f32 a[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
            const f32 b[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
            const f32 normal[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                                   a[0] * b[1] - a[1] * b[0]};
            const f32 out = normal[0] * (p[0][0] - inside[0]) + normal[1] * (p[0][1] - inside[1]) +
                            normal[2] * (p[0][2] - inside[2]);
            EXPECT_GT(out, 0.0f) << "face " << f;
        }
    }
};

// Twenty-four segments round and twelve rings high; a cap is one face.
TEST_F(Primitives, EachBecomesOneObjectOfTheFacesItsFieldsAskFor)
{
    const struct {
        const char* geometry;
        bool textured;
        u32 vertices, faces;
        u8 smooth; // normalPerVertex: shaded smooth, or faceted
    } rows[] = {
        {"Sphere { radius 2 }", false, 24 * 11 + 2, 24 * 12, 1},
        // A seam column repeats the first of every ring; each pole has a vertex per segment.
        {"Sphere {}", true, 25 * 11 + 48, 24 * 12, 1},
        {"Cylinder { radius 0.5 height 3 }", false, 96, 24 + 2, 1},
        {"Cylinder { top FALSE }", false, 72, 24 + 1, 1},
        {"Cylinder { side FALSE }", false, 48, 2, 1},
        {"Cone { bottomRadius 2 height 4 }", false, 49, 24 + 1, 1},
        {"Cone { bottom FALSE }", false, 25, 24, 1},
        {"Box {}", true, 24, 6, 0}, // every face shows the whole picture
        {"Extrusion {}", false, 18, 4 + 2, 0},
        // Rows without heights are left out; no crease angle: faceted.
        {"ElevationGrid { xDimension 2 zDimension 5 height [ 0 1 2 3 4 5 ] }", false, 6, 2, 0},
    };
    for (const auto& row : rows) {
        readShape(row.geometry, row.textured);
        ASSERT_EQ(world.objectCount, 1) << row.geometry;
        EXPECT_EQ(world.vertexCount, row.vertices) << row.geometry;
        EXPECT_EQ(world.objects[0].faceCount, row.faces) << row.geometry;
        EXPECT_EQ(world.objects[0].normalPerVertex, row.smooth) << row.geometry;
        EXPECT_EQ(world.objects[0].hasTexCoords, row.textured ? 1u : 0u) << row.geometry;
        if (!row.textured) continue;
        // A picture spans the whole of s, a sphere's across its seam.
        f32 lowS = 1.0f, highS = 0.0f;
        for (u32 v = 0; v < world.vertexCount; ++v) {
            lowS = std::fmin(lowS, world.vertexTexCoords[v][0]);
            highS = std::fmax(highS, world.vertexTexCoords[v][0]);
        }
        EXPECT_FLOAT_EQ(lowS, 0.0f) << row.geometry;
        EXPECT_FLOAT_EQ(highS, 1.0f) << row.geometry;
    }
    readShape("Cylinder { side FALSE top FALSE bottom FALSE }");
    EXPECT_EQ(world.objectCount, 0);
}

TEST_F(Primitives, EachFillsTheBoxOfItsSizeWithFacesPointingOutward)
{
    const struct {
        const char* geometry;
        Triple low, high, inside;
    } rows[] = {
        {"Cylinder { radius 0.5 height 3 }", {-0.5f, -1.5f, -0.5f}, {0.5f, 1.5f, 0.5f}, {0, 0, 0}},
        {"Cone { bottomRadius 2 height 4 }", {-2, -2, -2}, {2, 2, 2}, {0, -1, 0}},
        {"Sphere { radius 2 }", {-2, -2, -2}, {2, 2, 2}, {0, 0, 0}}, // last: see below
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.geometry);
        readShape(row.geometry);
        expectBounds(row.low, row.high);
        expectFacesPointAwayFrom(row.inside);
    }
    for (u32 v = 0; v < world.vertexCount; ++v) // the sphere's every vertex at its radius
        EXPECT_NEAR(std::sqrt(fileX(v) * fileX(v) + fileY(v) * fileY(v) + fileZ(v) * fileZ(v)),
                    2.0f, 1e-5f);
}

TEST_F(Primitives, DefaultExtrusionIsASquarePrismAlongY)
{
    readShape("Extrusion {}");
    expectBounds({-1, 0, -1}, {1, 1, 1});
}

TEST_F(Primitives, ExtrusionCrossSectionStandsAcrossItsSpineScaledAndTurnedAtEachPoint)
{
    // A spine along x: the cross-section lies in the plane x = const at both ends.
    readShape("Extrusion { spine [ 0 0 0, 2 0 0 ] crossSection [ 1 0, 0 1, -1 0, 0 -1, 1 0 ] "
              "beginCap FALSE endCap FALSE }");
    ASSERT_EQ(world.objectCount, 1);
    ASSERT_EQ(world.vertexCount, 10u);
    for (u32 v = 0; v < 5; ++v) EXPECT_NEAR(fileX(v), 0.0f, 1e-6f);
    for (u32 v = 5; v < 10; ++v) EXPECT_NEAR(fileX(v), 2.0f, 1e-6f);
    EXPECT_EQ(world.objects[0].faceCount, 4u);
    readShape("Extrusion { spine [ 0 0 0, 0 1 0, 0 2 0 ] scale [ 1 1, 2 2, 3 1 ] "
              "orientation [ 0 1 0 0, 0 1 0 0, 0 1 0 1.5707963 ] }");
    ASSERT_EQ(world.objectCount, 1);
    // The last ring is 3 wide along x before the quarter turn about y, so along z after.
    const auto [lowX, highX] = range(0, 10, 15);
    const auto [lowZ, highZ] = range(2, 10, 15);
    EXPECT_NEAR(highX - lowX, 2.0f, 1e-5f);
    EXPECT_NEAR(highZ - lowZ, 6.0f, 1e-5f);
    const auto [lowY, highY] = range(1);
    EXPECT_NEAR(lowY, 0.0f, 1e-5f);
    EXPECT_NEAR(highY, 2.0f, 1e-5f);
}

} // namespace
