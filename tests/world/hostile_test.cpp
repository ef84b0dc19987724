// Hostile input the seeds of tests/fuzz/reader_fuzz.cpp cannot stand for: a line of ten
// megabytes and memory that runs out part way. What only must not crash, hang or leave
// the tables at odds with their counts is a seed.
#include "tests/support/counting_allocator.h"
#include "tests/world/world_reading.h"
#include "world/dump.h"

using testing_support::CountingAllocator;

class HostileInput : public WorldReading {
protected:
    // The invariants every read must leave, whatever the file held.
    void expectConsistentTables()
    {
        EXPECT_GE(world.objectCount, 0);
        if (world.vertexCount > 0) { EXPECT_GE(world.vertexCapacity, world.vertexCount + 1); }
        EXPECT_LE(world.faceIndexCount, world.faceIndexCapacity);
        EXPECT_LE(world.faceCount, world.faceCapacity);
        u32 corners = 0;
        for (u32 f = 0; f < world.faceCount; ++f) {
            EXPECT_EQ(world.faces[f].firstIndex, corners) << "face " << f;
            corners += static_cast<u32>(world.faces[f].vertexCount);
        }
        EXPECT_LE(corners, world.faceIndexCount);
        for (i16 o = 0; o < world.objectCount; ++o) {
            const ObjectRecord& object = world.objects[o];
            EXPECT_LE(object.firstVertex - 1 + object.vertexCount, world.vertexCount);
            EXPECT_LE(object.firstFace - 1 + object.faceCount, world.faceCount);
            EXPECT_LT(object.material, world.materialCount);
        }
        // The dump reads every row too (a million-vertex dump only costs time).
        if (world.vertexCount < 100000) { EXPECT_FALSE(worldDumpJson(world).empty()); }
    }
};

TEST_F(HostileInput, ATenMegabyteSingleLineIsReadInPieces)
{
    std::string text = "Shape {\ngeometry IndexedFaceSet {\ncoord Coordinate {\npoint [\n";
    while (text.size() < 10 * 1024 * 1024) text += "1.5 2.5 3.5, ";
    text += "]\n}\ncoordIndex [\n0, 1, 2, -1,\n]\n}\n}\n";
    ASSERT_TRUE(read(text));
    ASSERT_EQ(world.objectCount, 1);
    EXPECT_GT(world.vertexCount, 500000u);
    expectConsistentTables();
}

TEST_F(HostileInput, RunningOutOfMemoryMidReadStopsCleanly)
{
    std::string text = "#VRML V2.0 utf8\n";
    for (int n = 0; n < 30; ++n)
        text += "Transform {\ntranslation 1 0 0\nchildren [\nShape {\n"
                "appearance Appearance {\nmaterial Material {\n}\ntexture ImageTexture {\n"
                "url \"none.jpg\"\n}\n}\n" +
                triangle() + "}\nSound {\nsource AudioClip {\n}\n}\nPointLight {\n}\n]\n}\n";
    const std::string path = testing_support::writeTempFile("memory.wrl", text);
    freeWorldTables(world);
    for (long failAfter = 0; failAfter < 400; failAfter += 3) {
        CountingAllocator::install(failAfter);
        World partial;
        readWorld(partial, path.c_str());
        std::swap(world, partial);
        if (world.materials) expectConsistentTables();
        CountingAllocator::failAfter = -1;
        freeWorldTables(world);
        freeWorldTables(partial);
        EXPECT_EQ(CountingAllocator::outstanding(), 0) << "after " << failAfter;
        EXPECT_EQ(CountingAllocator::badFrees, 0);
        CountingAllocator::uninstall();
    }
    ASSERT_TRUE(initWorldTables(world));
}
