// Texture loading: one texture row's picture into its 3-byte pixel block.
#include "world/textures.h"

#include "image/image.h"
#include "image/picture_file.h"
#include "memory/memory.h"

#include <cstring>
#include <string>

constexpr i16 kGreySide = 40; // the replacement picture for a texture that does not load
constexpr u8 kGreyLevel = 127;
constexpr std::size_t kPathSize = 4096;

// Puts a new block in the row's place; the old block is freed here and only here.
static void replaceBlock(World& world, i16 row, u8* block, i16 width, i16 height, i16 idLength,
                         i16 loaded)
{
    PluginFree(world.texturePixels[row]);
    world.texturePixels[row] = block;
    TextureRecord& texture = world.textures[row];
    texture.width = width;
    texture.height = height;
    texture.tgaIdLength = idLength;
    texture.loaded = loaded;
}

// The 40 x 40 grey picture of a texture that was not found or not decoded. Without
// memory for it the row keeps its old, consistent size and block.
static void setGreyTexture(World& world, i16 row)
{
    constexpr u32 kBytes = static_cast<u32>(kGreySide) * kGreySide * 3;
    world.textures[row].loaded = 0;
    u8* block = static_cast<u8*>(PluginAlloc(kBytes));
    if (!block) return;
    std::memset(block, kGreyLevel, kBytes);
    replaceBlock(world, row, block, kGreySide, kGreySide, 0, 0);
}

// The decoded picture as the row's 3-byte block; the grey picture when there is no
// memory for it. Consumes the picture.
static void storeTexture(World& world, i16 row, DecodedPicture& picture, i16 idLength)
{
    u8* block = packPixels(picture);
    if (block) replaceBlock(world, row, block, picture.jpegWidth, picture.jpegHeight, idLength, 1);
    PluginFree(picture.jpegPixels);
    picture = DecodedPicture{};
    if (!block) setGreyTexture(world, row);
}

// A file already named by an earlier row of this world is not decoded again: the
// row gets a copy of that row's pixels (each row owns its block, so shutdown frees
// every block once). Rows of the same world resolve a name the same way, so the same
// text means the same file. True when the row was settled here.
static bool copyEarlierTexture(World& world, i16 row, const char* name)
{
    if (name[0] == '\0') return false;
    const i16 earlierRows = row < world.textureCount ? row : world.textureCount;
    for (i16 earlier = static_cast<i16>(earlierRows - 1); earlier >= 0; --earlier) {
        const TextureRecord& source = world.textures[earlier];
        if (std::strncmp(source.fileName, name, kTextureFileNameSize) != 0) continue;
        // A row without a block or a size was never loaded: decode for this one instead.
        if (!world.texturePixels[earlier] || source.width <= 0 || source.height <= 0) return false;
        const u32 bytes = static_cast<u32>(source.width) * static_cast<u32>(source.height) * 3;
        u8* block = static_cast<u8*>(PluginAlloc(bytes));
        if (!block) return true; // no memory for a copy would mean none for a decode either
        std::memcpy(block, world.texturePixels[earlier], bytes);
        replaceBlock(world, row, block, source.width, source.height, source.tgaIdLength,
                     source.loaded);
        return true;
    }
    return false;
}

// "texture PIC not loaded: reason", for the person who opened the world.
static void reportNotLoaded(ReadReport* report, const char* name, const char* reason)
{
    reportMessage(report,
                  "texture " + shownText(name, std::strlen(name)) + " not loaded: " + reason);
}

// The row's picture, decoded from the file its fileName names, or the grey stand-in.
static void fillTextureRow(World& world, i16 row, ReadReport* report)
{
    // The reader's text, held to its field even if it lost its terminator.
    char name[kTextureFileNameSize];
    std::memcpy(name, world.textures[row].fileName, kTextureFileNameSize);
    name[kTextureFileNameSize - 1] = '\0';
    if (copyEarlierTexture(world, row, name)) return;

    const PictureReach reach =
        world.worldFolderOnly ? PictureReach::WorldFolderOnly : PictureReach::Anywhere;
    if (world.worldFolderOnly && !urlStaysInFolder(name)) {
        reportNotLoaded(report, name,
                        "outside the world's folder (a world from the network reads only its "
                        "own folder and below)");
        setGreyTexture(world, row);
        return;
    }
    char path[kPathSize];
    if (!findPicture(world.worldFolder, name, reach, path, sizeof path)) {
        reportNotLoaded(report, name, "not found");
        setGreyTexture(world, row);
        return;
    }
    const PictureKind kind = choosePictureKind(path, PictureKind::None);
    // A picture format the viewer does not decode (a BMP, say): the row keeps the
    // size and pixels it had.
    if (kind == PictureKind::None) {
        reportNotLoaded(report, name, "not a picture format this viewer decodes");
        world.textures[row].loaded = 0;
        return;
    }
    DecodedPicture picture;
    i16 idLength = 0;
    if (!readPictureFile(path, kind, picture, idLength)) {
        reportNotLoaded(report, name, picture.reason);
        setGreyTexture(world, row);
        return;
    }
    storeTexture(world, row, picture, idLength);
}

bool loadTexture(World& world, i16 row, ReadReport* report)
{
    if (row < 0 || static_cast<u32>(row) >= world.textureCapacity || !world.textures ||
        !world.texturePixels)
        return false;
    fillTextureRow(world, row, report);
    return world.textures[row].loaded == 1;
}
