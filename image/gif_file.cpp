// GIF decoding through giflib into the JPEG layout: 4-byte pixels (blue, green, red,
// alpha), rows bottom-up. Only the first frame is taken: a world's texture is a still
// picture.
#include "image/picture_file.h"
#include "memory/memory.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace {

// The Graphics Control Extension's code: the block that names a transparent index.
constexpr int kGraphicsControl = 0xF9;

// An interlaced frame delivers its rows in four passes: every 8th row from 0, every
// 8th from 4, every 4th from 2, every 2nd from 1.
constexpr i32 kPassStart[4] = {0, 4, 2, 1};
constexpr i32 kPassStep[4] = {8, 8, 4, 2};

int readFromFile(GifFileType* gif, GifByteType* bytes, int length)
{
    if (length <= 0) return 0;
    std::FILE* file = static_cast<std::FILE*>(gif->UserData);
    return static_cast<int>(std::fread(bytes, 1, static_cast<std::size_t>(length), file));
}

// Everything one decode touches, released by readGifFile whatever happened.
struct GifDecode {
    GifFileType* gif = nullptr;
    u8* pixels = nullptr;
    i32 width = 0;
    i32 height = 0;
    i32 transparentIndex = -1; // from the Graphics Control Extension before the frame
    const char* refusal = nullptr;
    bool outOfMemory = false;
};

// Reads an extension block through to its end; a Graphics Control Extension sets the
// transparent index of the frame that follows.
bool readExtension(GifDecode& decode)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(decode.gif, &code, &block) != GIF_OK) return false;
    if (code == kGraphicsControl && block) {
        GraphicsControlBlock control{};
        // block[0] is the sub-block's length, its bytes follow.
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            decode.transparentIndex = control.TransparentColor;
    }
    while (block) {
        if (DGifGetExtensionNext(decode.gif, &block) != GIF_OK) return false;
    }
    return true;
}

// The canvas: the logical screen the frames are placed on, or the frame's own size
// when the screen's is not one the viewer takes.
bool makeCanvas(GifDecode& decode, const GifImageDesc& frame)
{
    const GifFileType& gif = *decode.gif;
    const bool screen = pictureSizeAllowed(gif.SWidth, gif.SHeight);
    decode.width = screen ? gif.SWidth : frame.Width;
    decode.height = screen ? gif.SHeight : frame.Height;
    if (!pictureSizeAllowed(decode.width, decode.height) ||
        !pictureSizeAllowed(frame.Width, frame.Height)) {
        decode.refusal = "larger than 16384 pixels a side";
        return false;
    }
    decode.pixels = allocPicturePixels(decode.width, decode.height);
    decode.outOfMemory = !decode.pixels;
    if (!decode.pixels) return false;
    // What the first frame does not cover is not part of the picture: clear.
    std::memset(decode.pixels, 0,
                static_cast<std::size_t>(decode.width) * static_cast<std::size_t>(decode.height) *
                    4);
    return true;
}

// One row of frame indices onto canvas row y (from the top), clipped to the canvas.
// An index beyond the colour table is black; the transparent index gets alpha 0.
void placeRow(GifDecode& decode, const GifImageDesc& frame, const ColorMapObject& colours,
              const std::vector<GifPixelType>& indices, i32 y)
{
    if (y < 0 || y >= decode.height) return;
    u8* row = decode.pixels + static_cast<std::size_t>(decode.height - 1 - y) *
                                  static_cast<std::size_t>(decode.width) * 4;
    for (i32 k = 0; k < frame.Width; ++k) {
        const i32 x = frame.Left + k;
        if (x < 0 || x >= decode.width) continue;
        const i32 index = indices[static_cast<std::size_t>(k)];
        u8* pixel = row + static_cast<std::size_t>(x) * 4;
        if (index < colours.ColorCount && colours.Colors) {
            const GifColorType& colour = colours.Colors[index];
            pixel[0] = colour.Blue;
            pixel[1] = colour.Green;
            pixel[2] = colour.Red;
        } else {
            pixel[0] = pixel[1] = pixel[2] = 0;
        }
        pixel[3] = index == decode.transparentIndex ? 0 : 0xFF;
    }
}

// The first frame's rows, in the order the file gives them.
bool readFrame(GifDecode& decode)
{
    if (DGifGetImageDesc(decode.gif) != GIF_OK) return false;
    const GifImageDesc& frame = decode.gif->Image;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : decode.gif->SColorMap;
    if (!colours) {
        decode.refusal = "no colour table";
        return false;
    }
    if (!makeCanvas(decode, frame)) return false;
    std::vector<GifPixelType> indices(static_cast<std::size_t>(frame.Width));
    auto readRow = [&](i32 y) {
        if (DGifGetLine(decode.gif, indices.data(), frame.Width) != GIF_OK) return false;
        placeRow(decode, frame, *colours, indices, frame.Top + y);
        return true;
    };
    if (frame.Interlace) {
        for (int pass = 0; pass < 4; ++pass)
            for (i32 y = kPassStart[pass]; y < frame.Height; y += kPassStep[pass])
                if (!readRow(y)) return false;
    } else {
        for (i32 y = 0; y < frame.Height; ++y)
            if (!readRow(y)) return false;
    }
    return true;
}

// Records up to the first frame; the frames after it are never read.
bool decodeGif(GifDecode& decode)
{
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(decode.gif, &record) != GIF_OK) return false;
        if (record == IMAGE_DESC_RECORD_TYPE) return readFrame(decode);
        if (record == EXTENSION_RECORD_TYPE) {
            if (!readExtension(decode)) return false;
            continue;
        }
        decode.refusal = "no picture in the file";
        return false;
    }
}

} // namespace

bool readGifFile(const char* path, DecodedPicture& picture)
{
    picture = DecodedPicture{};
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) {
        setPictureReason(picture, std::strerror(errno));
        return false;
    }
    GifDecode decode;
    int error = 0;
    decode.gif = DGifOpen(file, readFromFile, &error);
    const bool decoded = decode.gif && decodeGif(decode);
    if (!decoded && decode.gif && decode.gif->Error != 0) error = decode.gif->Error;
    if (decode.gif) DGifCloseFile(decode.gif, nullptr);
    std::fclose(file);
    if (!decoded) {
        PluginFree(decode.pixels);
        const char* libraryReason = error != 0 ? GifErrorString(error) : nullptr;
        setPictureReason(picture, decode.refusal       ? decode.refusal
                                  : decode.outOfMemory ? "out of memory"
                                  : libraryReason      ? libraryReason
                                                  : "the picture data is cut short or damaged");
        return false;
    }
    // Both sides are at most kMaxPictureSide, so they fit the 16-bit fields.
    picture.jpegWidth = static_cast<i16>(decode.width);
    picture.jpegHeight = static_cast<i16>(decode.height);
    picture.jpegPixels = decode.pixels;
    return true;
}
