#include "tests/image/decoding.h"

#include <cstring>
#include <png.h>

class PngTexture : public Pictures {};

TEST_F(PngTexture, RowsComeBottomUpInBlueGreenRedOrder)
{
    // Top row red, green; bottom row blue, white.
    const std::string rows("\xff\x00\x00\x00\xff\x00"
                           "\x00\x00\xff\xff\xff\xff",
                           12);
    decode("square.png", encodePng(2, 2, rows));
    EXPECT_EQ(texel(0, 0), (Bgr{255, 0, 0})); // bottom-left blue first
    EXPECT_EQ(texel(0, 1), (Bgr{255, 255, 255}));
    EXPECT_EQ(texel(0, 2), (Bgr{0, 0, 255})); // top-left red
    EXPECT_EQ(texel(0, 3), (Bgr{0, 255, 0}));
}

TEST_F(PngTexture, PaletteIsExpandedAndItsTransparencyDropped)
{
    const PngOptions options{.colorType = PNG_COLOR_TYPE_PALETTE,
                             .bitDepth = 1,
                             .palette = std::string("\x10\x20\x30\xa0\xb0\xc0", 6),
                             .transparency = std::string("\x00", 1)};
    decode("palette.png", encodePng(2, 1, std::string("\x40", 1), options)); // indices 0, 1
    EXPECT_EQ(texel(0, 0), (Bgr{0x30, 0x20, 0x10}));
    EXPECT_EQ(texel(0, 1), (Bgr{0xc0, 0xb0, 0xa0}));
}

TEST_F(PngTexture, GrayGoesIntoAllThreeBytesAtAnyDepth)
{
    decode("bits.png", encodePng(2, 1, std::string("\x40", 1),
                                 {.colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 1}));
    EXPECT_EQ(texel(0, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(texel(0, 1), (Bgr{255, 255, 255}));
    decode("gray-alpha.png", encodePng(1, 1, "\x5a\x10", {.colorType = PNG_COLOR_TYPE_GRAY_ALPHA}));
    EXPECT_EQ(texel(1, 0), (Bgr{0x5a, 0x5a, 0x5a}));
}

TEST_F(PngTexture, SixteenBitKeepsTheHighByteAndDropsAlpha)
{
    const std::string pixel("\x12\x34\xab\xcd\x00\xff\x00\x00", 8); // r, g, b, a
    decode("deep.png", encodePng(1, 1, pixel, {.colorType = PNG_COLOR_TYPE_RGBA, .bitDepth = 16}));
    EXPECT_EQ(texel(0, 0), (Bgr{0x00, 0xab, 0x12}));
}

TEST_F(PngTexture, InterlacedFileGivesTheSamePixels)
{
    std::string rows;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            rows += {static_cast<char>(x * 20), static_cast<char>(y * 20), 7};
    decode("plain.png", encodePng(9, 9, rows));
    decode("interlaced.png", encodePng(9, 9, rows, {.interlaced = true}));
    ASSERT_EQ(pictures[1].width, 9);
    EXPECT_EQ(
        0, std::memcmp(pictures[0].decoded.jpegPixels, pictures[1].decoded.jpegPixels, 9 * 9 * 4));
    EXPECT_EQ(texel(1, 8 * 9 + 4), (Bgr{7, 0, 80})); // top row last: x 4, y 0
}
