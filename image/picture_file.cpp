// Which decoder a picture file gets, and the one place that runs it.
#include "image/picture_file.h"

#include "memory/memory.h"

#include <cstdio>
#include <cstring>

// The first four bytes of the file, or fewer when it is shorter.
static std::size_t readSignature(const char* path, u8 signature[4])
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return 0;
    const std::size_t got = std::fread(signature, 1, 4, file);
    std::fclose(file);
    return got;
}

static PictureKind kindFromSignature(const u8* signature, std::size_t length)
{
    if (length >= 3 && signature[0] == 0xFF && signature[1] == 0xD8 && signature[2] == 0xFF)
        return PictureKind::Jpeg;
    if (length >= 4 && signature[0] == 0x89 && signature[1] == 'P' && signature[2] == 'N' &&
        signature[3] == 'G')
        return PictureKind::Png;
    if (length >= 4 && signature[0] == 'G' && signature[1] == 'I' && signature[2] == 'F' &&
        signature[3] == '8')
        return PictureKind::Gif;
    return PictureKind::None;
}

// ASCII comparison without case: "JPG", "Jpg" and "jpg" name the same format.
static bool sameLetters(const char* text, const char* lowerWord)
{
    for (; *text && *lowerWord; ++text, ++lowerWord) {
        const char letter = (*text >= 'A' && *text <= 'Z') ? static_cast<char>(*text + 32) : *text;
        if (letter != *lowerWord) return false;
    }
    return *text == '\0' && *lowerWord == '\0';
}

static PictureKind kindFromExtension(const char* path, PictureKind otherExtensions)
{
    const char* dot = std::strrchr(path, '.');
    const char* extension = dot ? dot + 1 : "";
    if (sameLetters(extension, "jpg")) return PictureKind::Jpeg;
    if (sameLetters(extension, "png")) return PictureKind::Png;
    if (sameLetters(extension, "tga")) return PictureKind::Tga;
    if (sameLetters(extension, "gif")) return PictureKind::Gif;
    return otherExtensions;
}

PictureKind choosePictureKind(const char* path, PictureKind otherExtensions)
{
    u8 signature[4] = {};
    const PictureKind byContent = kindFromSignature(signature, readSignature(path, signature));
    if (byContent != PictureKind::None) return byContent;
    return kindFromExtension(path, otherExtensions);
}

bool readPictureFile(const char* path, PictureKind kind, DecodedPicture& picture, i16& tgaIdLength)
{
    tgaIdLength = 0;
    switch (kind) {
    case PictureKind::Jpeg: return readJpegFile(path, picture) == 1;
    case PictureKind::Png: return readPngFile(path, picture);
    case PictureKind::Tga: return readTgaFile(path, picture, tgaIdLength);
    case PictureKind::Gif: return readGifFile(path, picture);
    case PictureKind::None: break;
    }
    picture = DecodedPicture{};
    setPictureReason(picture, "not a picture format this viewer decodes");
    return false;
}

void setPictureReason(JpegPicture& picture, const char* text)
{
    std::snprintf(picture.reason, sizeof picture.reason, "%s", text ? text : "");
}

u8* allocPicturePixels(i32 width, i32 height)
{
    if (!pictureSizeAllowed(width, height)) return nullptr;
    const u64 pixelCount = static_cast<u64>(width) * static_cast<u64>(height);
    return static_cast<u8*>(PluginAllocArray(pixelCount, 4));
}

u8* packPixels(const DecodedPicture& picture)
{
    const u64 pixelCount =
        static_cast<u64>(picture.jpegWidth) * static_cast<u64>(picture.jpegHeight);
    u8* block = static_cast<u8*>(PluginAllocArray(pixelCount, 3));
    if (!block) return nullptr;
    const u8* from = picture.jpegPixels;
    u8* to = block;
    for (u64 k = 0; k < pixelCount; ++k, from += 4, to += 3) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
    }
    return block;
}
