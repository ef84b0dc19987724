// tests/world/world_reading.h - a fresh World per test and small world files written by
// the test, read through the public entry points. The normalizer's tests build on it.
#pragma once

#include "tests/support/test_support.h"
#include "world/reader.h"
#include "world/tables.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cmath>
#include <string>

using Triple = std::array<f32, 3>;

inline Triple triple(const f32* values)
{
    return {values[0], values[1], values[2]};
}

// Each of the three numbers is within `tolerance` of the one wanted.
inline ::testing::AssertionResult nearTriple(const Triple& got, const Triple& want,
                                             f32 tolerance = 0.01f)
{
    for (int k = 0; k < 3; ++k)
        if (!(std::fabs(got[k] - want[k]) <= tolerance))
            return ::testing::AssertionFailure()
                   << "got (" << got[0] << ", " << got[1] << ", " << got[2] << "), want ("
                   << want[0] << ", " << want[1] << ", " << want[2] << ")";
    return ::testing::AssertionSuccess();
}

class WorldReading : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(initWorldTables(world)); }
    void TearDown() override { freeWorldTables(world); }

    // Writes text as a world file and reads it; false when readWorld refused the file.
    bool read(const std::string& text, const std::string& name = "world.wrl")
    {
        return readWorld(world, testing_support::writeTempFile(name, text).c_str());
    }

    // The world's vertex v in file order and file units.
    f32 fileX(u32 v) const { return world.vertexX[v] / kWorldScale; }
    f32 fileY(u32 v) const { return world.vertexY[v] / kWorldScale; }
    f32 fileZ(u32 v) const { return world.vertexZ[v] / kWorldScale; }
    Triple filePoint(u32 v) const { return {fileX(v), fileY(v), fileZ(v)}; }

    // The background's mode and its red, green and blue.
    std::array<int, 4> background() const
    {
        return {world.backgroundMode, world.backgroundRed, world.backgroundGreen,
                world.backgroundBlue};
    }

    World world;
};

// Writes text gzip-compressed as the file `name` in the test folder; returns its path.
inline std::string gzipFile(const std::string& name, const std::string& text)
{
    const std::string path = testing_support::writeTempFile(name, "");
    gzFile out = gzopen(path.c_str(), "wb");
    EXPECT_NE(out, nullptr) << path;
    gzwrite(out, text.data(), static_cast<unsigned>(text.size()));
    gzclose(out);
    return path;
}

// A face set of one triangle over the given points, one statement per line; with the
// points one per line, as by default, it is the canonical layout.
inline std::string triangle(const std::string& points = "0 0 0,\n1 0 0,\n0 1 0,")
{
    return "geometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n" + points +
           "\n]\n}\ncoordIndex [\n0, 1, 2, -1,\n]\n}\n";
}

inline std::string triangleShape(const std::string& points = "0 0 0,\n1 0 0,\n0 1 0,")
{
    return "Shape {\n" + triangle(points) + "}\n";
}
