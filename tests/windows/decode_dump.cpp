// decode_dump: decodes pictures and sound clips and prints, for each, its size and a
// hash of every decoded byte. Built twice, for Windows against the libraries of
// tools/windows-deps.sh and for the build machine against Debian's own, so that
// same_decoding.sh can hold the two outputs to be equal: the DLL must see a picture
// exactly as the Linux build sees it.
//
// Usage: decode_dump FILE...   (.jpg, .png, .wav; one line per way of decoding)
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// jpeglib.h leans on <cstdio> for FILE and size_t.
#include <jpeglib.h>
#include <png.h>
#include <sndfile.h>

namespace {

// FNV-1a, 64 bits: the same on every platform.
std::uint64_t hashBytes(const void* data, std::size_t size,
                        std::uint64_t hash = 14695981039346656037ull)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void report(const std::string& name, const char* way, unsigned width, unsigned height,
            unsigned channels, std::uint64_t hash)
{
    std::printf("%s %s %ux%ux%u %016llx\n", name.c_str(), way, width, height, channels,
                static_cast<unsigned long long>(hash));
}

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf back;
};

void jpegFailed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->back, 1);
}

enum class JpegWay { kPlain, kFast, kBlocky };

bool dumpJpeg(const std::string& path, JpegWay way, const char* label)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegFailed;
    std::vector<unsigned char> pixels;
    if (setjmp(errors.back)) {
        jpeg_destroy_decompress(&info);
        std::fclose(file);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (way == JpegWay::kFast) info.dct_method = JDCT_IFAST;
    if (way == JpegWay::kBlocky) info.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&info);
    const std::size_t row = static_cast<std::size_t>(info.output_width) *
                            static_cast<std::size_t>(info.output_components);
    pixels.resize(row * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW line = pixels.data() + row * info.output_scanline;
        jpeg_read_scanlines(&info, &line, 1);
    }
    jpeg_finish_decompress(&info);
    report(baseName(path), label, info.output_width, info.output_height,
           static_cast<unsigned>(info.output_components), hashBytes(pixels.data(), pixels.size()));
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return true;
}

// `viewer`: 8-bit blue, green, red and filler, as the viewer asks for them; otherwise
// every sample as stored, 16-bit ones too, with gamma and transparency applied.
bool dumpPng(const std::string& path, bool viewer)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<unsigned char> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    const png_byte type = png_get_color_type(png, info);
    if (viewer) {
        if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
        if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
        if ((type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS))
            png_set_strip_alpha(png);
        if (!(type & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
        png_set_bgr(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    } else {
        png_set_expand(png);
        png_set_gamma(png, 2.2, 1.0 / 2.2);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const std::size_t row = png_get_rowbytes(png, info);
    pixels.resize(row * height);
    for (png_uint_32 y = 0; y < height; ++y) rows.push_back(pixels.data() + row * y);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    report(baseName(path), viewer ? "png-viewer" : "png-gamma", width, height,
           png_get_channels(png, info), hashBytes(pixels.data(), pixels.size()));
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return true;
}

bool dumpSound(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return false;
    std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    if (got != info.frames) return false;
    report(baseName(path), "sound-float", static_cast<unsigned>(info.frames),
           static_cast<unsigned>(info.samplerate), static_cast<unsigned>(info.channels),
           hashBytes(samples.data(), samples.size() * sizeof(float)));
    return true;
}

bool endsWith(const std::string& text, const char* end)
{
    const std::size_t length = std::strlen(end);
    return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        bool done = false;
        if (endsWith(path, ".jpg")) {
            done = dumpJpeg(path, JpegWay::kPlain, "jpeg-islow") &&
                   dumpJpeg(path, JpegWay::kFast, "jpeg-ifast") &&
                   dumpJpeg(path, JpegWay::kBlocky, "jpeg-plain-upsampling");
        } else if (endsWith(path, ".png")) {
            done = dumpPng(path, true) && dumpPng(path, false);
        } else if (endsWith(path, ".wav")) {
            done = dumpSound(path);
        }
        if (!done) {
            std::printf("%s cannot be decoded\n", baseName(path).c_str());
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}
