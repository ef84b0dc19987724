// Per-corner lighting through the colour ramps.
#include "render/lighting.h"

#include "base/convert.h"
#include "base/portable_math.h"
#include "memory/memory.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr f32 kInverseRootThree = 0.57735026f;
constexpr f32 kFalloffUnit = 0.0001f; // fall-off distances are counted in 10000 world units
constexpr f64 kPi = 3.141592653589793;

// The spot's cone as a cosine. The cone value is a fraction of pi; past 1 the cosine
// would wrap round and a wider cut-off would light a narrower beam, so it stops at pi.
f32 coneCosine(f32 cone)
{
    const f64 angle = std::min(kPi * static_cast<f64>(cone), kPi);
    return static_cast<f32>(portable::cos(angle));
}

// True when the corner lies inside the spot's cone. The direction row is stored as
// read, not of unit length, so it is normalised here.
bool insideCone(const SpotLightRow& spot, const f32 toLight[3])
{
    const f32* d = spot.direction;
    const f32 length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    f32 along = d[0] * toLight[0] + d[1] * toLight[1] + d[2] * toLight[2];
    if (length > 0.0f) along /= length;
    return -along >= coneCosine(spot.cone);
}

const SpotLightRow* spotOf(const World& world, const LightRecord& light)
{
    if (light.kind != 3 || light.kindIndex < 0 || light.kindIndex >= world.spotLightCount)
        return nullptr;
    return &world.spotLights[light.kindIndex];
}

} // namespace

bool LightDirection(const World& world, const LightRecord& light, const f32 position[3],
                    f32 toLight[3], f32& distance)
{
    f32 v[3];
    const i16 row = light.kindIndex;
    if (light.kind == 1) {
        // The row already points toward the light (the reader stores the file's
        // direction reversed), so it is used as it stands.
        if (row < 0 || row >= world.directionalLightCount) return false;
        std::memcpy(v, world.directionalLights[row], sizeof v);
    } else if (light.kind == 2) {
        if (row < 0 || row >= world.pointLightCount) return false;
        const f32* at = world.pointLights[row];
        for (int c = 0; c < 3; ++c) v[c] = at[c] - position[c];
    } else if (light.kind == 3) {
        if (row < 0 || row >= world.spotLightCount) return false;
        const f32* at = world.spotLights[row].location;
        for (int c = 0; c < 3; ++c) v[c] = at[c] - position[c];
    } else {
        return false;
    }
    distance = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(distance > 0.0f)) return false; // at the light itself: no direction to light from
    for (int c = 0; c < 3; ++c) toLight[c] = v[c] / distance;
    return true;
}

namespace {

inline void addLight(const LightRecord* light, const MaterialRecord& material, f32* const ramps[6],
                     const f32 toLight[3], f32 distance, const CornerSurface& surface,
                     f32 record[kCornerColourValues])
{
    f32 colour[3] = {1.0f, 1.0f, 1.0f};
    f32 cosine;
    const f32* n = surface.normal;
    if (light) {
        for (int c = 0; c < 3; ++c) colour[c] = light->color[c];
        if (light->falloff != 0.0f && light->kind != 1) {
            const f32 q = distance * kFalloffUnit * light->falloff;
            if (q >= 1.0f) {
                const f32 dim = 1.0f / q;
                for (f32& c : colour) c *= dim;
            }
        }
        cosine = toLight[0] * n[0] + toLight[1] * n[1] + toLight[2] * n[2];
    } else {
        cosine = (-n[0] + n[1] + n[2]) * kInverseRootThree;
    }
    if (surface.facing <= 0.0f) cosine = -cosine; // lit from the side the eye sees

    const f32 wrapped = (cosine + 1.0f) * 0.5f;
    const i32 entry = clampTrunc(wrapped * kRampScale, 0, kColourRampEntries - 1);
    const bool seeThrough = material.opaque == 0;
    f32 diffuse[3];
    for (int c = 0; c < 3; ++c) {
        diffuse[c] = ramps[c][entry] * colour[c];
        if (seeThrough) diffuse[c] *= 1.0f - material.transparency;
    }
    const bool highlighted = wrapped > 0.5f;
    f32 highlight[3] = {0.0f, 0.0f, 0.0f};
    if (highlighted) {
        for (int c = 0; c < 3; ++c) {
            highlight[c] = ramps[3 + c][entry] * colour[c];
            if (seeThrough) highlight[c] *= 1.0f - 0.5f * material.transparency;
        }
    }
    if (material.hasTexture == 1) {
        for (int c = 0; c < 3; ++c) {
            record[3 + c] += diffuse[c];
            if (highlighted) record[6 + c] += highlight[c];
        }
        return;
    }
    for (int c = 0; c < 3; ++c) {
        // A screen combination: the highlight saturates toward white, never past it.
        record[c] += highlighted ? diffuse[c] + (1.0f - diffuse[c]) * highlight[c] : diffuse[c];
    }
}

} // namespace

void AddLightContribution(const LightRecord* light, const MaterialRecord& material,
                          f32* const ramps[6], const f32 toLight[3], f32 distance,
                          const CornerSurface& surface, f32 record[kCornerColourValues])
{
    addLight(light, material, ramps, toLight, distance, surface, record);
}

void ShadeCorner(const World& world, i16 material, const CornerSurface& surface,
                 const f32 position[3], f32 record[kCornerColourValues])
{
    for (i32 v = 0; v < kCornerColourValues; ++v) record[v] = 0.0f;
    f32* const* ramps = world.colourRamps ? world.colourRamps[material] : nullptr;
    if (!ramps || !ramps[0] || !ramps[1] || !ramps[2] || !ramps[3] || !ramps[4] || !ramps[5])
        return; // ramps never built: the corner stays black rather than read through null
    const MaterialRecord& row = world.materials[material];
    if (world.lightCount < 1) {
        const f32 none[3] = {0.0f, 0.0f, 0.0f};
        AddLightContribution(nullptr, row, ramps, none, 0.0f, surface, record);
        return;
    }
    for (i16 l = 0; l < world.lightCount; ++l) {
        const LightRecord& light = world.lights[l];
        if (light.enabled != 1.0f) continue;
        f32 toLight[3];
        f32 distance = 0.0f;
        if (!LightDirection(world, light, position, toLight, distance)) continue;
        if (const SpotLightRow* spot = spotOf(world, light))
            if (!insideCone(*spot, toLight)) continue;
        AddLightContribution(&light, row, ramps, toLight, distance, surface, record);
    }
    // A VRML world keeps the light on the viewer's head beside its own unless its
    // NavigationInfo turns it off: the same light a world without lights gets.
    if (world.vrmlHeadlight && world.headlightOn) {
        const f32 none[3] = {0.0f, 0.0f, 0.0f};
        AddLightContribution(nullptr, row, ramps, none, 0.0f, surface, record);
    }
}

bool PrepareLights(const World& world, RenderState& render)
{
    render.preparedLightCount = 0;
    const u32 lights = world.lightCount > 0 ? static_cast<u32>(world.lightCount) : 0;
    if (!render.preparedLights || render.preparedLightCapacity < lights) {
        auto* room = static_cast<PreparedLight*>(PluginAllocArray(lights, sizeof(PreparedLight)));
        if (!room) return false;
        PluginFree(render.preparedLights);
        render.preparedLights = room;
        render.preparedLightCapacity = lights;
    }
    for (u32 l = 0; l < lights; ++l) {
        const LightRecord& light = world.lights[l];
        if (light.enabled != 1.0f) continue;
        PreparedLight prepared{&light, nullptr, {0, 0, 0}, 0.0f, nullptr, 0.0f, 0.0f};
        const i16 row = light.kindIndex;
        if (light.kind == 1) {
            // As LightDirection: the row as it stands, made unit length.
            const f32 origin[3] = {0.0f, 0.0f, 0.0f};
            if (!LightDirection(world, light, origin, prepared.toLight, prepared.distance))
                continue;
        } else if (light.kind == 2) {
            if (row < 0 || row >= world.pointLightCount) continue;
            prepared.position = world.pointLights[row];
        } else if (light.kind == 3) {
            if (row < 0 || row >= world.spotLightCount) continue;
            const SpotLightRow& spot = world.spotLights[row];
            prepared.position = spot.location;
            prepared.spotDirection = spot.direction;
            const f32* d = spot.direction;
            prepared.spotLength = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            prepared.coneCosine = coneCosine(spot.cone);
        } else {
            continue; // no direction to light from
        }
        render.preparedLights[render.preparedLightCount++] = prepared;
    }
    return true;
}

void ShadePreparedCorner(const World& world, const RenderState& render, i16 material,
                         const CornerSurface& surface, const f32 position[3],
                         f32 record[kCornerColourValues])
{
    for (i32 v = 0; v < kCornerColourValues; ++v) record[v] = 0.0f;
    f32* const* ramps = world.colourRamps ? world.colourRamps[material] : nullptr;
    if (!ramps || !ramps[0] || !ramps[1] || !ramps[2] || !ramps[3] || !ramps[4] || !ramps[5])
        return;
    const MaterialRecord& row = world.materials[material];
    const f32 none[3] = {0.0f, 0.0f, 0.0f};
    if (world.lightCount < 1) {
        addLight(nullptr, row, ramps, none, 0.0f, surface, record);
        return;
    }
    for (u32 l = 0; l < render.preparedLightCount; ++l) {
        const PreparedLight& light = render.preparedLights[l];
        const f32* toLight = light.toLight;
        f32 distance = light.distance;
        f32 toward[3];
        if (light.position) {
            f32 v[3];
            for (int c = 0; c < 3; ++c) v[c] = light.position[c] - position[c];
            distance = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            if (!(distance > 0.0f)) continue;
            for (int c = 0; c < 3; ++c) toward[c] = v[c] / distance;
            toLight = toward;
        }
        if (light.spotDirection) {
            const f32* d = light.spotDirection;
            f32 along = d[0] * toLight[0] + d[1] * toLight[1] + d[2] * toLight[2];
            if (light.spotLength > 0.0f) along /= light.spotLength;
            if (!(-along >= light.coneCosine)) continue;
        }
        addLight(light.light, row, ramps, toLight, distance, surface, record);
    }
    if (world.vrmlHeadlight && world.headlightOn)
        addLight(nullptr, row, ramps, none, 0.0f, surface, record);
}
