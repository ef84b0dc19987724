#include "tests/image/picture_writers.h"
#include "tests/support/counting_allocator.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using testing_support::CountingAllocator;
using testing_support::writeTempFile;

class TextureLoader : public Pictures {};

TEST_F(TextureLoader, PicturesItCannotFindOrDecodeGetTheGreyReplacement)
{
    unsigned state = 12345; // noisy samples, so the JPEG does not compress to a few bytes
    std::string noise(64 * 64 * 3, '\0');
    for (char& sample : noise)
        sample = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
    const std::string jpeg = encodeJpeg(64, 64, noise);
    const std::string png = encodePng(32, 32, std::string(32 * 32 * 3, 'A'));
    std::string claims = encodeJpeg(8, 8, std::string(64, 'A'), {.components = 1});
    claims.replace(claims.find("\xff\xc0") + 5, 4, std::string("\x40\x00\x40\x00", 4));
    struct Case {
        const char* file;
        std::string bytes;        // empty: the file is not written
        const char* message = ""; // part of what the decoder says on stderr
    };
    const Case cases[] = {
        {"absent.jpg", ""}, // exists nowhere on the path
        {"garbage.jpg", "this is no picture", "Not a JPEG file"},
        {"truncated.jpg", jpeg.substr(0, jpeg.size() / 2), "Premature end of JPEG file"},
        {"arithmetic.jpg", encodeJpeg(8, 8, std::string(192, 'A'), {.arithmetic = true}),
         "arithmetic coding is not implemented"},
        {"too-wide.jpg", encodeJpeg(16385, 1, std::string(16385 * 3, 'A')),
         "Maximum supported image dimension is 16384 pixels"},
        {"claims.jpg", claims}, // 16384 x 16384 from one block of data
        {"cut.png", png.substr(0, png.size() - 30)},
        {"wide.png", encodePng(16385, 1, std::string(16385 * 3, 'A'))},
        {"label.png", "\x89PNG but nothing after it"},
        {"sixteen.tga", encodeTga(2, 2, 2, 16, std::string(8, 'A'))}, // 16-bit TGA
        {"forty.tga", encodeTga(2, 2, 2, 40, std::string(20, 'A'))},
        {"short.tga", encodeTga(2, 2, 2, 24, std::string(11, 'A'))},
        {"rle-ends.tga", encodeTga(10, 4, 1, 24, std::string("\x81\x01\x02\x03\x01\x04", 6))},
        {"zero.tga", encodeTga(2, 0, 5, 24, std::string(15, 'A'))},
        {"huge.tga", encodeTga(10, 16384, 16384, 32, std::string("\xff\x01\x02\x03\x04", 5))},
        {"header.tga", std::string("\x00\x00\x02", 3)},
    };
    for (const Case& c : cases) {
        const i16 row = world.textureCount;
        CaptureStderr();
        texture(c.file, c.bytes);
        const std::string messages = GetCapturedStderr();
        EXPECT_TRUE(isGreyReplacement(row)) << c.file;
        EXPECT_NE(messages.find(c.message), std::string::npos) << c.file << ": " << messages;
    }
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
