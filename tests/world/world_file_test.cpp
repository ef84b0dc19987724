// Opening worlds: compressed files expanded (beside them for ".wrz", into a temporary
// file otherwise), the world's folder, files that cannot be read.
#include "tests/world/world_reading.h"

#include <cstring>
#include <filesystem>

using testing_support::readFile;
using testing_support::tempDir;
using testing_support::writeTempFile;

// A plain world of one triangle; the tests write its gzip form with zlib.
static const std::string kTriangleWorld = "#VRML V2.0 utf8\n" + triangleShape();

class CompressedWorlds : public WorldReading {};

TEST_F(CompressedWorlds, WrzIsExpandedBesideItAndReadFromTheFirstDotOfItsName)
{
    const std::string path = gzipFile("packed/x.tar.wrz", kTriangleWorld);
    ASSERT_TRUE(readWorld(world, path.c_str()));
    EXPECT_EQ(world.objectCount, 1);
    EXPECT_EQ(readFile(tempDir() + "packed/x.wrl"), kTriangleWorld);
}

TEST_F(CompressedWorlds, ADotInTheFolderNameDoesNotMoveTheCopy)
{
    const std::string path = gzipFile("v1.2/scene.wrz", kTriangleWorld);
    ASSERT_TRUE(readWorld(world, path.c_str()));
    EXPECT_TRUE(std::filesystem::exists(tempDir() + "v1.2/scene.wrl"));
    EXPECT_FALSE(std::filesystem::exists(tempDir() + "v1.wrl"));
    EXPECT_EQ(world.objectCount, 1);
}

TEST_F(CompressedWorlds, GzipUnderAPlainNameIsExpandedWithoutACopy)
{
    const std::string path = gzipFile("gz/box.wrl", kTriangleWorld);
    ASSERT_TRUE(readWorld(world, path.c_str()));
    EXPECT_EQ(world.objectCount, 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tempDir() + "gz"),
                            std::filesystem::directory_iterator{}),
              1);
}

TEST_F(CompressedWorlds, AnUpperCaseWrzIsReadAsPlainText)
{
    ASSERT_TRUE(read(kTriangleWorld, "plain/x.WRZ"));
    EXPECT_EQ(world.objectCount, 1);
    EXPECT_FALSE(std::filesystem::exists(tempDir() + "plain/x.wrl"));
}

TEST_F(CompressedWorlds, ABrokenStreamReadsWhatArrivedBeforeTheBreak)
{
    std::string big = "#VRML V2.0 utf8\n";
    // Points that differ from Shape to Shape, so the stream does not shrink to a few
    // bytes and half of it still holds whole Shapes.
    for (int n = 0; n < 200; ++n) {
        const std::string a = std::to_string(n * 7919 % 1009) + "." + std::to_string(n * 31 % 97);
        big += triangleShape(a + " 0 0, 1 " + a + " 0, 0 1 " + a + ",");
    }
    const std::string path = gzipFile("broken/big.wrz", big);
    std::string bytes = readFile(path);
    bytes.resize(bytes.size() / 2); // cut mid-stream, no trailer
    writeTempFile("broken/big.wrz", bytes);
    ASSERT_TRUE(readWorld(world, path.c_str()));
    EXPECT_GT(world.objectCount, 0);
    EXPECT_LT(world.objectCount, 200);
    writeTempFile("broken/garbage.wrl", std::string("\x1f\x8b\x08\x00garbage", 11));
    EXPECT_TRUE(readWorld(world, (tempDir() + "broken/garbage.wrl").c_str()));
    EXPECT_EQ(world.objectCount, 0);
}

TEST_F(CompressedWorlds, AMissingFileOrAFolderIsRefusedAndTheTablesStay)
{
    ASSERT_TRUE(read(kTriangleWorld));
    EXPECT_FALSE(readWorld(world, (tempDir() + "no-such-world.wrl").c_str()));
    EXPECT_FALSE(readWorld(world, (tempDir() + "no-such-world.wrz").c_str()));
    EXPECT_FALSE(std::filesystem::exists(tempDir() + "no-such-world.wrl"));
    EXPECT_FALSE(readWorld(world, tempDir().c_str()));
    EXPECT_FALSE(readWorld(world, ""));
    EXPECT_EQ(world.objectCount, 1);
}

TEST_F(CompressedWorlds, TheWorldFolderIsThePathUpToItsLastSlashOrWhatTheCallerSet)
{
    ASSERT_TRUE(read(kTriangleWorld, "scenes/a/world.wrl"));
    EXPECT_EQ(std::string(world.worldFolder), tempDir() + "scenes/a/");
    // Text in memory keeps the folder the caller set.
    std::strcpy(world.worldFolder, "textures/");
    ASSERT_TRUE(readWorldText(world, kTriangleWorld.data(), kTriangleWorld.size()));
    EXPECT_STREQ(world.worldFolder, "textures/");
    EXPECT_EQ(world.objectCount, 1);
    EXPECT_TRUE(readWorldText(world, nullptr, 0));
    EXPECT_EQ(world.objectCount, 0);
}
