// tests/support/picture_writers.h - small pictures the tests write themselves: JPEG,
// PNG and TGA files encoded in memory, a colour comparison that allows for JPEG, and
// PNG files the programs wrote read back.
#pragma once

#include "tests/support/test_support.h"

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

// A GIF of one frame (and a second when asked for), rows of palette indices top first.
// The palette is red, green, blue triples, padded to a power of two.
struct GifOptions {
    std::string palette = std::string("\0\0\0\xff\xff\xff", 6);
    int transparentIndex = -1; // a Graphics Control Extension naming it, before the frame
    bool interlaced = false;   // the rows are stored in the four interlace passes
    bool localPalette = false; // the frame's own colour table instead of the global one
    std::string secondFrame;   // indices of a second frame of the same size, or none
};
std::string encodeGif(int width, int height, const std::string& indices, GifOptions options = {});

// An 18-byte TGA header, the image ID and the pixel data as given.
std::string encodeTga(int imageType, int width, int height, int depth, const std::string& data,
                      const std::string& imageId = "");

using Bgr = std::array<int, 3>;
using Rgb = std::array<int, 3>;

// A PNG file read back with libpng: its size, whether it holds alpha, and its pixels as
// red, green, blue, rows top-down; nothing when the file cannot be read.
struct PngFile {
    unsigned width = 0;
    unsigned height = 0;
    bool alpha = false;
    std::string rgb;
    Rgb at(unsigned x, unsigned y) const;
};
PngFile readPng(const std::string& path);

// Within 3 on every channel: JPEG keeps colours to a step or two.
::testing::AssertionResult isNear(const Bgr& got, const Bgr& want);
