// The Appearance reader: a Material (or material USE) completes a row of materials, an
// ImageTexture takes a row of textures, whose picture is loaded as soon as it is named.
#include "world/node_readers.h"

#include "world/name_index.h"
#include "world/textures.h"

#include <cmath>
#include <cstring>

// One Appearance being read.
struct AppearanceRead {
    World& world;
    bool rowReady = false;        // row materialCount exists, with VRML's default material
    bool completedOwnRow = false; // this Appearance has completed a material row
    i32 nesting = 0;              // Material and ImageTexture blocks opened, not closed

    explicit AppearanceRead(World& w) : world(w) {}
    MaterialRecord& row() { return world.materials[world.materialCount]; }
};

// The row being built starts from VRML's default material, with an empty name. When the
// count is full (or memory ran out) the node is still read, and nothing is stored.
static void prepareRow(AppearanceRead& read)
{
    read.rowReady = prepareMaterialRow(read.world);
}

// The row being built is complete: it counts, and the next row is prepared.
static void completeRow(AppearanceRead& read)
{
    if (!read.rowReady) return;
    read.world.materialCount = static_cast<i16>(read.world.materialCount + 1);
    read.completedOwnRow = true;
    prepareRow(read);
}

// The fields of one Material line. Fields the file does not give keep the defaults.
static void readMaterialLine(MaterialRecord& material, const Line& line)
{
    // ambientIntensity and emissiveColor are read past.
    if (has(line, "diffuseColor")) readValues(line, "diffuseColor", material.diffuseColor, 3);
    f32 value = 0.0f;
    if (readValue(line, "shininess", value)) material.shininess = value * 100.0f;
    if (has(line, "specularColor")) readValues(line, "specularColor", material.specularColor, 3);
    if (readValue(line, "transparency", value)) {
        material.transparency = value;
        if (std::fabs(value) != 0.0f) material.opaque = 0;
    }
}

// "material Material": its name (a DEF name cut by the USE rule, or "mat_" and the
// count), then its fields from this line on, up to the line holding "}" (whose fields
// are not read), which stays the current line. False at the end of the text.
static bool readMaterial(AppearanceRead& read, LineReader& in, Line& line)
{
    World& world = read.world;
    if (read.nesting < INT32_MAX) ++read.nesting;
    if (read.rowReady && has(line, "DEF")) {
        char* name = world.materialNames[world.materialCount];
        if (!cutUseName(line, "DEF", name, kMaterialNameSize))
            generatedName(name, kMaterialNameSize, "mat_", world.materialCount);
    }
    bool more = true;
    while (!has(line, "}")) {
        if (read.rowReady) readMaterialLine(read.row(), line);
        if (!nextLine(in, line)) {
            more = false;
            break;
        }
    }
    completeRow(read);
    return more;
}

// "material USE name": the row copies the colours, shininess and transparency of the
// last Material of that name (not its opaque flag), and is complete.
static void useMaterial(AppearanceRead& read, LineReader& in, const Line& line)
{
    World& world = read.world;
    char name[kMaterialNameSize];
    cutUseName(line, "USE", name, sizeof name);
    const i16 m = findLastNamed(in.names, world, NamedTable::materialNames, name);
    if (read.rowReady && m >= 0) {
        MaterialRecord& row = read.row();
        const MaterialRecord& source = world.materials[m];
        std::memcpy(row.diffuseColor, source.diffuseColor, sizeof row.diffuseColor);
        std::memcpy(row.specularColor, source.specularColor, sizeof row.specularColor);
        row.shininess = source.shininess;
        row.transparency = source.transparency;
    }
    completeRow(read);
}

// Attaches texture row `texture` to this Appearance's last completed material row. An
// Appearance that has none yet (no Material, or one that comes after the texture)
// first completes a row with the default material: the texture never lands on an
// earlier Appearance's row, which would retexture objects read before. A picture that
// was not loaded leaves the material untextured where the reading says so (the row is
// still taken, as the texture block was read).
static bool attachTexture(AppearanceRead& read, i16 texture, bool pictureLoaded)
{
    World& world = read.world;
    if (!read.completedOwnRow) completeRow(read);
    if (!read.completedOwnRow) return false;
    if (!pictureLoaded && world.untexturedWhenNotLoaded) return true;
    MaterialRecord& material = world.materials[world.materialCount - 1];
    material.texture = texture;
    material.hasTexture = 1;
    material.textureMode = 3;
    material.textureRepeatS = 1;
    material.textureRepeatT = 1;
    return true;
}

// "texture ImageTexture": lines from this one on, up to the line holding "}" (whose
// fields are not read, and which stays the current line). Each url line names the
// row's picture and loads it. The block takes a texture row even without a url.
// False at the end of the text.
static bool readImageTexture(AppearanceRead& read, LineReader& in, Line& line)
{
    World& world = read.world;
    if (read.nesting < INT32_MAX) ++read.nesting;
    const bool textureReady = prepareTextureRow(world);
    const i16 texture = world.textureCount;
    bool more = true;
    bool pictureLoaded = false; // the last url's picture, as the row holds it
    while (!has(line, "}")) {
        if (textureReady && has(line, "url")) {
            TextureRecord& row = world.textures[texture];
            if (urlText(line, row.fileName, sizeof row.fileName))
                pictureLoaded = loadTexture(world, texture, in.report);
        }
        if (!nextLine(in, line)) {
            more = false;
            break;
        }
    }
    if (textureReady && attachTexture(read, texture, pictureLoaded))
        world.textureCount = static_cast<i16>(texture + 1);
    return more;
}

// The tests of one line, in order. True when the Appearance has ended.
static bool examineAppearanceLine(AppearanceRead& read, LineReader& in, Line& line)
{
    // Any DEF the reader itself sees names the row being built; without a tab after
    // the name the row is called "mat_1", whatever its number.
    if (read.rowReady && has(line, "DEF")) {
        MaterialRecord& row = read.row();
        cutDefName(line, "mat_", 1, row.name, sizeof row.name);
    }
    if (has(line, "material") && !has(line, "USE")) {
        if (!readMaterial(read, in, line)) return true;
    }
    if (has(line, "material") && has(line, "USE")) useMaterial(read, in, line);
    if (has(line, "texture") && has(line, "ImageTexture")) {
        if (!readImageTexture(read, in, line)) return true;
    }
    if (has(line, "}")) {
        if (read.nesting < 1) return true;
        --read.nesting;
    }
    return false;
}

void readAppearance(World& world, LineReader& in, Line line)
{
    AppearanceRead read(world);
    prepareRow(read);
    if (commentedOut(line, "Appearance")) return;
    for (;;) {
        if (examineAppearanceLine(read, in, line)) break;
        if (!nextLine(in, line)) break;
    }
    // An Appearance without a name of its own is called "mat_" and the count.
    if (world.materialCount > 0) {
        MaterialRecord& last = world.materials[world.materialCount - 1];
        if (!last.name[0]) generatedName(last.name, sizeof last.name, "mat_", world.materialCount);
    }
}
