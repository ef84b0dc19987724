// image/picture_file.h - the decoders behind the image entry points, shared by the
// texture, reflection and background loaders (and by the tests and fuzz targets).
//
// Owns: nothing beyond the picture it hands back.
// Reads: picture files (JPEG, PNG, TGA, GIF).
// Writes: a DecodedPicture: width x height pixels of 4 bytes (blue, green, red, and a
// fourth byte that holds alpha for GIF and means nothing for the other formats), the
// block from PluginAlloc, freed by the caller with PluginFree. JPEG, PNG and GIF rows are bottom-up
// (the picture's top row is the block's last row); TGA rows keep the order in which the file stores
// them, whatever its descriptor byte says. Entry points: choosePictureKind, readPictureFile,
// readPngFile, readTgaFile, readGifFile,
//               allocPicturePixels, packPixels.
// Failure: every reader answers false, frees what it allocated and leaves the picture
// empty. Sizes of 0 or above kMaxPictureSide are refused, and so are truncated files:
// a picture whose data ends early is not loaded at all (no half-grey pictures).
#pragma once

#include "base/types.h"
#include "image/image.h"

// Every decoder delivers the layout readJpegFile delivers.
using DecodedPicture = JpegPicture;

// The widest and tallest picture taken. The size fields are 16-bit, so a larger
// value would wrap when stored; 16384 x 16384 x 4 bytes still fits the 32-bit
// byte count of the memory service.
constexpr i32 kMaxPictureSide = 16384;

enum class PictureKind : u8 {
    None, // not a picture this viewer decodes
    Jpeg,
    Png,
    Tga,
    Gif,
};

// The decoder for the file at `path`: its first bytes decide when they identify JPEG
// (FF D8 FF), PNG (89 'P' 'N' 'G') or GIF ("GIF8"); otherwise the extension (the text
// after the last '.', compared without case): "jpg" JPEG, "png" PNG, "tga" TGA, "gif"
// GIF, and anything else `otherExtensions` (None for textures, Tga for background
// pictures).
PictureKind choosePictureKind(const char* path, PictureKind otherExtensions);

// Runs the decoder of `kind` on the file. `tgaIdLength` receives the TGA image-ID
// length (0 for other kinds). False when the picture is not loaded.
bool readPictureFile(const char* path, PictureKind kind, DecodedPicture& picture, i16& tgaIdLength);

// PNG of any colour type and depth: palettes expanded, gray copied into all three
// bytes, 16-bit samples cut to their high byte, alpha and transparency dropped.
bool readPngFile(const char* path, DecodedPicture& picture);

// TGA true-colour, uncompressed (any type but 10) or run-length encoded (type 10),
// 24 or 32 bits a pixel (alpha dropped); other depths are refused.
bool readTgaFile(const char* path, DecodedPicture& picture, i16& idLength);

// GIF (87a or 89a): the first frame on the logical screen (or on its own size when the
// screen's is refused), interlaced or not, through its own colour table or the global
// one. The fourth byte is alpha: 0 for the transparent index of the frame's Graphics
// Control Extension and where the frame does not cover the screen, 255 elsewhere. An
// index beyond the colour table is black. Later frames are not read.
bool readGifFile(const char* path, DecodedPicture& picture);

// True when a picture of this size is taken (1..kMaxPictureSide on each side).
inline bool pictureSizeAllowed(i64 width, i64 height)
{
    return width >= 1 && width <= kMaxPictureSide && height >= 1 && height <= kMaxPictureSide;
}

// A block for width x height 4-byte pixels, or null when the size is refused or
// memory ran out.
u8* allocPicturePixels(i32 width, i32 height);

// The picture's pixels at 3 bytes each (blue, green, red), rows in the same order, in
// a new block from PluginAlloc; null when memory ran out.
u8* packPixels(const DecodedPicture& picture);
