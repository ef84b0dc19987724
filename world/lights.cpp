// The light readers: DirectionalLight, PointLight and SpotLight append a light row and
// a row of their kind, filled from the node's fields.
#include "world/node_readers.h"

#include <cstring>

constexpr i16 kDirectional = 1;
constexpr i16 kPoint = 2;
constexpr i16 kSpot = 3;
constexpr f32 kConeScale = 1.4279966f; // cutOffAngle (radians) to the cone value

// attenuation gives the fall-off coefficient as its second number; the constant and
// quadratic terms are read past.
static void readAttenuation(const Line& line, LightRecord& light)
{
    f32 terms[2] = {0.0f, 0.0f};
    if (readValues(line, "attenuation", terms, 2) == 2) light.falloff = terms[1];
}

// The fields of one line, in order. The "on" test is a plain substring test, so it also
// fires on direction, location and attenuation lines, harmlessly unless such a line
// also holds TRUE or FALSE.
static void readLightLine(World& world, const Line& line, i16 light, f32& intensity)
{
    LightRecord& record = world.lights[light];
    const i16 row = record.kindIndex;
    readValue(line, "intensity", intensity);
    if (has(line, "color")) readValues(line, "color", record.color, 3);
    if (record.kind == kDirectional) {
        // The direction the light travels, reversed and scaled like a length.
        if (has(line, "direction"))
            readVector(line, "direction", -kWorldScale, world.directionalLights[row]);
    } else if (record.kind == kPoint) {
        if (has(line, "location"))
            readVector(line, "location", kWorldScale, world.pointLights[row]);
        if (has(line, "attenuation")) readAttenuation(line, record);
    } else if (record.kind == kSpot) {
        SpotLightRow& spot = world.spotLights[row];
        f32 cutOffAngle = 0.0f;
        if (readValue(line, "cutOffAngle", cutOffAngle)) spot.cone = cutOffAngle * kConeScale;
        if (has(line, "location")) readVector(line, "location", kWorldScale, spot.location);
        if (has(line, "direction")) readVector(line, "direction", 1.0f, spot.direction);
        if (has(line, "attenuation")) readAttenuation(line, record);
    }
    if (has(line, "on")) {
        const i32 on = booleanIn(line);
        if (on >= 0) record.enabled = on ? 1.0f : 0.0f;
    }
}

// The common frame: the light is appended with its defaults; a first line holding "#"
// leaves it so. Lines are read up to the one holding "}", which is not examined, so a
// light written on one line keeps every default. The colour ends multiplied by the
// intensity. A refused row still has its node read past.
static void readLight(World& world, LineReader& in, Line line, i16 kind)
{
    const i16 light = newLight(world, kind);
    if (std::strchr(line.text, '#')) return;
    f32 intensity = 1.0f;
    while (!has(line, "}")) {
        if (light >= 0) readLightLine(world, line, light, intensity);
        if (!nextLine(in, line)) break;
    }
    if (light < 0) return;
    for (f32& channel : world.lights[light].color) channel *= intensity;
}

void readDirectionalLight(World& world, LineReader& in, Line line)
{
    readLight(world, in, line, kDirectional);
}

void readPointLight(World& world, LineReader& in, Line line)
{
    readLight(world, in, line, kPoint);
}

void readSpotLight(World& world, LineReader& in, Line line)
{
    readLight(world, in, line, kSpot);
}
