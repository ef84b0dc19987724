// The background every frame starts from: the solid colour, or the background
// picture scaled by nearest sample into the Viewer's background buffer.
#include "render/render.h"

#include "image/image.h"
#include "image/picture_file.h"
#include "memory/memory.h"

#include <cstring>
#include <string>

constexpr std::size_t kPathSize = 4096;
constexpr u32 kPixelBytes = 4;
constexpr i16 kSolidBackground = 1;
constexpr i16 kPictureBackground = 3;

// Destination row r takes source row trunc(r x sourceHeight / H) and column c source
// column trunc(c x sourceWidth / W), so each source pixel fills an equal block.
// Integer arithmetic gives these truncations exactly (floats drift by a row at exact
// multiples once sizes grow) and keeps every index inside the source. Rows map in
// storage order, so a bottom-up picture lands upright in the bottom-up buffer. Bytes
// 0 to 2 of each destination pixel are written; the fourth is left as it was.
static void scaleIntoBuffer(const DecodedPicture& picture, u8* buffer, i32 width, i32 height)
{
    const i64 sourceWidth = picture.jpegWidth;
    const i64 sourceHeight = picture.jpegHeight;
    u8* out = buffer;
    for (i64 row = 0; row < height; ++row) {
        const i64 sourceRow = row * sourceHeight / height;
        const u8* sourceRowStart = picture.jpegPixels + sourceRow * sourceWidth * 4;
        i64 sourceColumn = 0;
        i64 remainder = 0; // column x sourceWidth mod width, stepped instead of divided
        for (i32 column = 0; column < width; ++column, out += 4) {
            const u8* sample = sourceRowStart + sourceColumn * 4;
            out[0] = sample[0];
            out[1] = sample[1];
            out[2] = sample[2];
            remainder += sourceWidth;
            while (remainder >= width) {
                remainder -= width;
                ++sourceColumn;
            }
        }
    }
}

// Reads the picture named by backgroundUrl into the W x H buffer. Not found or not
// decodable: the buffer is left as it was and `problem` (when given) says why.
static void loadBackgroundPicture(const World& world, u8* buffer, i32 width, i32 height,
                                  std::string* problem)
{
    char name[kBackgroundUrlSize];
    std::memcpy(name, world.backgroundUrl, kBackgroundUrlSize);
    name[kBackgroundUrlSize - 1] = '\0'; // held to its field even without a terminator
    char path[kPathSize];
    const PictureReach reach =
        world.worldFolderOnly ? PictureReach::WorldFolderOnly : PictureReach::Anywhere;
    if (!findPicture(world.worldFolder, name, reach, path, sizeof path)) {
        if (problem) *problem = "not found";
        return;
    }
    // Files that are neither JPEG nor PNG by their first bytes or their extension are
    // read as TGA; one that is not a TGA either fails its checks and is not loaded.
    const PictureKind kind = choosePictureKind(path, PictureKind::Tga);
    DecodedPicture picture;
    i16 idLength = 0;
    if (!readPictureFile(path, kind, picture, idLength)) {
        if (problem) *problem = picture.reason;
        return;
    }
    scaleIntoBuffer(picture, buffer, width, height);
    PluginFree(picture.jpegPixels);
}

void PrepareBackground(const World& world, FrameState& frame, std::string* problem)
{
    const i32 width = frame.renderWidth;
    const i32 height = frame.renderHeight;
    if (width <= 0 || height <= 0 || !frame.backgroundBuffer) return;
    u8* buffer = frame.backgroundBuffer;
    if (world.backgroundMode == kSolidBackground) {
        for (i32 x = 0; x < width; ++x) { // the fourth byte of each pixel is left alone
            buffer[4 * x] = world.backgroundBlue;
            buffer[4 * x + 1] = world.backgroundGreen;
            buffer[4 * x + 2] = world.backgroundRed;
        }
        // One row of a buffer that exists, so it fits a size_t on a 32-bit system too.
        const auto rowBytes = static_cast<std::size_t>(u64{static_cast<u32>(width)} * kPixelBytes);
        for (i32 y = 1; y < height; ++y)
            std::memcpy(buffer + static_cast<std::size_t>(y) * rowBytes, buffer, rowBytes);
    } else if (world.backgroundMode == kPictureBackground) {
        loadBackgroundPicture(world, buffer, width, height, problem);
    }
}
