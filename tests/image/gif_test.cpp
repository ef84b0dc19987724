#include "tests/image/decoding.h"

class GifTexture : public Pictures {
protected:
    u8 alpha(std::size_t picture, int index) const
    {
        return pictures[picture].decoded.jpegPixels[4 * index + 3];
    }
};

const std::string kFourColours("\xff\x00\x00\x00\xff\x00\x00\x00\xff\xff\xff\xff", 12);

TEST_F(GifTexture, RowsComeBottomUpInBlueGreenRedOrderThroughThePalette)
{
    // Top row red, green; bottom row blue, white (palette indices 0 1 / 2 3).
    GifOptions options;
    options.palette = kFourColours;
    const Picture& square =
        decode("square.gif", encodeGif(2, 2, std::string("\x00\x01\x02\x03", 4), options));
    ASSERT_TRUE(square.loaded) << square.decoded.reason;
    EXPECT_EQ(square.width, 2);
    EXPECT_EQ(texel(0, 0), (Bgr{255, 0, 0})); // bottom-left blue first
    EXPECT_EQ(texel(0, 1), (Bgr{255, 255, 255}));
    EXPECT_EQ(texel(0, 2), (Bgr{0, 0, 255})); // top-left red
    EXPECT_EQ(texel(0, 3), (Bgr{0, 255, 0}));
}

TEST_F(GifTexture, TheTransparentIndexGetsAlphaZeroAndKeepsItsColour)
{
    GifOptions options;
    options.palette = kFourColours;
    options.transparentIndex = 1;
    decode("hole.gif", encodeGif(2, 1, std::string("\x00\x01", 2), options));
    EXPECT_EQ(alpha(0, 0), 255);
    EXPECT_EQ(alpha(0, 1), 0);
    EXPECT_EQ(texel(0, 1), (Bgr{0, 255, 0}));
}

TEST_F(GifTexture, InterlacedRowsAndALocalPaletteGiveTheSamePixels)
{
    std::string rows;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 3; ++x) rows += static_cast<char>((x + y) % 4);
    GifOptions plain;
    plain.palette = kFourColours;
    GifOptions interlaced = plain;
    interlaced.interlaced = true;
    interlaced.localPalette = true;
    decode("plain.gif", encodeGif(3, 9, rows, plain));
    decode("interlaced.gif", encodeGif(3, 9, rows, interlaced));
    ASSERT_TRUE(pictures[1].loaded) << pictures[1].decoded.reason;
    for (int k = 0; k < 27; ++k) EXPECT_EQ(texel(0, k), texel(1, k)) << k;
    EXPECT_EQ(texel(1, 8 * 3 + 1), (Bgr{0, 255, 0})); // top row, x 1: index 1
}

TEST_F(GifTexture, OnlyTheFirstFrameIsTaken)
{
    GifOptions options;
    options.palette = kFourColours;
    options.secondFrame = std::string("\x03", 1);
    decode("animated.gif", encodeGif(1, 1, std::string("\x02", 1), options));
    EXPECT_EQ(texel(0, 0), (Bgr{255, 0, 0}));
}

TEST_F(GifTexture, AFileCutShortIsNotLoadedAndSaysWhy)
{
    const std::string whole = encodeGif(4, 4, std::string(16, '\x01'));
    const Picture& cut = decode("cut.gif", whole.substr(0, whole.size() - 8));
    EXPECT_FALSE(cut.loaded);
    EXPECT_NE(cut.decoded.reason[0], '\0');
    EXPECT_EQ(cut.decoded.jpegPixels, nullptr);
}
