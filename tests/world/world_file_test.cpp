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

// A ".wrz" is expanded into a copy beside it, named from the first dot of its file name
// (a dot in the folder does not count); gzip under a plain name is expanded without a
// copy; an upper-case ".WRZ" is plain text.
TEST_F(CompressedWorlds, OnlyAWrzIsExpandedIntoACopyBesideIt)
{
    const struct {
        const char* file;
        bool gzip;
        const char* copy; // null: the folder holds the world alone
    } cases[] = {{"packed/x.tar.wrz", true, "packed/x.wrl"},
                 {"v1.2/scene.wrz", true, "v1.2/scene.wrl"},
                 {"gz/box.wrl", true, nullptr},
                 {"plain/x.WRZ", false, nullptr}};
    for (const auto& c : cases) {
        const std::string path =
            c.gzip ? gzipFile(c.file, kTriangleWorld) : writeTempFile(c.file, kTriangleWorld);
        ASSERT_TRUE(readWorld(world, path.c_str())) << c.file;
        EXPECT_EQ(world.objectCount, 1) << c.file;
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                                std::filesystem::directory_iterator{}),
                  c.copy ? 2 : 1)
            << c.file;
        if (c.copy) { EXPECT_EQ(readFile(tempDir() + c.copy), kTriangleWorld) << c.file; }
    }
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
