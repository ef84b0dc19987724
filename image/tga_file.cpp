// TGA (Truevision) true-colour pictures, uncompressed or run-length encoded, decoded
// into 4-byte pixels in the order the file stores its rows.
#include "image/picture_file.h"
#include "memory/memory.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

// The 18 bytes at the start of every TGA file, as stored. The 16-bit fields are kept
// as byte pairs (little-endian) so the record has no padding.
struct TgaHeader {
    u8 idLength;          // bytes of image ID between the header and the colour map
    u8 colorMapType;      // 1 when a colour map follows the image ID
    u8 imageType;         // 10 run-length true-colour; anything else is read as 2
    u8 colorMapFirst[2];  // first colour-map entry used; unused here
    u8 colorMapLength[2]; // colour-map entries stored in the file
    u8 colorMapDepth;     // bits per colour-map entry
    u8 xOrigin[2];        // unused
    u8 yOrigin[2];        // unused
    u8 width[2];          // pixels
    u8 height[2];         // pixels
    u8 pixelDepth;        // bits per pixel; 24 and 32 are taken
    u8 descriptor;        // origin corner and alpha bits; rows are taken as stored
};
static_assert(sizeof(TgaHeader) == 18, "TgaHeader mirrors the file's 18-byte header");

constexpr u8 kRunLengthTrueColour = 10;
constexpr u32 kLongestPacket = 128; // pixels one packet header stands for at most

// Reads the file through a small buffer, so run-length data of any length is walked
// without holding all of it.
struct ByteSource {
    std::FILE* file;
    std::size_t size; // bytes in buffer
    std::size_t next; // next unread byte of buffer
    u8 buffer[4096];
};

// Copies `count` bytes out; false when the file ends first.
static bool readBytes(ByteSource& source, u8* out, std::size_t count)
{
    while (count > 0) {
        if (source.next == source.size) {
            source.size = std::fread(source.buffer, 1, sizeof source.buffer, source.file);
            source.next = 0;
            if (source.size == 0) return false;
        }
        const std::size_t step = std::min(count, source.size - source.next);
        std::memcpy(out, source.buffer + source.next, step);
        source.next += step;
        out += step;
        count -= step;
    }
    return true;
}

static u32 littleEndian16(const u8 bytes[2])
{
    return bytes[0] + 256u * bytes[1];
}

// Where the pixel data starts: after the header, the image ID and the colour map. A
// true-colour file may carry a colour map it does not use; its pixels follow it.
static u64 pixelDataOffset(const TgaHeader& header)
{
    u64 offset = sizeof(TgaHeader) + header.idLength;
    if (header.colorMapType == 1)
        offset += static_cast<u64>(littleEndian16(header.colorMapLength)) *
                  ((header.colorMapDepth + 7u) / 8u);
    return offset;
}

// Blue, green, red of a stored pixel into a 4-byte slot; alpha (a fourth stored byte)
// is dropped and the slot's fourth byte left alone.
static void storePixel(const u8* stored, u8* slot)
{
    slot[0] = stored[0];
    slot[1] = stored[1];
    slot[2] = stored[2];
}

static bool decodeUncompressed(ByteSource& source, u8* pixels, i32 width, i32 height,
                               u32 bytesPerPixel)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytesPerPixel;
    u8* stored = static_cast<u8*>(PluginAllocArray(rowBytes, 1));
    if (!stored) return false;
    bool complete = true;
    u8* slot = pixels;
    for (i32 row = 0; row < height && complete; ++row) {
        complete = readBytes(source, stored, rowBytes);
        for (i32 column = 0; column < width && complete; ++column, slot += 4)
            storePixel(stored + static_cast<std::size_t>(column) * bytesPerPixel, slot);
    }
    PluginFree(stored);
    return complete;
}

// Packets until the picture is full: a header h >= 128 repeats the next pixel
// h - 127 times, a header h < 128 is followed by h + 1 pixels. A packet reaching
// past the last pixel is cut there; data that ends first leaves the picture unloaded.
static bool decodeRunLength(ByteSource& source, u8* pixels, u64 pixelCount, u32 bytesPerPixel)
{
    u64 written = 0;
    u8 stored[4];
    while (written < pixelCount) {
        u8 header = 0;
        if (!readBytes(source, &header, 1)) return false;
        const u64 count = std::min<u64>((header & 0x7Fu) + 1u, pixelCount - written);
        u8* slot = pixels + written * 4;
        if (header & 0x80u) {
            if (!readBytes(source, stored, bytesPerPixel)) return false;
            for (u64 k = 0; k < count; ++k, slot += 4) storePixel(stored, slot);
        } else {
            for (u64 k = 0; k < count; ++k, slot += 4) {
                if (!readBytes(source, stored, bytesPerPixel)) return false;
                storePixel(stored, slot);
            }
        }
        written += count;
    }
    return true;
}

// Whether `dataBytes` bytes can hold the picture at all: uncompressed, every pixel
// stored; run-length, one packet of 1 + b bytes for every 128 pixels at best. A
// file that fails this is cut short (or lies about its size) and is refused before
// any memory is taken for it.
static bool dataCanHold(u64 dataBytes, u64 pixelCount, u32 bytesPerPixel, bool runLength)
{
    if (!runLength) return dataBytes >= pixelCount * bytesPerPixel;
    const u64 packets = (dataBytes + bytesPerPixel) / (bytesPerPixel + 1);
    return pixelCount <= packets * kLongestPacket;
}

static u64 fileLength(std::FILE* file)
{
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || status.st_size < 0) return 0;
    return static_cast<u64>(status.st_size);
}

// The reason a TGA file is refused, in the picture; false for the caller to pass on.
static bool refuse(DecodedPicture& picture, const char* reason)
{
    setPictureReason(picture, reason);
    return false;
}

static bool decodeTga(std::FILE* file, DecodedPicture& picture, i16& idLength)
{
    TgaHeader header;
    if (std::fread(&header, 1, sizeof header, file) != sizeof header)
        return refuse(picture, "shorter than a TGA header");
    const i32 width = static_cast<i32>(littleEndian16(header.width));
    const i32 height = static_cast<i32>(littleEndian16(header.height));
    // 16-bit and palette pictures are not decoded; a depth of 40 or more would put
    // more than four bytes into each pixel slot.
    if (header.pixelDepth != 24 && header.pixelDepth != 32) {
        const std::string reason = "TGA depth of " + std::to_string(header.pixelDepth) +
                                   " bits; only 24 and 32 are decoded";
        return refuse(picture, reason.c_str());
    }
    if (!pictureSizeAllowed(width, height))
        return refuse(picture, "TGA size of 0, or more than 16384 pixels a side");
    const u32 bytesPerPixel = header.pixelDepth / 8u;
    const bool runLength = header.imageType == kRunLengthTrueColour;

    const u64 dataStart = pixelDataOffset(header);
    const u64 length = fileLength(file);
    const u64 pixelCount = static_cast<u64>(width) * static_cast<u64>(height);
    if (length < dataStart ||
        !dataCanHold(length - dataStart, pixelCount, bytesPerPixel, runLength))
        return refuse(picture, "TGA data ends before the picture does");
    // The offset is at most 18 + 255 + 65535 x 32 bytes, far inside a long.
    if (std::fseek(file, static_cast<long>(dataStart), SEEK_SET) != 0)
        return refuse(picture, std::strerror(errno));

    u8* pixels = allocPicturePixels(width, height);
    if (!pixels) return refuse(picture, "out of memory");
    ByteSource source{file, 0, 0, {}};
    const bool complete = runLength
                              ? decodeRunLength(source, pixels, pixelCount, bytesPerPixel)
                              : decodeUncompressed(source, pixels, width, height, bytesPerPixel);
    if (!complete) {
        PluginFree(pixels);
        return refuse(picture, "TGA data ends before the picture does");
    }
    // Both sides are at most kMaxPictureSide, so they fit the 16-bit fields.
    picture.jpegWidth = static_cast<i16>(width);
    picture.jpegHeight = static_cast<i16>(height);
    picture.jpegPixels = pixels;
    idLength = header.idLength;
    return true;
}

bool readTgaFile(const char* path, DecodedPicture& picture, i16& idLength)
{
    picture = DecodedPicture{};
    idLength = 0;
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) return refuse(picture, std::strerror(errno));
    const bool decoded = decodeTga(file, picture, idLength);
    std::fclose(file);
    return decoded;
}
