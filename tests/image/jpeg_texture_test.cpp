#include "plugin/memory.h"
#include "tests/image/picture_writers.h"

#include <cstdlib>
#include <map>

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// A memory service that remembers the size of each block it handed out.
struct SizeRecorder {
    static std::map<void*, u32>& sizes()
    {
        static std::map<void*, u32> blocks;
        return blocks;
    }
    static void* alloc(u32 size)
    {
        void* block = std::malloc(size == 0 ? 1 : size);
        sizes()[block] = size;
        return block;
    }
    static void release(void* block)
    {
        sizes().erase(block);
        std::free(block);
    }
};

// Pseudo-random samples, so a picture does not compress to almost nothing.
static std::string noise(size_t count)
{
    std::string samples(count, '\0');
    unsigned state = 12345;
    for (char& sample : samples)
        sample = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
    return samples;
}

class JpegTexture : public Pictures {};

TEST_F(JpegTexture, SixtyFourByThirtyTwoKeepsItsSizeInA6144ByteBlock)
{
    setMemoryFunctions(SizeRecorder::alloc, SizeRecorder::release);
    const TextureRecord& row =
        texture("wide.jpg", encodeJpeg(64, 32, std::string(64 * 32 * 3, 'A')));
    setMemoryFunctions(nullptr, nullptr);
    EXPECT_EQ(row.width, 64); // never rounded to a power of two
    EXPECT_EQ(row.height, 32);
    EXPECT_EQ(row.tgaIdLength, 0);
    EXPECT_EQ(SizeRecorder::sizes()[world.texturePixels[0]], 6144u);
}

TEST_F(JpegTexture, OnePixelColumnEndsWithItsTopPixel)
{
    // Top to bottom: blue, green, red.
    const std::string column("\x00\x00\xff"
                             "\x00\xff\x00"
                             "\xff\x00\x00",
                             9);
    texture("column.jpg", encodeJpeg(1, 3, column));
    EXPECT_TRUE(isNear(texel(0, 0), {0, 0, 255})); // red, the bottom pixel, comes first
    EXPECT_TRUE(isNear(texel(0, 1), {0, 255, 0}));
    EXPECT_TRUE(isNear(texel(0, 2), {255, 0, 0})); // blue, the top pixel, comes last
}

TEST_F(JpegTexture, GrayscaleValueGoesIntoAllThreeBytes)
{
    texture("gray.jpg", encodeJpeg(8, 8, std::string(64, '\x5a'), JpegOptions(1)));
    EXPECT_TRUE(isNear(texel(0, 27), {0x5a, 0x5a, 0x5a}));
}

TEST_F(JpegTexture, AdobeCmykBecomesRgb)
{
    // Inverted as Adobe stores it: no cyan, full magenta, no yellow, no black.
    std::string samples;
    for (int k = 0; k < 64; ++k) samples += std::string("\xff\x00\xff\xff", 4);
    texture("cmyk.jpg", encodeJpeg(8, 8, samples, JpegOptions(4)));
    EXPECT_TRUE(isNear(texel(0, 9), {255, 0, 255}));
}

TEST_F(JpegTexture, ExtensionCaseDoesNotMatterAndContentWinsOverExtension)
{
    const std::string jpeg = encodeJpeg(8, 4, std::string(8 * 4 * 3, 'A'));
    EXPECT_EQ(texture("upper.JPG", jpeg).width, 8);
    EXPECT_EQ(texture("mislabelled.tga", jpeg).width, 8);
    EXPECT_EQ(texture("mislabelled.gif", jpeg).width, 8);
}

TEST_F(JpegTexture, FirstCorruptDataWarningShownLaterOnesNot)
{
    std::string jpeg = encodeJpeg(8, 8, std::string(192, 'A'));
    // Stray bytes before two header markers: two corrupt-data warnings.
    jpeg.insert(jpeg.find("\xff\xc0"), "\x01\x02\x03");
    jpeg.insert(jpeg.find("\xff\xdb"), "\x01\x02\x03");
    CaptureStderr();
    texture("stray.jpg", jpeg);
    const std::string messages = GetCapturedStderr();
    EXPECT_EQ(messages, "Corrupt JPEG data: 3 extraneous bytes before marker 0xdb\n");
    EXPECT_EQ(world.textures[0].width, 8); // warnings do not stop the decode
}

TEST_F(JpegTexture, UndecodableFilesGetTheGreyReplacement)
{
    const std::string whole = encodeJpeg(64, 64, noise(64 * 64 * 3));
    const JpegOptions arithmetic(3, false, true);
    CaptureStderr();
    texture("garbage.jpg", "this is no picture");
    texture("truncated.jpg", whole.substr(0, whole.size() / 2));
    texture("arithmetic.jpg", encodeJpeg(8, 8, std::string(192, 'A'), arithmetic));
    texture("too-wide.jpg", encodeJpeg(16385, 1, std::string(16385 * 3, 'A')));
    const std::string messages = GetCapturedStderr();
    for (i16 row = 0; row < 4; ++row) EXPECT_TRUE(isGreyReplacement(row)) << "row " << row;
    EXPECT_NE(messages.find("Not a JPEG file"), std::string::npos);
    EXPECT_NE(messages.find("Premature end of JPEG file"), std::string::npos);
    EXPECT_NE(messages.find("arithmetic coding is not implemented"), std::string::npos);
    EXPECT_NE(messages.find("Maximum supported image dimension is 16384 pixels"),
              std::string::npos);
}

TEST_F(JpegTexture, HeaderClaimingFarMorePixelsThanItsDataIsNotLoaded)
{
    std::string jpeg = encodeJpeg(8, 8, std::string(64, 'A'), JpegOptions(1));
    const size_t frame = jpeg.find("\xff\xc0");
    jpeg.replace(frame + 5, 4,
                 std::string("\x40\x00\x40\x00", 4)); // 16384 x 16384 from one block of data
    CaptureStderr();
    texture("claims.jpg", jpeg);
    GetCapturedStderr();
    EXPECT_TRUE(isGreyReplacement(0));
}

TEST(JpegReader, MissingFileSaysCantOpenAndAnswersZero)
{
    const std::string path = testing_support::tempDir() + "nowhere.jpg";
    JpegPicture picture;
    CaptureStderr();
    EXPECT_EQ(readJpegFile(path.c_str(), picture), 0);
    EXPECT_EQ(GetCapturedStderr(), "can't open " + path + "\n");
    EXPECT_EQ(picture.jpegPixels, nullptr);
}
