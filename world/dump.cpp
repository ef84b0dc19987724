// worldDumpJson: every table of the world under its own name, `count` rows each.
#include "world/dump.h"

#include "world/json_writer.h"

static void writeCounts(JsonWriter& json, const World& world)
{
    json.key("counts");
    json.open('{');
    const struct {
        const char* name;
        i64 value;
    } counts[] = {
        {"objectCount", world.objectCount},
        {"vertexCount", world.vertexCount},
        {"faceCount", world.faceCount},
        {"faceIndexCount", world.faceIndexCount},
        {"materialCount", world.materialCount},
        {"textureCount", world.textureCount},
        {"lightCount", world.lightCount},
        {"directionalLightCount", world.directionalLightCount},
        {"pointLightCount", world.pointLightCount},
        {"spotLightCount", world.spotLightCount},
        {"transformGroupCount", world.transformGroupCount},
        {"audioClipCount", world.audioClipCount},
        {"soundCount", world.soundCount},
        {"timeSensorCount", world.timeSensorCount},
        {"viewpointCount", world.viewpointCount},
    };
    for (const auto& count : counts) {
        json.key(count.name);
        json.integer(count.value);
    }
    json.close('}');
}

// The rows of a 16-bit count that the table really holds (none without a table).
template <class Row> static i32 rowsOf(const Row* table, i16 count)
{
    return table && count > 0 ? count : 0;
}

template <class Row> static u32 rowsOf(const Row* table, u32 count)
{
    return table ? count : 0;
}

static void writeObject(JsonWriter& json, const ObjectRecord& object, const f32 bounds[6])
{
    json.open('{');
    json.key("name");
    json.string(object.name);
    json.key("coordName");
    json.string(object.coordName);
    json.key("colorName");
    json.string(object.colorName);
    json.key("normalName");
    json.string(object.normalName);
    json.key("texCoordName");
    json.string(object.texCoordName);
    const struct {
        const char* name;
        i64 value;
    } fields[] = {
        {"firstVertex", object.firstVertex},
        {"vertexCount", object.vertexCount},
        {"firstFace", object.firstFace},
        {"faceCount", object.faceCount},
        {"cornerCount", object.cornerCount},
        {"firstCorner", object.firstCorner},
        {"material", object.material},
        {"normalPerVertex", object.normalPerVertex},
        {"colorPerVertex", object.colorPerVertex},
        {"hasColors", object.hasColors},
        {"hasNormals", object.hasNormals},
        {"hasTexCoords", object.hasTexCoords},
    };
    for (const auto& field : fields) {
        json.key(field.name);
        json.integer(field.value);
    }
    json.key("bounds");
    json.numbers(bounds, 6);
    json.close('}');
}

static void writeObjects(JsonWriter& json, const World& world)
{
    json.key("objects");
    json.open('[');
    const i32 rows = world.objectBounds ? rowsOf(world.objects, world.objectCount) : 0;
    for (i32 o = 0; o < rows; ++o) writeObject(json, world.objects[o], world.objectBounds[o]);
    json.close(']');
}

static void writeFloats(JsonWriter& json, const char* name, const f32* values, u32 count)
{
    json.key(name);
    json.numbers(values, rowsOf(values, count));
}

template <u32 Width>
static void writeRows(JsonWriter& json, const char* name, const f32 (*rows)[Width], u32 count)
{
    json.key(name);
    json.open('[');
    const u32 available = rowsOf(rows, count);
    for (u32 row = 0; row < available; ++row) json.numbers(rows[row], Width);
    json.close(']');
}

static void writeVertices(JsonWriter& json, const World& world)
{
    writeFloats(json, "vertexZ", world.vertexZ, world.vertexCount);
    writeFloats(json, "vertexX", world.vertexX, world.vertexCount);
    writeFloats(json, "vertexY", world.vertexY, world.vertexCount);
    writeRows(json, "vertexNormals", world.vertexNormals, world.vertexCount);
    writeRows(json, "vertexColors", world.vertexColors, world.vertexCount);
    writeRows(json, "vertexTexCoords", world.vertexTexCoords, world.vertexCount);
}

static void writeFaces(JsonWriter& json, const World& world)
{
    json.key("faces");
    json.open('[');
    const u32 faces = rowsOf(world.faces, world.faceCount);
    for (u32 f = 0; f < faces; ++f) {
        json.open('{');
        json.key("firstIndex");
        json.integer(world.faces[f].firstIndex);
        json.key("vertexCount");
        json.integer(world.faces[f].vertexCount);
        json.close('}');
    }
    json.close(']');
    json.key("faceIndices");
    json.open('[');
    const u32 corners = rowsOf(world.faceIndices, world.faceIndexCount);
    for (u32 c = 0; c < corners; ++c) json.integer(world.faceIndices[c]);
    json.close(']');
}

static void writeMaterial(JsonWriter& json, const MaterialRecord& material)
{
    json.open('{');
    json.key("name");
    json.string(material.name);
    const struct {
        const char* name;
        i64 value;
    } fields[] = {
        {"opaque", material.opaque},
        {"hasTexture", material.hasTexture},
        {"texture", material.texture},
        {"textureMode", material.textureMode},
        {"textureRepeatS", material.textureRepeatS},
        {"textureRepeatT", material.textureRepeatT},
    };
    for (const auto& field : fields) {
        json.key(field.name);
        json.integer(field.value);
    }
    json.key("specularColor");
    json.numbers(material.specularColor, 3);
    json.key("shininess");
    json.number(material.shininess);
    json.key("transparency");
    json.number(material.transparency);
    json.key("diffuseColor");
    json.numbers(material.diffuseColor, 3);
    json.close('}');
}

static void writeMaterials(JsonWriter& json, const World& world)
{
    json.key("materials");
    json.open('[');
    const i32 rows = rowsOf(world.materials, world.materialCount);
    for (i32 m = 0; m < rows; ++m) writeMaterial(json, world.materials[m]);
    json.close(']');
    json.key("materialNames");
    json.open('[');
    const i32 names = rowsOf(world.materialNames, world.materialCount);
    for (i32 m = 0; m < names; ++m) json.string(world.materialNames[m]);
    json.close(']');
    json.key("textures");
    json.open('[');
    const i32 textures = rowsOf(world.textures, world.textureCount);
    for (i32 t = 0; t < textures; ++t) {
        json.open('{');
        json.key("fileName");
        json.string(world.textures[t].fileName);
        json.key("width");
        json.integer(world.textures[t].width);
        json.key("height");
        json.integer(world.textures[t].height);
        json.close('}');
    }
    json.close(']');
}

static void writeLights(JsonWriter& json, const World& world)
{
    json.key("lights");
    json.open('[');
    const i32 lights = rowsOf(world.lights, world.lightCount);
    for (i32 l = 0; l < lights; ++l) {
        const LightRecord& light = world.lights[l];
        json.open('{');
        json.key("kind");
        json.integer(light.kind);
        json.key("kindIndex");
        json.integer(light.kindIndex);
        json.key("enabled");
        json.number(light.enabled);
        json.key("falloff");
        json.number(light.falloff);
        json.key("color");
        json.numbers(light.color, 3);
        json.close('}');
    }
    json.close(']');
    const u32 directional =
        static_cast<u32>(rowsOf(world.directionalLights, world.directionalLightCount));
    writeRows(json, "directionalLights", world.directionalLights, directional);
    const u32 point = static_cast<u32>(rowsOf(world.pointLights, world.pointLightCount));
    writeRows(json, "pointLights", world.pointLights, point);
    json.key("spotLights");
    json.open('[');
    const i32 spots = rowsOf(world.spotLights, world.spotLightCount);
    for (i32 s = 0; s < spots; ++s) {
        const SpotLightRow& spot = world.spotLights[s];
        json.open('{');
        json.key("location");
        json.numbers(spot.location, 3);
        json.key("direction");
        json.numbers(spot.direction, 3);
        json.key("cone");
        json.number(spot.cone);
        json.close('}');
    }
    json.close(']');
}

static void writeCameraAndBackground(JsonWriter& json, const World& world)
{
    json.key("camera");
    json.open('{');
    json.key("eye");
    json.numbers(world.camera.eyePoint, 3);
    json.key("target");
    json.numbers(world.camera.targetPoint, 3);
    json.key("rollAngle");
    json.number(world.camera.rollAngle);
    json.key("viewAngle");
    json.number(world.camera.viewAngle);
    json.close('}');
    json.key("background");
    json.open('{');
    json.key("backgroundMode");
    json.integer(world.backgroundMode);
    json.key("backgroundRed");
    json.integer(world.backgroundRed);
    json.key("backgroundGreen");
    json.integer(world.backgroundGreen);
    json.key("backgroundBlue");
    json.integer(world.backgroundBlue);
    json.key("backgroundUrl");
    json.string(world.backgroundUrl);
    json.close('}');
}

static void writeTransformGroups(JsonWriter& json, const World& world)
{
    json.key("transformGroups");
    json.open('[');
    const i32 groups = rowsOf(world.transformGroups, world.transformGroupCount);
    for (i32 g = 0; g < groups; ++g) {
        const TransformGroupRecord& group = world.transformGroups[g];
        json.open('{');
        json.key("firstEntry");
        json.integer(group.firstEntry);
        json.key("objectCount");
        json.integer(group.objectCount);
        json.key("objects");
        json.open('[');
        for (i32 e = 0; e < group.objectCount; ++e) {
            const i64 entry = static_cast<i64>(group.firstEntry) + e;
            if (!world.groupObjects || entry < 0 || entry >= world.groupObjectCapacity) break;
            json.integer(world.groupObjects[entry]);
        }
        json.close(']');
        json.close('}');
    }
    json.close(']');
}

static void writeSoundNodes(JsonWriter& json, const World& world)
{
    json.key("audioClips");
    json.open('[');
    const i32 clips = rowsOf(world.audioClips, world.audioClipCount);
    for (i32 c = 0; c < clips; ++c) {
        const AudioClipRecord& clip = world.audioClips[c];
        json.open('{');
        json.key("name");
        json.string(clip.name);
        json.key("description");
        json.string(clip.description);
        json.key("url");
        json.string(clip.url);
        json.key("loop");
        json.integer(clip.loop);
        json.key("pitch");
        json.number(clip.pitch);
        json.key("startTime");
        json.number(clip.startTime);
        json.key("stopTime");
        json.number(clip.stopTime);
        json.close('}');
    }
    json.close(']');
    json.key("sounds");
    json.open('[');
    const i32 sounds = rowsOf(world.sounds, world.soundCount);
    for (i32 s = 0; s < sounds; ++s) {
        const SoundRecord& sound = world.sounds[s];
        json.open('{');
        json.key("name");
        json.string(sound.name);
        json.key("clipNumber");
        json.integer(sound.clipNumber);
        json.key("direction");
        json.numbers(sound.direction, 3);
        json.key("location");
        json.numbers(sound.location, 3);
        const struct {
            const char* name;
            f32 value;
        } fields[] = {{"intensity", sound.intensity}, {"maxBack", sound.maxBack},
                      {"maxFront", sound.maxFront},   {"minBack", sound.minBack},
                      {"minFront", sound.minFront},   {"priority", sound.priority}};
        for (const auto& field : fields) {
            json.key(field.name);
            json.number(field.value);
        }
        json.key("spatialize");
        json.integer(sound.spatialize);
        json.key("sourceName");
        json.string(sound.sourceName);
        json.close('}');
    }
    json.close(']');
    json.key("timeSensors");
    json.open('[');
    const i32 sensors = rowsOf(world.timeSensors, world.timeSensorCount);
    for (i32 t = 0; t < sensors; ++t) {
        const TimeSensorRecord& sensor = world.timeSensors[t];
        json.open('{');
        json.key("name");
        json.string(sensor.name);
        json.key("cycleInterval");
        json.number(sensor.cycleInterval);
        json.key("enabled");
        json.integer(sensor.enabled);
        json.key("loop");
        json.integer(sensor.loop);
        json.key("startTime");
        json.number(sensor.startTime);
        json.key("stopTime");
        json.number(sensor.stopTime);
        json.close('}');
    }
    json.close(']');
}

std::string worldDumpJson(const World& world)
{
    JsonWriter json;
    json.open('{');
    writeCounts(json, world);
    writeObjects(json, world);
    writeVertices(json, world);
    writeFaces(json, world);
    writeMaterials(json, world);
    writeLights(json, world);
    writeCameraAndBackground(json, world);
    writeTransformGroups(json, world);
    writeSoundNodes(json, world);
    json.close('}');
    json.text += '\n';
    return json.text;
}
