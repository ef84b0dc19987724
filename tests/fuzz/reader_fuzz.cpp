// libFuzzer target for the VRML line reader: any bytes, read as a world in memory and
// again from a file (read ahead in blocks, expanded when gzip), must leave tables that
// agree with their counts, the same tables both ways, and a dump of whatever was read.
#include "world/dump.h"
#include "world/reader.h"
#include "world/tables.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// Two Worlds for the whole run, one per way of reading: every read starts by emptying
// its World, as a second world in the plug-in does.
static World& fuzzWorld(int way)
{
    static World worlds[2];
    return worlds[way];
}

// A folder of its own for each fuzzing process, so the only picture a texture url can
// find beside the world file is the world itself.
static std::filesystem::path fileFolder()
{
    return std::filesystem::temp_directory_path() /
           ("tarne-reader-fuzz-" + std::to_string(getpid()));
}

// Reads the input as the file world.wrl in that folder, which goes again afterwards.
static bool readAsFile(World& world, const uint8_t* data, size_t size)
{
    std::filesystem::create_directories(fileFolder());
    const std::string path = (fileFolder() / "world.wrl").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const bool read = readWorld(world, path.c_str());
    std::error_code ignored;
    std::filesystem::remove_all(fileFolder(), ignored);
    return read;
}

static void check(bool condition)
{
    if (!condition) std::abort();
}

// The invariants the renderer relies on.
static void checkTables(const World& world)
{
    check(world.objectCount >= 0);
    if (world.vertexCount > 0) check(world.vertexCapacity >= world.vertexCount + 1);
    check(world.faceCount <= world.faceCapacity);
    check(world.faceIndexCount <= world.faceIndexCapacity);
    u32 corners = 0;
    for (u32 f = 0; f < world.faceCount; ++f) {
        check(world.faces[f].firstIndex == corners);
        check(world.faces[f].vertexCount >= 0);
        corners += static_cast<u32>(world.faces[f].vertexCount);
    }
    check(corners <= world.faceIndexCount);
    for (i16 o = 0; o < world.objectCount; ++o) {
        const ObjectRecord& object = world.objects[o];
        check(object.firstVertex >= 1);
        check(object.firstVertex - 1 + object.vertexCount <= world.vertexCount);
        check(object.firstFace - 1 + object.faceCount <= world.faceCount);
        check(object.material >= -1 && object.material < world.materialCount);
    }
    for (i16 l = 0; l < world.lightCount; ++l) {
        const LightRecord& light = world.lights[l];
        if (light.kind == 1) check(light.kindIndex < world.directionalLightCount);
        if (light.kind == 2) check(light.kindIndex < world.pointLightCount);
        if (light.kind == 3) check(light.kindIndex < world.spotLightCount);
    }
    for (i16 s = 0; s < world.soundCount; ++s)
        check(world.sounds[s].clipNumber >= 0 &&
              world.sounds[s].clipNumber <= world.audioClipCount);
    for (i16 m = 0; m < world.materialCount; ++m) {
        const MaterialRecord& material = world.materials[m];
        if (material.hasTexture)
            check(material.texture >= 0 && material.texture < world.textureCount);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    World& world = fuzzWorld(0);
    // Textures named by the input are looked for here first; the folder does not exist.
    std::strcpy(world.worldFolder, "fuzz-no-such-folder/");
    if (!readWorldText(world, reinterpret_cast<const char*>(data), size)) return 0;
    checkTables(world);
    World& fromFile = fuzzWorld(1);
    check(readAsFile(fromFile, data, size)); // a file that can be opened is always read
    checkTables(fromFile);
    if (world.vertexCount < 20000 && fromFile.vertexCount < 20000) {
        const std::string dump = worldDumpJson(world);
        check(!dump.empty());
        // Only a file is expanded from gzip; otherwise both ways read the same lines.
        const bool gzip = size >= 2 && data[0] == 0x1f && data[1] == 0x8b;
        if (!gzip) check(worldDumpJson(fromFile) == dump);
    }
    return 0;
}
