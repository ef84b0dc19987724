// PNG decoding through libpng into the JPEG layout: 4-byte pixels (blue, green, red,
// unused), rows bottom-up.
#include "image/picture_file.h"
#include "memory/memory.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <png.h>

// Everything one decode touches. It lives in readPngFile's frame, not in the frame
// that calls setjmp, so its fields keep their values when libpng jumps back.
struct PngDecode {
    png_structp png;
    png_infop info;
    std::FILE* file;
    u8* pixels;
    i32 width;
    i32 height;
    const char* refusal;              // why a picture libpng read was refused, when it was ours
    char message[kPictureReasonSize]; // libpng's error, when it stopped the decode
};

// libpng's errors end the decode; its message is the reason the picture is not loaded.
static void stopOnPngError(png_structp png, png_const_charp message)
{
    PngDecode* decode = static_cast<PngDecode*>(png_get_error_ptr(png));
    std::snprintf(decode->message, sizeof decode->message, "%s", message ? message : "");
    png_longjmp(png, 1);
}

// Warnings (an unknown colour profile, a damaged ancillary chunk) do not change
// the picture we take from the file; they are not shown.
static void ignorePngWarning(png_structp, png_const_charp) {}

// Asks libpng for 8-bit blue, green, red and a filler byte, whatever the file holds.
// Gamma and transparency are not applied: the viewer takes colours as stored.
static void requestBgrx(png_structp png, png_infop info)
{
    const png_byte colorType = png_get_color_type(png, info);
    const png_byte bitDepth = png_get_bit_depth(png, info);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (bitDepth == 16) png_set_strip_16(png);
    // A tRNS chunk turns into alpha as palettes expand; it goes the way of alpha.
    if ((colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_strip_alpha(png);
    if (!(colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
}

// The decode proper; libpng's errors come back here through longjmp.
static bool decodePng(PngDecode& decode)
{
    if (setjmp(png_jmpbuf(decode.png))) return false;
    png_init_io(decode.png, decode.file);
    png_set_user_limits(decode.png, kMaxPictureSide, kMaxPictureSide);
    png_read_info(decode.png, decode.info);
    const png_uint_32 width = png_get_image_width(decode.png, decode.info);
    const png_uint_32 height = png_get_image_height(decode.png, decode.info);
    if (!pictureSizeAllowed(width, height)) {
        decode.refusal = "larger than 16384 pixels a side";
        return false;
    }
    requestBgrx(decode.png, decode.info);
    const int passes = png_set_interlace_handling(decode.png);
    png_read_update_info(decode.png, decode.info);
    if (png_get_rowbytes(decode.png, decode.info) != static_cast<png_size_t>(width) * 4) {
        decode.refusal = "a pixel layout this viewer does not decode";
        return false;
    }

    // Checked against kMaxPictureSide above.
    decode.width = static_cast<i32>(width);
    decode.height = static_cast<i32>(height);
    decode.pixels = allocPicturePixels(decode.width, decode.height);
    if (!decode.pixels) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    // Interlaced files come in several passes over the same rows; libpng merges each
    // pass into the row it is given, so every pass writes the same block rows.
    for (int pass = 0; pass < passes; ++pass) {
        for (i32 row = 0; row < decode.height; ++row) {
            u8* blockRow =
                decode.pixels + static_cast<std::size_t>(decode.height - 1 - row) * rowBytes;
            png_read_row(decode.png, blockRow, nullptr);
        }
    }
    // The chunks after the pixels (text, time) are not read: the picture is complete.
    return true;
}

bool readPngFile(const char* path, DecodedPicture& picture)
{
    picture = DecodedPicture{};
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) {
        setPictureReason(picture, std::strerror(errno));
        return false;
    }
    PngDecode decode{};
    decode.file = file;
    decode.png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &decode, stopOnPngError, ignorePngWarning);
    if (decode.png) decode.info = png_create_info_struct(decode.png);
    const bool decoded = decode.info && decodePng(decode);
    png_destroy_read_struct(decode.png ? &decode.png : nullptr,
                            decode.info ? &decode.info : nullptr, nullptr);
    std::fclose(file);
    if (!decoded) {
        PluginFree(decode.pixels);
        setPictureReason(picture, decode.message[0] ? decode.message
                                  : decode.refusal  ? decode.refusal
                                                    : "out of memory");
        return false;
    }
    // Both sides are at most kMaxPictureSide, so they fit the 16-bit fields.
    picture.jpegWidth = static_cast<i16>(decode.width);
    picture.jpegHeight = static_cast<i16>(decode.height);
    picture.jpegPixels = decode.pixels;
    return true;
}
