// Lights, sounds, audio clips and time sensors in the canonical layout. The line
// reader does not transform them, so lights and sounds inside Transforms are written
// with the transforms around them already applied.
#include "world/normalize/number_format.h"
#include "world/normalize/world_writer.h"

#include <cmath>

// The AudioClip reader's keywords: a string holding one would set that field.
const std::initializer_list<std::string_view> kClipKeywords = {
    "DEF", "url", "description", "pitch", "startTime", "stopTime", "loop", "TRUE", "FALSE"};

// A point field carried through the transform, or its own text when nothing moves it.
static void writePlacedPoint(CanonicalText& out, const Node& node, std::string_view name,
                             const f64 fallback[3], const Affine& around)
{
    if (isIdentity(around)) {
        writeNumberField(out, node, name, 3, fallback);
        return;
    }
    f64 point[3] = {fallback[0], fallback[1], fallback[2]};
    readDoubles(node, name, point, 3);
    applyPoint(around, point, point);
    writeComputedField(out, name, point, 3);
}

// A direction carried through the transform's turning and scaling, keeping its length
// (the readers scale directions like lengths).
static void writePlacedDirection(CanonicalText& out, const Node& node, std::string_view name,
                                 const f64 fallback[3], const Affine& around)
{
    if (isIdentity(around)) {
        writeNumberField(out, node, name, 3, fallback);
        return;
    }
    f64 direction[3] = {fallback[0], fallback[1], fallback[2]};
    readDoubles(node, name, direction, 3);
    f64 turned[3];
    applyVector(around, direction, turned);
    const f64 before = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] +
                                 direction[2] * direction[2]);
    const f64 after =
        std::sqrt(turned[0] * turned[0] + turned[1] * turned[1] + turned[2] * turned[2]);
    if (after > 0.0 && std::isfinite(after))
        for (f64& part : turned) part *= before / after;
    writeComputedField(out, name, turned, 3);
}

static std::string defPrefix(const std::string& name)
{
    return isSafeName(name) ? "DEF " + name + "\t" : std::string();
}

void writeLight(WriterState& state, const Node& light, const Affine& around)
{
    static const f64 kOne[3] = {1.0, 1.0, 1.0};
    static const f64 kOrigin[3] = {0.0, 0.0, 0.0};
    static const f64 kDown[3] = {0.0, 0.0, -1.0}; // VRML's default light direction
    static const f64 kAttenuation[3] = {1.0, 0.0, 0.0};
    static const f64 kCutOff[1] = {0.785398};
    CanonicalText& out = state.out;
    // No DEF: light names are not stored, and the "on" test fires on almost any name.
    out.begin(light.type + " {");
    writeBoolField(out, light, "on");
    writeNumberField(out, light, "intensity", 1, kOne);
    writeNumberField(out, light, "color", 3, kOne);
    const bool directional = light.type == "DirectionalLight";
    const bool spot = light.type == "SpotLight";
    if (!directional) writePlacedPoint(out, light, "location", kOrigin, around);
    // A light placed by a Transform gets its direction even when the file relied on
    // the default, which the transform turns too.
    if (directional || spot) {
        if (findField(light, "direction") || !isIdentity(around))
            writePlacedDirection(out, light, "direction", kDown, around);
    }
    if (!directional) writeNumberField(out, light, "attenuation", 3, kAttenuation);
    if (spot) writeNumberField(out, light, "cutOffAngle", 1, kCutOff);
    out.end("}");
}

void writeTimeSensor(WriterState& state, const Node& sensor)
{
    static const f64 kOne[1] = {1.0};
    static const f64 kZero[1] = {0.0};
    CanonicalText& out = state.out;
    out.begin(defPrefix(sensor.defName) + "TimeSensor {");
    writeNumberField(out, sensor, "cycleInterval", 1, kOne);
    writeBoolField(out, sensor, "enabled");
    writeBoolField(out, sensor, "loop");
    writeNumberField(out, sensor, "startTime", 1, kZero);
    writeNumberField(out, sensor, "stopTime", 1, kZero);
    out.end("}");
}

void writeAudioClip(WriterState& state, const Node& clip, bool asSource, bool shared)
{
    CanonicalText& out = state.out;
    const std::string field = asSource ? "source " : "";
    if (const auto written = state.sharedRows.find(&clip); written != state.sharedRows.end()) {
        // A clip used again is found by name; at the top level it would only be a
        // second row of the same clip.
        if (asSource) out.line("source USE " + written->second);
        return;
    }
    std::string name;
    if (shared) {
        name = state.clipNames.claim(clip.defName, "clip");
    } else if (isSafeName(clip.defName) && !state.clipNames.has(clip.defName)) {
        name = clip.defName;
        state.clipNames.add(name);
    }
    out.begin(field + (name.empty() ? std::string() : "DEF " + name + "\t") + "AudioClip {");
    const std::string url = writableUrl(state, clip, "url", {"}"});
    if (!url.empty()) out.line("url \"" + url + "\"");
    // The clip reader takes a DEF name from any line it reads; a file name holding "DEF"
    // would rename a clip that a Sound must find by name, so the name is said again.
    if (!url.empty() && !name.empty() && url.find("DEF") != std::string::npos)
        out.line("DEF " + name + "\t");
    // After the url, so that a word of a file name ("loop.wav", "pitch_2.wav") cannot
    // set a field: the reader takes the last line that names it.
    const FieldValue* description = findField(clip, "description");
    if (description && description->kind == ValueKind::kStrings && !description->texts.empty() &&
        fitsLine(description->texts[0], kClipKeywords))
        out.line("description \"" + description->texts[0] + "\"");
    const f64 defaults[3] = {1.0, 0.0, 0.0};
    f64 values[3] = {1.0, 0.0, 0.0};
    readDoubles(clip, "pitch", &values[0], 1);
    readDoubles(clip, "startTime", &values[1], 1);
    readDoubles(clip, "stopTime", &values[2], 1);
    if (findField(clip, "pitch"))
        writeNumberField(out, clip, "pitch", 1, &defaults[0]);
    else
        writeComputedField(out, "pitch", &values[0], 1);
    if (findField(clip, "startTime"))
        writeNumberField(out, clip, "startTime", 1, &defaults[1]);
    else
        writeComputedField(out, "startTime", &values[1], 1);
    if (findField(clip, "stopTime"))
        writeNumberField(out, clip, "stopTime", 1, &defaults[2]);
    else
        writeComputedField(out, "stopTime", &values[2], 1);
    out.line(fieldBool(clip, "loop", false) ? "loop TRUE" : "loop FALSE");
    out.end("}");
    if (shared) state.sharedRows[&clip] = name;
}

void writeSound(WriterState& state, const Node& sound, const Affine& around, bool shared)
{
    static const f64 kOne[1] = {1.0};
    static const f64 kTen[1] = {10.0};
    static const f64 kZero[1] = {0.0};
    static const f64 kOrigin[3] = {0.0, 0.0, 0.0};
    static const f64 kForward[3] = {0.0, 0.0, 1.0}; // VRML's default sound direction
    CanonicalText& out = state.out;
    out.begin(defPrefix(sound.defName) + "Sound {");
    writeNumberField(out, sound, "intensity", 1, kOne);
    writeNumberField(out, sound, "maxBack", 1, kTen);
    writeNumberField(out, sound, "maxFront", 1, kTen);
    writeNumberField(out, sound, "minBack", 1, kOne);
    writeNumberField(out, sound, "minFront", 1, kOne);
    writeNumberField(out, sound, "priority", 1, kZero);
    writePlacedPoint(out, sound, "location", kOrigin, around);
    if (findField(sound, "direction") || !isIdentity(around))
        writePlacedDirection(out, sound, "direction", kForward, around);
    writeBoolField(out, sound, "spatialize");
    const Node* source = fieldNode(sound, "source");
    if (source && source->type == "AudioClip")
        writeAudioClip(state, *source, true, shared || isShared(state, *source));
    out.end("}");
}
