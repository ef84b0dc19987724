// tests/image/picture_writers.h - small pictures the image tests write themselves, and
// the fixture they share: a fresh World and texture rows loaded from named files.
#pragma once

#include "image/image.h"
#include "tests/support/test_support.h"
#include "world/tables.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

// Samples top row first: 3 bytes (red, green, blue) a pixel, 1 for gray, 4 for CMYK.
struct JpegOptions {
    int components = 3;
    bool arithmetic = false; // arithmetic coding instead of Huffman
};
std::string encodeJpeg(int width, int height, const std::string& samples, JpegOptions options = {});

// Rows top first, packed as the PNG colour type and depth store them. A palette is
// red, green, blue triples; `transparency` a tRNS chunk's bytes.
struct PngOptions {
    int colorType = 2; // PNG_COLOR_TYPE_RGB
    int bitDepth = 8;
    bool interlaced = false;
    std::string palette = {};
    std::string transparency = {};
};
std::string encodePng(int width, int height, const std::string& rows, PngOptions options = {});

// An 18-byte TGA header, the image ID and the pixel data as given.
std::string encodeTga(int imageType, int width, int height, int depth, const std::string& data,
                      const std::string& imageId = "");

using Bgr = std::array<int, 3>;

// Within 3 on every channel: JPEG keeps colours to a step or two.
::testing::AssertionResult isNear(const Bgr& got, const Bgr& want);

class Pictures : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(initWorldTables(world)); }
    void TearDown() override { freeWorldTables(world); }

    // Writes `bytes` as `file` in the test folder (unless empty), names it in the next
    // texture row as the reader would, loads it and counts the row.
    const TextureRecord& texture(const std::string& file, const std::string& bytes);
    // Blue, green, red of pixel `index` of a texture row's block.
    Bgr texel(i16 row, int index) const;
    // True when the row holds the 40 x 40 grey replacement.
    bool isGreyReplacement(i16 row) const;

    World world;
};
