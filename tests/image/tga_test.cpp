#include "tests/image/decoding.h"

class TgaTexture : public Pictures {};

TEST_F(TgaTexture, UncompressedRowsKeepTheirStoredOrderAfterTheImageId)
{
    const std::string data("\x01\x02\x03\x04\x05\x06"
                           "\x07\x08\x09\x0a\x0b\x0c",
                           12);
    const Picture& row = decode("plain.tga", encodeTga(2, 2, 2, 24, data, "abc"));
    EXPECT_EQ(row.tgaIdLength, 3);
    EXPECT_EQ(texel(0, 0), (Bgr{1, 2, 3}));    // first stored pixel first, although the
    EXPECT_EQ(texel(0, 3), (Bgr{10, 11, 12})); // descriptor says the top row comes first
}

TEST_F(TgaTexture, RunAndLiteralPacketsExpand)
{
    const std::string packets("\x83\x0a\x14\x1e"
                              "\x01\x01\x02\x03\x04\x05\x06",
                              11);
    decode("packets.TGA", encodeTga(10, 3, 2, 24, packets)); // the extension's case does not matter
    for (int k = 0; k < 4; ++k) EXPECT_EQ(texel(0, k), (Bgr{10, 20, 30})); // 0x83: four copies
    EXPECT_EQ(texel(0, 4), (Bgr{1, 2, 3}));                                // 0x01: two pixels
    EXPECT_EQ(texel(0, 5), (Bgr{4, 5, 6}));
}

TEST_F(TgaTexture, ThirtyTwoBitPixelsDropTheirAlpha)
{
    decode("alpha.tga", encodeTga(2, 2, 1, 32, std::string("\x01\x02\x03\x63\x04\x05\x06\x63", 8)));
    decode("alpha-rle.tga", encodeTga(10, 2, 1, 32, std::string("\x81\x07\x08\x09\x63", 5)));
    EXPECT_EQ(texel(0, 0), (Bgr{1, 2, 3}));
    EXPECT_EQ(texel(0, 1), (Bgr{4, 5, 6}));
    EXPECT_EQ(texel(1, 1), (Bgr{7, 8, 9}));
}

TEST_F(TgaTexture, PacketRunningPastTheImageIsCutAtItsEnd)
{
    decode("long-run.tga", encodeTga(10, 2, 1, 24, std::string("\xff\x07\x08\x09", 4)));
    EXPECT_EQ(pictures[0].width, 2);
    EXPECT_EQ(texel(0, 1), (Bgr{7, 8, 9}));
}

TEST_F(TgaTexture, ColourMapBeforeTruecolourPixelsIsSkipped)
{
    std::string file = encodeTga(2, 1, 1, 24, std::string("\xaa\xbb\xcc\x01\x02\x03", 6));
    file[1] = 1; // colour map present: one entry of 24 bits
    file[5] = 1;
    file[7] = 24;
    decode("mapped.tga", file);
    EXPECT_EQ(texel(0, 0), (Bgr{1, 2, 3}));
}
