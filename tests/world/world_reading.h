// tests/world/world_reading.h - a fresh World per test and small world files written by
// the test, read through the public entry points.
#pragma once

#include "tests/support/test_support.h"
#include "world/reader.h"
#include "world/tables.h"

#include <gtest/gtest.h>

#include <string>

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

    World world;
};

// A face set of one triangle over the given points, one statement per line.
inline std::string triangle(const std::string& points = "0 0 0, 1 0 0, 0 1 0,")
{
    return "geometry IndexedFaceSet {\n"
           "coord Coordinate {\n"
           "point [\n" +
           points +
           "\n"
           "]\n"
           "}\n"
           "coordIndex [\n"
           "0, 1, 2, -1,\n"
           "]\n"
           "}\n";
}
