// Texture rows: the picture a row names becomes its 3-byte block, or the grey
// replacement when it cannot be found or decoded.
#include "tests/support/counting_allocator.h"
#include "tests/support/picture_writers.h"
#include "tests/world/world_reading.h"
#include "world/textures.h"

#include <cstdio>
#include <cstring>

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using testing_support::CountingAllocator;
using testing_support::writeTempFile;

class TextureLoader : public WorldReading {
protected:
    // Writes `bytes` as `file` in the test folder (unless empty), names it in the next
    // texture row as the reader would, loads it and counts the row.
    const TextureRecord& texture(const std::string& file, const std::string& bytes)
    {
        if (!bytes.empty()) writeTempFile(file, bytes);
        std::snprintf(world.worldFolder, sizeof world.worldFolder, "%s",
                      testing_support::tempDir().c_str());
        const i16 row = world.textureCount;
        std::snprintf(world.textures[row].fileName, kTextureFileNameSize, "%s", file.c_str());
        answered = loadTexture(world, row);
        world.textureCount = static_cast<i16>(row + 1);
        return world.textures[row];
    }
    Bgr texel(i16 row, int index) const
    {
        const u8* pixel = world.texturePixels[row] + 3 * index;
        return {pixel[0], pixel[1], pixel[2]};
    }
    // True when the row holds the 40 x 40 grey replacement.
    bool isGreyReplacement(i16 row) const
    {
        const TextureRecord& texture = world.textures[row];
        if (texture.width != 40 || texture.height != 40 || texture.tgaIdLength != 0) return false;
        for (int k = 0; k < 4800; ++k)
            if (world.texturePixels[row][k] != 127) return false;
        return true;
    }

    bool answered = false; // what the last loadTexture answered
};

TEST_F(TextureLoader, KeepsThreeBytesAPixelInStoredRowOrderEachBlockFreedOnce)
{
    freeWorldTables(world);
    CountingAllocator::install();
    ASSERT_TRUE(initWorldTables(world));
    texture("plain.tga",
            encodeTga(2, 2, 2, 24, "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c", "abc"));
    EXPECT_EQ(world.textures[0].tgaIdLength, 3);
    EXPECT_EQ(texel(0, 0), (Bgr{1, 2, 3}));
    EXPECT_EQ(texel(0, 3), (Bgr{10, 11, 12}));
    const TextureRecord& wide = texture("wide.jpg", encodeJpeg(64, 32, std::string(6144, 'A')));
    EXPECT_EQ(wide.width, 64);
    EXPECT_EQ(CountingAllocator::sizeOf(world.texturePixels[1]), 64u * 32u * 3u);
    // A copied row and a grey replacement beside them: each block goes back exactly once.
    texture("wide.jpg", "");
    texture("missing.tga", "");
    freeWorldTables(world);
    EXPECT_EQ(CountingAllocator::outstanding(), 0);
    EXPECT_EQ(CountingAllocator::badFrees, 0);
    CountingAllocator::uninstall();
    ASSERT_TRUE(initWorldTables(world));
}

// The Appearance reader leaves a material untextured by this answer (default reading).
// What it cannot find or decode gets the grey replacement; a format it does not decode
// keeps the row's first 10 x 10 grey block, the very same one.
TEST_F(TextureLoader, SaysWhetherTheRowHoldsTheDecodedPicture)
{
    CaptureStderr();
    const std::string tga = encodeTga(2, 1, 1, 24, "\x01\x02\x03");
    GifOptions oneColour;
    oneColour.palette = "\x10\x20\x30";
    enum Outcome { kDecoded, kGrey, kAsItWas };
    const struct {
        const char* file;
        std::string bytes;
        Outcome outcome;
    } rows[] = {{"seen.tga", tga, kDecoded},
                {"seen.tga", "", kDecoded}, // a copy of row 0
                {"absent.jpg", "", kGrey},
                {"absent.jpg", "", kGrey},
                {"broken.png", "no png", kGrey},
                {"garbage.jpg", "this is no picture", kGrey},
                {"still.bmp", "BM", kAsItWas},
                {"first.gif", encodeGif(1, 1, std::string(1, '\0'), oneColour), kDecoded}};
    for (const auto& r : rows) {
        const i16 row = world.textureCount;
        const u8* before = world.texturePixels[row];
        texture(r.file, r.bytes);
        EXPECT_EQ(answered, r.outcome == kDecoded) << r.file << " row " << row;
        EXPECT_EQ(world.textures[row].loaded, r.outcome == kDecoded ? 1 : 0) << r.file;
        EXPECT_EQ(isGreyReplacement(row), r.outcome == kGrey) << r.file << " row " << row;
        if (r.outcome == kAsItWas) {
            EXPECT_EQ(world.texturePixels[row], before) << r.file;
            EXPECT_EQ(world.textures[row].width, 10) << r.file;
            EXPECT_EQ(world.textures[row].height, 10) << r.file;
        }
    }
    GetCapturedStderr();
    EXPECT_EQ(texel(7, 0), (Bgr{0x30, 0x20, 0x10})); // the GIF's one palette entry
}

TEST_F(TextureLoader, SameFileIsDecodedOnceAndEachRowOwnsItsBlock)
{
    texture("shared.tga", encodeTga(2, 1, 1, 24, "\x01\x02\x03"));
    // A different picture under the same name: a second decode would see it.
    writeTempFile("shared.tga", encodeTga(2, 2, 1, 24, "\x09\x09\x09\x09\x09\x09"));
    const TextureRecord& second = texture("shared.tga", "");
    EXPECT_EQ(second.width, 1);
    EXPECT_EQ(texel(1, 0), (Bgr{1, 2, 3}));
    EXPECT_NE(world.texturePixels[0], world.texturePixels[1]);
}

TEST_F(TextureLoader, OutOfMemoryLeavesTheRowConsistent)
{
    writeTempFile("big.tga", encodeTga(2, 2, 1, 24, "\x01\x02\x03\x04\x05\x06"));
    for (long allowed = 0; allowed < 4; ++allowed) {
        freeWorldTables(world);
        CountingAllocator::install();
        ASSERT_TRUE(initWorldTables(world));
        CountingAllocator::failAfter = CountingAllocator::allocations + allowed;
        const TextureRecord& row = texture("big.tga", "");
        const bool loaded = row.width == 2 && row.height == 1;
        const bool untouched = row.width == 10 && row.height == 10;
        const bool grey = row.width == 40 && row.height == 40;
        EXPECT_TRUE(loaded || untouched || grey) << allowed;
        freeWorldTables(world);
        EXPECT_EQ(CountingAllocator::outstanding(), 0) << allowed;
        CountingAllocator::uninstall();
    }
    ASSERT_TRUE(initWorldTables(world));
}

TEST_F(TextureLoader, RowsOutsideTheTableAreIgnored)
{
    loadTexture(world, -1);
    loadTexture(world, static_cast<i16>(world.textureCapacity));
    EXPECT_EQ(world.textures[0].width, 10);
}
