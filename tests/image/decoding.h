// tests/image/decoding.h - the fixture of the decoder tests: picture files written into
// the test folder and decoded as a world's texture would be (the decoder chosen by the
// file's first bytes, then its extension).
#pragma once

#include "image/picture_file.h"
#include "memory/memory.h"
#include "tests/support/picture_writers.h"

#include <deque>

// One decoded file: its size, TGA image-ID length and pixels (4 bytes each, rows as
// the decoder delivers them); nothing when it was not loaded.
struct Picture {
    bool loaded = false;
    i32 width = 0;
    i32 height = 0;
    i16 tgaIdLength = 0;
    DecodedPicture decoded;
};

class Pictures : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (Picture& picture : pictures) PluginFree(picture.decoded.jpegPixels);
    }
    // Writes `bytes` as `file` in the test folder (unless empty) and decodes it.
    const Picture& decode(const std::string& file, const std::string& bytes)
    {
        const std::string path = testing_support::tempDir() + file;
        if (!bytes.empty()) testing_support::writeTempFile(file, bytes);
        Picture& picture = pictures.emplace_back();
        const PictureKind kind = choosePictureKind(path.c_str(), PictureKind::None);
        picture.loaded = kind != PictureKind::None &&
                         readPictureFile(path.c_str(), kind, picture.decoded, picture.tgaIdLength);
        picture.width = picture.decoded.jpegWidth;
        picture.height = picture.decoded.jpegHeight;
        return picture;
    }
    // Blue, green, red of pixel `index` (storage order) of the n-th decoded picture.
    Bgr texel(std::size_t picture, int index) const
    {
        const u8* pixel = pictures[picture].decoded.jpegPixels + 4 * index;
        return {pixel[0], pixel[1], pixel[2]};
    }

    std::deque<Picture> pictures; // a deque keeps references to earlier pictures valid
};
