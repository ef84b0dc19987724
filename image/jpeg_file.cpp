// JPEG decoding through the IJG library (libjpeg API): our own error manager, method
// selection and output stage, writing blue, green, red into 4-byte pixels, bottom-up.
#include "image/image.h"
#include "image/picture_file.h"
#include "memory/memory.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h expects FILE and size_t to be declared before it (cstdio above);
// jerror.h names the library's messages, the ones we raise among them.
#include <jpeglib.h>

#include <jerror.h>

// The library's error manager, and where a fatal error takes control back to. The
// manager comes first so the pointer the library hands our handlers is this record.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf stopDecoding;
    char firstMessage[JMSG_LENGTH_MAX]; // the first message the library had for us
};

// Everything one decode touches. It lives in readJpegFile's frame, not in the frame
// that calls setjmp, so its fields keep their values when a fatal error jumps back.
struct JpegDecode {
    jpeg_decompress_struct info;
    JpegErrors errors;
    std::FILE* file;
    JSAMPARRAY rows; // one batch of decoded rows, from the library's image pool
    u8* pixels;      // the jpegPixels block being filled
    i32 width;
    i32 height;
    i16 rowCursor; // block row of the next decoded row: the top row arrives first and
                   // goes last, so the cursor starts at height - 1 and counts down
};

// Keeps the library's first message, with its parameters filled in: the reason a
// picture was not loaded is the first thing that went wrong with it.
static void keepMessage(j_common_ptr info)
{
    JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
    if (errors->firstMessage[0] != '\0') return;
    (*info->err->format_message)(info, errors->firstMessage);
}

static void stopOnFatalError(j_common_ptr info)
{
    (*info->err->output_message)(info);
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->stopDecoding, 1);
}

// The entropy data ended before the picture did: the file is cut short, or a
// hostile header claims far more pixels than the file holds. A restart marker met
// early only spoils its own segment, so decoding goes on after one of those.
static bool dataRanOut(j_common_ptr info)
{
    if (info->err->msg_code != JWRN_HIT_MARKER || !info->is_decompressor) return false;
    const int marker = reinterpret_cast<j_decompress_ptr>(info)->unread_marker;
    return marker < 0xD0 || marker > 0xD7;
}

// Warnings (level -1): the first corrupt-data warning is kept, later ones only at
// trace level 3. Trace messages are kept up to the trace level, which stays 0.
static void emitMessage(j_common_ptr info, int level)
{
    jpeg_error_mgr* errors = info->err;
    if (level >= 0) {
        if (errors->trace_level >= level) (*errors->output_message)(info);
        return;
    }
    if (errors->num_warnings == 0 || errors->trace_level >= 3) (*errors->output_message)(info);
    ++errors->num_warnings;
    // A truncated picture is not loaded: decoding the missing part would only paint
    // grey rows, as many as the header claims.
    if (dataRanOut(info)) std::longjmp(reinterpret_cast<JpegErrors*>(errors)->stopDecoding, 1);
}

// Method selection, once the header has been read: grayscale files stay one
// component; colour files keep the library's red, green, blue. No quantizing.
static void selectMethods(j_decompress_ptr info)
{
    // Arithmetic coding lets a few bytes stand for any number of empty blocks, and
    // web browsers do not decode it either.
    if (info->arith_code) ERREXIT(info, JERR_ARITH_NOTIMPL);
    if (info->image_width > static_cast<JDIMENSION>(kMaxPictureSide) ||
        info->image_height > static_cast<JDIMENSION>(kMaxPictureSide))
        ERREXIT1(info, JERR_IMAGE_TOO_BIG, kMaxPictureSide);
    if (info->jpeg_color_space == JCS_GRAYSCALE) info->out_color_space = JCS_GRAYSCALE;
    info->quantize_colors = FALSE;
}

// Output start: the picture's size, its block and the first row cursor.
static bool startOutput(JpegDecode& decode)
{
    j_decompress_ptr info = &decode.info;
    const int components = info->output_components;
    const bool known = components == 1 || components == 3 ||
                       (components == 4 && info->out_color_space == JCS_CMYK);
    if (!known) ERREXIT(info, JERR_CONVERSION_NOTIMPL);
    // Both sides were held to kMaxPictureSide by selectMethods.
    decode.width = static_cast<i32>(info->output_width);
    decode.height = static_cast<i32>(info->output_height);
    decode.pixels = allocPicturePixels(decode.width, decode.height);
    if (!decode.pixels) return false;
    decode.rows =
        (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                   info->output_width * static_cast<JDIMENSION>(components),
                                   static_cast<JDIMENSION>(info->rec_outbuf_height));
    decode.rowCursor = static_cast<i16>(decode.height - 1);
    return true;
}

// Cyan, magenta, yellow and black as Adobe programs write them (inverted), or plain.
static void writeCmykRow(const JSAMPLE* in, u8* out, i32 width, bool inverted)
{
    for (i32 column = 0; column < width; ++column, in += 4, out += 4) {
        u32 cyan = in[0], magenta = in[1], yellow = in[2], black = in[3];
        if (!inverted) {
            cyan = 255 - cyan, magenta = 255 - magenta, yellow = 255 - yellow;
            black = 255 - black;
        }
        // Each product is at most 255 x 255, so the quotient is a byte.
        out[0] = static_cast<u8>((yellow * black + 127) / 255);
        out[1] = static_cast<u8>((magenta * black + 127) / 255);
        out[2] = static_cast<u8>((cyan * black + 127) / 255);
    }
}

// One decoded row into its block row: blue (component 2), green (1), red (0); a gray
// value goes into all three. The fourth byte of each pixel is left alone.
static void writeRow(const JpegDecode& decode, const JSAMPLE* in, u8* out)
{
    const i32 width = decode.width;
    switch (decode.info.output_components) {
    case 1:
        for (i32 column = 0; column < width; ++column, out += 4)
            out[0] = out[1] = out[2] = in[column];
        break;
    case 3:
        for (i32 column = 0; column < width; ++column, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        break;
    default: writeCmykRow(in, out, width, decode.info.saw_Adobe_marker != 0); break;
    }
}

static void putPixelRows(JpegDecode& decode, JDIMENSION rowCount)
{
    for (JDIMENSION row = 0; row < rowCount && decode.rowCursor >= 0; ++row) {
        const std::size_t byteCursor =
            static_cast<std::size_t>(decode.rowCursor) * static_cast<std::size_t>(decode.width) * 4;
        writeRow(decode, decode.rows[row], decode.pixels + byteCursor);
        --decode.rowCursor;
    }
}

// The decode proper. A fatal library error comes back here through longjmp; the
// caller then releases the library's memory, the file and the block.
static bool decodeJpeg(JpegDecode& decode)
{
    if (setjmp(decode.errors.stopDecoding)) return false;
    j_decompress_ptr info = &decode.info;
    jpeg_create_decompress(info);
    jpeg_stdio_src(info, decode.file);
    if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
    selectMethods(info);
    jpeg_start_decompress(info);
    if (!startOutput(decode)) return false;
    while (info->output_scanline < info->output_height) {
        const JDIMENSION delivered = jpeg_read_scanlines(
            info, decode.rows, static_cast<JDIMENSION>(info->rec_outbuf_height));
        if (delivered == 0) return false; // a file source never suspends: no progress, no picture
        putPixelRows(decode, delivered);
    }
    // Rows all delivered: what follows the last scan (trailing markers, a missing end
    // marker) no longer matters, so the decode is not finished, only destroyed.
    return true;
}

i32 readJpegFile(const char* path, JpegPicture& picture)
{
    picture = JpegPicture{};
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) {
        setPictureReason(picture, std::strerror(errno));
        return 0;
    }
    JpegDecode decode{};
    decode.info.err = jpeg_std_error(&decode.errors.manager);
    decode.errors.manager.error_exit = stopOnFatalError;
    decode.errors.manager.emit_message = emitMessage;
    decode.errors.manager.output_message = keepMessage;
    decode.errors.manager.trace_level = 0;
    decode.file = file;

    const bool decoded = decodeJpeg(decode);
    jpeg_destroy_decompress(&decode.info); // all of the library's memory, in every case
    std::fclose(file);
    if (!decoded) {
        PluginFree(decode.pixels);
        const char* message = decode.errors.firstMessage;
        setPictureReason(picture, message[0] ? message : "not a JPEG picture this viewer decodes");
        return 0;
    }
    // Both sides are at most kMaxPictureSide, so they fit the 16-bit fields.
    picture.jpegWidth = static_cast<i16>(decode.width);
    picture.jpegHeight = static_cast<i16>(decode.height);
    picture.jpegPixels = decode.pixels;
    return 1;
}
