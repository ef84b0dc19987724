// Hostile and broken picture files are refused whole, with the decoder's reason.
#include "tests/image/decoding.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

class RefusedPicture : public Pictures {};

TEST_F(RefusedPicture, TruncatedOversizedOrUnsupportedFilesAreNotLoaded)
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
        const char* message = ""; // part of the reason the picture gives
    };
    const Case cases[] = {
        {"absent.jpg", "", "No such file or directory"}, // never written
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
        CaptureStderr();
        const Picture& picture = decode(c.file, c.bytes);
        EXPECT_EQ(GetCapturedStderr(), "") << c.file; // the caller tells the user, once
        EXPECT_FALSE(picture.loaded) << c.file;
        EXPECT_EQ(picture.decoded.jpegPixels, nullptr) << c.file;
        const std::string reason = picture.decoded.reason;
        EXPECT_FALSE(reason.empty()) << c.file;
        EXPECT_NE(reason.find(c.message), std::string::npos) << c.file << ": " << reason;
    }
}
