// png_diff: compares two PNG pictures pixel by pixel, on the build machine.
//
// Usage: png_diff A.png B.png
// Prints the size and the number of pixels that differ (and the largest difference of a
// channel); exits 0 when the pictures are alike, 1 when not, 2 when one cannot be read.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Picture {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::vector<png_byte> rgb;
};

bool readPicture(const char* path, Picture& picture)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = image.width;
    picture.height = image.height;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    const bool read = png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return read;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: png_diff A.png B.png\n");
        return 2;
    }
    Picture first;
    Picture second;
    for (int i = 1; i <= 2; ++i) {
        if (!readPicture(argv[i], i == 1 ? first : second)) {
            std::fprintf(stderr, "png_diff: cannot read %s\n", argv[i]);
            return 2;
        }
    }
    if (first.width != second.width || first.height != second.height) {
        std::printf("png_diff: %u x %u against %u x %u\n", first.width, first.height, second.width,
                    second.height);
        return 1;
    }
    std::size_t differing = 0;
    int largest = 0;
    for (std::size_t i = 0; i < first.rgb.size(); i += 3) {
        bool differs = false;
        for (std::size_t c = 0; c < 3; ++c) {
            const int difference = std::abs(first.rgb[i + c] - second.rgb[i + c]);
            if (difference > largest) largest = difference;
            differs = differs || difference != 0;
        }
        if (differs) ++differing;
    }
    std::printf("png_diff: %u x %u, %zu pixels differ (largest channel difference %d)\n",
                first.width, first.height, differing, largest);
    return differing == 0 ? 0 : 1;
}
