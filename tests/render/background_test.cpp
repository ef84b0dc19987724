// The background picture scaled by nearest sample into the frame's background buffer.
#include "render/render.h"
#include "tests/support/picture_writers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using testing_support::writeTempFile;

class BackgroundPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::snprintf(world.worldFolder, sizeof world.worldFolder, "%s",
                      testing_support::tempDir().c_str());
    }
    void TearDown() override { FreeFrameBuffers(frame); }
    // Writes the picture, names it as the world's background and prepares a fresh
    // W x H background buffer whose bytes all start as 0xAB.
    void show(const std::string& name, const std::string& bytes, i16 width, i16 height)
    {
        if (!bytes.empty()) writeTempFile(name, bytes);
        std::snprintf(world.backgroundUrl, sizeof world.backgroundUrl, "%s", name.c_str());
        world.backgroundMode = 3;
        ASSERT_TRUE(CreateFrameBuffers(frame, width, height));
        const std::size_t bytesCount = static_cast<std::size_t>(width * height * 4);
        std::memset(frame.backgroundBuffer, 0xAB, bytesCount);
        PrepareBackground(world, frame);
        buffer.assign(frame.backgroundBuffer, frame.backgroundBuffer + bytesCount);
        bufferWidth = width;
    }
    Bgr pixel(int row, int column) const
    {
        const u8* p = buffer.data() + 4 * (row * bufferWidth + column);
        return {p[0], p[1], p[2]};
    }
    bool untouched() const
    {
        return std::all_of(buffer.begin(), buffer.end(), [](u8 byte) { return byte == 0xAB; });
    }
    World world;
    FrameState frame;
    std::vector<u8> buffer;
    i32 bufferWidth = 0;
};

TEST_F(BackgroundPicture, IsSampledAtTruncatedPositionsOfTheNearestPixel)
{
    std::string data;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) data += {static_cast<char>(x), static_cast<char>(y), 7};
    show("half.tga", encodeTga(2, 100, 50, 24, data), 200, 100);
    for (int row = 0; row < 100; ++row)
        for (int column = 0; column < 200; ++column)
            ASSERT_EQ(pixel(row, column), (Bgr{column / 2, row / 2, 7})) << row << "," << column;
    for (size_t k = 3; k < buffer.size(); k += 4) ASSERT_EQ(buffer[k], 0xAB); // fourth byte kept
    // A larger picture is sampled at truncated positions.
    show("wide.tga",
         encodeTga(2, 5, 1, 24,
                   std::string("\x00\x00\x00\x01\x01\x01\x02\x02\x02\x03\x03\x03\x04\x04\x04", 15)),
         2, 1);
    EXPECT_EQ(pixel(0, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(pixel(0, 1), (Bgr{2, 2, 2})); // trunc(1 / 2 x 5) = 2
}

TEST_F(BackgroundPicture, PngAndJpegLandUprightInTheBottomUpBuffer)
{
    const std::string topRedBottomBlue("\xff\x00\x00\x00\x00\xff", 6);
    show("sky.png", encodePng(1, 2, topRedBottomBlue), 4, 4);
    EXPECT_EQ(pixel(0, 0), (Bgr{255, 0, 0})); // buffer row 0 is the bottom
    EXPECT_EQ(pixel(3, 3), (Bgr{0, 0, 255}));
    std::string samples;
    for (int row = 0; row < 8; ++row)
        samples += std::string(row < 4 ? "\xff\x00\x00" : "\x00\x00\xff", 3);
    show("sky.JPG", encodeJpeg(1, 8, samples), 2, 2); // upper-case extension, still a JPEG
    EXPECT_TRUE(isNear(pixel(0, 0), {255, 0, 0}));
    EXPECT_TRUE(isNear(pixel(1, 1), {0, 0, 255}));
}

TEST_F(BackgroundPicture, MissingOrUndecodablePictureLeavesTheBufferAsItWas)
{
    // A 40-bit depth would put 5 bytes into each 4-byte slot.
    const std::pair<const char*, std::string> pictures[] = {
        {"nowhere.jpg", ""},
        {"forty.tga", encodeTga(2, 2, 2, 40, std::string(20, '\x11'))},
        {"garbage.jpg", "no picture at all"},
        {"cut.tga", encodeTga(10, 4, 4, 24, std::string("\x81\x01\x02\x03", 4))},
        {"bitmap.bmp", "BM not a tga either"}};
    CaptureStderr();
    for (const auto& [name, bytes] : pictures) {
        show(name, bytes, 8, 8);
        EXPECT_TRUE(untouched()) << name;
    }
    GetCapturedStderr();
}
