// worldSummary: what the reader found, in a few lines a person can read.
#include "world/dump.h"

#include <cstdarg>
#include <cstdio>

// Objects listed by name before the rest is only counted.
constexpr i32 kListedObjects = 40;

static void appendf(std::string& text, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

static void appendf(std::string& text, const char* format, ...)
{
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    text += line;
}

static f64 wide(f32 value)
{
    return static_cast<f64>(value);
}

static void summarizeObjects(std::string& text, const World& world)
{
    appendf(text,
            "objects: %d, vertices: %u, polygons: %u (with the empty row after each "
            "face set), corners: %u\n",
            world.objectCount, world.vertexCount, world.faceCount, world.faceIndexCount);
    const i32 listed = world.objectCount < kListedObjects ? world.objectCount : kListedObjects;
    for (i32 o = 0; o < listed && world.objects; ++o) {
        const ObjectRecord& object = world.objects[o];
        appendf(text, "  %d %s: %u vertices, %u polygons, material %d\n", o,
                object.name[0] ? object.name : "(no name)", object.vertexCount, object.faceCount,
                object.material);
    }
    if (world.objectCount > listed)
        appendf(text, "  ... and %d more\n", world.objectCount - listed);
    appendf(text, "materials: %d, textures: %d, transform groups: %d\n", world.materialCount,
            world.textureCount, world.transformGroupCount);
    for (i32 t = 0; t < world.textureCount && world.textures; ++t) {
        const TextureRecord& texture = world.textures[t];
        appendf(text, "  texture %d \"%s\" %d x %d\n", t, texture.fileName, texture.width,
                texture.height);
    }
}

static void summarizeLights(std::string& text, const World& world)
{
    static const char* const kKinds[] = {"light", "directional", "point", "spot"};
    appendf(text, "lights: %d\n", world.lightCount);
    for (i32 l = 0; l < world.lightCount && world.lights; ++l) {
        const LightRecord& light = world.lights[l];
        const char* kind = light.kind >= 1 && light.kind <= 3 ? kKinds[light.kind] : kKinds[0];
        appendf(text, "  %d %s, colour %g %g %g, %s\n", l, kind, wide(light.color[0]),
                wide(light.color[1]), wide(light.color[2]), light.enabled == 1.0f ? "on" : "off");
    }
}

static void summarizeView(std::string& text, const World& world)
{
    const Camera& camera = world.camera;
    appendf(text, "camera: eye %g %g %g, target %g %g %g, roll %g, view angle %g (%s)\n",
            wide(camera.eyePoint[0]), wide(camera.eyePoint[1]), wide(camera.eyePoint[2]),
            wide(camera.targetPoint[0]), wide(camera.targetPoint[1]), wide(camera.targetPoint[2]),
            wide(camera.rollAngle), wide(camera.viewAngle),
            world.viewpointCount > 0 ? "from the first Viewpoint" : "default");
    if (world.backgroundMode == 3)
        appendf(text, "background: picture \"%s\"\n", world.backgroundUrl);
    else
        appendf(text, "background: colour %d %d %d\n", world.backgroundRed, world.backgroundGreen,
                world.backgroundBlue);
}

static void summarizeSounds(std::string& text, const World& world)
{
    appendf(text, "sounds: %d, audio clips: %d, time sensors: %d\n", world.soundCount,
            world.audioClipCount, world.timeSensorCount);
    for (i32 s = 0; s < world.soundCount && world.sounds; ++s) {
        const SoundRecord& sound = world.sounds[s];
        const bool hasClip =
            sound.clipNumber >= 1 && sound.clipNumber <= world.audioClipCount && world.audioClips;
        appendf(text, "  %d %s at %g %g %g: %s%s%s\n", s, sound.name, wide(sound.location[0]),
                wide(sound.location[1]), wide(sound.location[2]), hasClip ? "\"" : "",
                hasClip ? world.audioClips[sound.clipNumber - 1].url : "silent (no clip)",
                hasClip ? "\"" : "");
    }
}

std::string worldSummary(const World& world)
{
    std::string text;
    summarizeObjects(text, world);
    summarizeLights(text, world);
    summarizeView(text, world);
    summarizeSounds(text, world);
    return text;
}
