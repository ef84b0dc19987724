// Feeds the TGA loader: the input becomes a picture file beside a world, loaded as two
// texture rows naming it (the second copies the first) and as a background picture.
#include "image/image.h"
#include "world/tables.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// One file per fuzzing process, in the system's temporary folder.
static const std::string& pictureName()
{
    static const std::string name = "tarne-fuzz-" + std::to_string(getpid()) + ".tga";
    return name;
}

static void loadEveryWay(const std::string& folder, const std::string& name)
{
    World world;
    if (!initWorldTables(world)) return;
    std::snprintf(world.worldFolder, sizeof world.worldFolder, "%s", folder.c_str());
    for (i16 row = 0; row < 2; ++row) {
        std::snprintf(world.textures[row].fileName, kTextureFileNameSize, "%s", name.c_str());
        loadTexture(world, row);
        world.textureCount = static_cast<i16>(row + 1);
    }
    std::snprintf(world.backgroundUrl, sizeof world.backgroundUrl, "%s", name.c_str());
    static u8 buffer[37 * 23 * 4]; // odd sizes, so scaling both stretches and shrinks
    loadBackgroundPicture(world, buffer, 37, 23);
    freeWorldTables(world);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string folder = std::filesystem::temp_directory_path().string() + "/";
    std::FILE* file = std::fopen((folder + pictureName()).c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    loadEveryWay(folder, pictureName());
    return 0;
}
