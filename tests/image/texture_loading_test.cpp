#include "tests/image/picture_writers.h"
#include "tests/support/counting_allocator.h"

using testing_support::CountingAllocator;
using testing_support::writeTempFile;

class TextureLoader : public Pictures {};

TEST_F(TextureLoader, FileFoundNowhereGivesTheGreyReplacement)
{
    texture("absent.jpg", "");
    EXPECT_TRUE(isGreyReplacement(0));
}

TEST_F(TextureLoader, FormatItDoesNotDecodeKeepsTheRowAsItWas)
{
    const u8* before = world.texturePixels[0];
    const TextureRecord& row = texture("anim.gif", "GIF89a");
    EXPECT_EQ(row.width, 10);
    EXPECT_EQ(row.height, 10);
    EXPECT_EQ(world.texturePixels[0], before);
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

TEST_F(TextureLoader, EveryBlockIsFreedExactlyOnceAtShutdown)
{
    freeWorldTables(world);
    CountingAllocator::install();
    ASSERT_TRUE(initWorldTables(world));
    const std::string tga = encodeTga(2, 2, 1, 24, "\x01\x02\x03\x04\x05\x06");
    texture("once.tga", tga);
    texture("once.tga", "");
    texture("missing.tga", "");
    freeWorldTables(world);
    EXPECT_EQ(CountingAllocator::outstanding(), 0);
    EXPECT_EQ(CountingAllocator::badFrees, 0);
    CountingAllocator::uninstall();
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
