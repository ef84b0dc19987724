#include "tests/support/picture_writers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <vector>

static int appendGifBytes(GifFileType* gif, const GifByteType* bytes, int length)
{
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
    return length;
}

std::string encodeGif(int width, int height, const std::string& indices, GifOptions options)
{
    std::string bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, appendGifBytes, &error);
    if (!gif) return bytes;
    EGifSetGifVersion(gif, true);
    int colours = 2;
    while (colours * 3 < static_cast<int>(options.palette.size())) colours *= 2;
    options.palette.resize(static_cast<size_t>(colours) * 3, '\0');
    std::vector<GifColorType> table(static_cast<size_t>(colours));
    for (int c = 0; c < colours; ++c)
        table[static_cast<size_t>(c)] = {static_cast<GifByteType>(options.palette[3 * c]),
                                         static_cast<GifByteType>(options.palette[3 * c + 1]),
                                         static_cast<GifByteType>(options.palette[3 * c + 2])};
    ColorMapObject* map = GifMakeMapObject(colours, table.data());
    EGifPutScreenDesc(gif, width, height, 8, 0, options.localPalette ? nullptr : map);
    auto putFrame = [&](const std::string& frame) {
        if (options.transparentIndex >= 0) {
            GraphicsControlBlock control{};
            control.TransparentColor = options.transparentIndex;
            GifByteType extension[4];
            const size_t length = EGifGCBToExtension(&control, extension);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension);
        }
        EGifPutImageDesc(gif, 0, 0, width, height, options.interlaced,
                         options.localPalette ? map : nullptr);
        std::vector<int> order;
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < (options.interlaced ? 4 : 1); ++pass)
            for (int y = options.interlaced ? start[pass] : 0; y < height;
                 y += options.interlaced ? step[pass] : 1)
                order.push_back(y);
        for (const int y : order) {
            std::string row = frame.substr(static_cast<size_t>(y) * width, width);
            EGifPutLine(gif, reinterpret_cast<GifPixelType*>(row.data()), width);
        }
    };
    putFrame(indices);
    if (!options.secondFrame.empty()) putFrame(options.secondFrame);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return bytes;
}

std::string encodeJpeg(int width, int height, const std::string& samples, JpegOptions options)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = options.components;
    info.in_color_space = options.components == 1   ? JCS_GRAYSCALE
                          : options.components == 4 ? JCS_CMYK
                                                    : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    // Full-resolution colour, so a single pixel keeps its colour.
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    info.arith_code = options.arithmetic ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(options.components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(
            const_cast<char*>(samples.data() + info.next_scanline * rowBytes));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<char*>(out), size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
}

static void appendToString(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

std::string encodePng(int width, int height, const std::string& rows, PngOptions options)
{
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, appendToString, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 options.bitDepth, options.colorType,
                 options.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!options.palette.empty())
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(options.palette.data()),
                     static_cast<int>(options.palette.size() / 3));
    if (!options.transparency.empty())
        png_set_tRNS(png, info, reinterpret_cast<png_const_bytep>(options.transparency.data()),
                     static_cast<int>(options.transparency.size()), nullptr);
    png_write_info(png, info);
    const size_t rowBytes = rows.size() / static_cast<size_t>(height);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y)
            png_write_row(png, reinterpret_cast<png_const_bytep>(rows.data() + y * rowBytes));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

std::string encodeTga(int imageType, int width, int height, int depth, const std::string& data,
                      const std::string& imageId)
{
    std::string header(18, '\0');
    header[0] = static_cast<char>(imageId.size());
    header[2] = static_cast<char>(imageType);
    header[12] = static_cast<char>(width & 0xFF);
    header[13] = static_cast<char>(width >> 8);
    header[14] = static_cast<char>(height & 0xFF);
    header[15] = static_cast<char>(height >> 8);
    header[16] = static_cast<char>(depth);
    header[17] = 0x20; // "top-left origin": ignored, rows are taken as stored
    return header + imageId + data;
}

::testing::AssertionResult isNear(const Bgr& got, const Bgr& want)
{
    for (int c = 0; c < 3; ++c)
        if (std::abs(got[c] - want[c]) > 3)
            return ::testing::AssertionFailure()
                   << "got " << got[0] << "," << got[1] << "," << got[2] << " want " << want[0]
                   << "," << want[1] << "," << want[2];
    return ::testing::AssertionSuccess();
}

Rgb PngFile::at(unsigned x, unsigned y) const
{
    const std::size_t first = (static_cast<std::size_t>(y) * width + x) * 3;
    return {static_cast<unsigned char>(rgb[first]), static_cast<unsigned char>(rgb[first + 1]),
            static_cast<unsigned char>(rgb[first + 2])};
}

PngFile readPng(const std::string& path)
{
    PngFile picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    picture.alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) return PngFile{};
    picture.width = image.width;
    picture.height = image.height;
    return picture;
}
