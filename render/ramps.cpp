// The per-material colour ramps: lighting becomes a table look-up per light and corner.
#include "render/lighting.h"

#include "memory/memory.h"

namespace {

constexpr f32 kRampStep = 0.001f;
constexpr f32 kMaterialShadowFactor = 0.4f;

// Rows that carry ramps: every material, or row 0 alone for a world without one, so
// that one set of ramps always exists.
u32 rampRows(const World& world)
{
    return world.materialCount > 0 ? static_cast<u32>(world.materialCount) : 1u;
}

// Allocates the six ramps of a row that does not have them yet.
bool allocateRamps(f32* ramps[6])
{
    for (int r = 0; r < 6; ++r) {
        if (ramps[r]) continue;
        ramps[r] = static_cast<f32*>(PluginAllocArray(kColourRampEntries, sizeof(f32)));
        if (!ramps[r]) return false;
    }
    return true;
}

} // namespace

void BuildColourRamps(const MaterialRecord& material, f32* const ramps[6])
{
    const bool textured = material.hasTexture == 1;
    // x is accumulated step by step in single precision, so entry i holds a value close
    // to, not exactly, i / 1000.
    f32 x = 0.0f;
    for (i32 i = 0; i < kColourRampEntries; ++i) {
        for (int c = 0; c < 3; ++c) ramps[c][i] = textured ? x : x * material.diffuseColor[c];
        if (x > 0.5f) {
            const f32 s = 2.0f * x - 1.0f;
            const f32 s2 = s * s;
            const f32 s4 = s2 * s2;
            const f32 s8 = s4 * s4; // the highlight exponent is fixed at 8
            for (int c = 0; c < 3; ++c) ramps[3 + c][i] = material.specularColor[c] * s8;
        } else {
            for (int c = 0; c < 3; ++c) ramps[3 + c][i] = 0.0f;
        }
        x = x + kRampStep;
    }
}

// Builds the ramps of every row that carries them, allocating the missing ones.
bool BuildRampTables(World& world)
{
    if (!world.colourRamps || !world.materials) return false;
    const u32 rows = rampRows(world);
    if (rows > world.materialCapacity) return false;
    for (u32 row = 0; row < rows; ++row) {
        if (!allocateRamps(world.colourRamps[row])) return false;
        BuildColourRamps(world.materials[row], world.colourRamps[row]);
    }
    return true;
}

bool BuildMaterialRamps(World& world)
{
    if (!world.colourRamps || !world.materials) return false;
    const u32 rows = rampRows(world);
    if (rows > world.materialCapacity) return false;
    for (u32 row = 0; row < rows; ++row) world.materials[row].lightingScale = kMaterialShadowFactor;
    return BuildRampTables(world);
}

void FreeMaterialRamps(World& world)
{
    if (!world.colourRamps) return;
    // Every row that may hold ramps, not only the counted ones: a ramp is freed only
    // when it exists, and its pointer is cleared so nothing frees it twice.
    for (u32 row = 0; row < world.materialCapacity; ++row) {
        for (f32*& ramp : world.colourRamps[row]) {
            PluginFree(ramp);
            ramp = nullptr;
        }
    }
}
