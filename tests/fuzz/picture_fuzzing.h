// tests/fuzz/picture_fuzzing.h - what the picture fuzz targets share: the input becomes a
// picture file beside a world, loaded as two texture rows naming it (the second copies
// the first) and as a background picture.
#pragma once

#include "render/render.h"
#include "world/textures.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

inline void loadPictureEveryWay(const std::uint8_t* data, std::size_t size, const char* extension)
{
    // One file per fuzzing process, in the system's temporary folder.
    const std::string folder = std::filesystem::temp_directory_path().string() + "/";
    const std::string name = "tarne-fuzz-" + std::to_string(getpid()) + "." + extension;
    std::FILE* file = std::fopen((folder + name).c_str(), "wb");
    if (!file) return;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    World world;
    if (!initWorldTables(world)) return;
    std::snprintf(world.worldFolder, sizeof world.worldFolder, "%s", folder.c_str());
    for (i16 row = 0; row < 2; ++row) {
        std::snprintf(world.textures[row].fileName, kTextureFileNameSize, "%s", name.c_str());
        loadTexture(world, row);
        world.textureCount = static_cast<i16>(row + 1);
    }
    std::snprintf(world.backgroundUrl, sizeof world.backgroundUrl, "%s", name.c_str());
    world.backgroundMode = 3; // the picture
    FrameState frame;         // odd sizes, so scaling both stretches and shrinks
    if (CreateFrameBuffers(frame, 37, 23)) PrepareBackground(world, frame);
    FreeFrameBuffers(frame);
    freeWorldTables(world);
    std::remove((folder + name).c_str());
}
