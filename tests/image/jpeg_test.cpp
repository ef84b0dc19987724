#include "tests/image/decoding.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

class JpegTexture : public Pictures {};

TEST_F(JpegTexture, SixtyFourByThirtyTwoKeepsItsSize)
{
    const Picture& row = decode("wide.jpg", encodeJpeg(64, 32, std::string(64 * 32 * 3, 'A')));
    EXPECT_EQ(row.width, 64); // never rounded to a power of two
    EXPECT_EQ(row.height, 32);
    EXPECT_EQ(row.tgaIdLength, 0);
}

TEST_F(JpegTexture, OnePixelColumnEndsWithItsTopPixel)
{
    // Top to bottom: blue, green, red.
    const std::string column("\x00\x00\xff"
                             "\x00\xff\x00"
                             "\xff\x00\x00",
                             9);
    decode("column.jpg", encodeJpeg(1, 3, column));
    EXPECT_TRUE(isNear(texel(0, 0), {0, 0, 255})); // red, the bottom pixel, comes first
    EXPECT_TRUE(isNear(texel(0, 1), {0, 255, 0}));
    EXPECT_TRUE(isNear(texel(0, 2), {255, 0, 0})); // blue, the top pixel, comes last
}

TEST_F(JpegTexture, GrayscaleValueGoesIntoAllThreeBytes)
{
    decode("gray.jpg", encodeJpeg(8, 8, std::string(64, '\x5a'), {.components = 1}));
    EXPECT_TRUE(isNear(texel(0, 27), {0x5a, 0x5a, 0x5a}));
}

TEST_F(JpegTexture, AdobeCmykBecomesRgb)
{
    // Inverted as Adobe stores it: no cyan, full magenta, no yellow, no black.
    std::string samples;
    for (int k = 0; k < 64; ++k) samples += std::string("\xff\x00\xff\xff", 4);
    decode("cmyk.jpg", encodeJpeg(8, 8, samples, {.components = 4}));
    EXPECT_TRUE(isNear(texel(0, 9), {255, 0, 255}));
}

TEST_F(JpegTexture, ExtensionCaseDoesNotMatterAndContentWinsOverExtension)
{
    const std::string jpeg = encodeJpeg(8, 4, std::string(8 * 4 * 3, 'A'));
    EXPECT_EQ(decode("upper.JPG", jpeg).width, 8);
    EXPECT_EQ(decode("mislabelled.tga", jpeg).width, 8);
    EXPECT_EQ(decode("mislabelled.gif", jpeg).width, 8);
}

TEST_F(JpegTexture, CorruptDataWarningsDoNotStopTheDecodeAndPrintNothing)
{
    std::string jpeg = encodeJpeg(8, 8, std::string(192, 'A'));
    // Stray bytes before two header markers: two corrupt-data warnings.
    jpeg.insert(jpeg.find("\xff\xc0"), "\x01\x02\x03");
    jpeg.insert(jpeg.find("\xff\xdb"), "\x01\x02\x03");
    CaptureStderr();
    const Picture& picture = decode("stray.jpg", jpeg);
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_EQ(picture.width, 8);
}

TEST(JpegReader, MissingFileGivesTheSystemsReasonAndAnswersZero)
{
    const std::string path = testing_support::tempDir() + "nowhere.jpg";
    JpegPicture picture;
    CaptureStderr();
    EXPECT_EQ(readJpegFile(path.c_str(), picture), 0);
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_STREQ(picture.reason, "No such file or directory");
    EXPECT_EQ(picture.jpegPixels, nullptr);
}
