// The sound node readers: AudioClip, Sound and TimeSensor rows, in the file's own axis
// order and units (the sound set-up works in file coordinates).
#include "world/node_readers.h"

#include "world/name_index.h"

#include <cstring>

// Appends a row to a sound table and gives it the defaults; -1 when the 16-bit count is
// full or memory ran out. The row counts once its node has been read.
template <class Row>
static i32 appendRow(Row*& table, u32& capacity, i16 count, void (*setDefaults)(Row&))
{
    if (!canAddRow16(count)) return -1;
    const u32 row = static_cast<u32>(count);
    if (!growTable(table, capacity, row + 1)) return -1;
    setDefaults(table[row]);
    return count;
}

// VRML's defaults for what a file leaves out; names and strings start empty.
static void setClipDefaults(AudioClipRecord& clip)
{
    std::memset(&clip, 0, sizeof clip);
    clip.loop = 0;
    clip.pitch = 1.0f;
}

static void setSoundDefaults(SoundRecord& sound)
{
    std::memset(&sound, 0, sizeof sound);
    sound.clipNumber = 0;
    sound.direction[2] = 1.0f;
    sound.intensity = 1.0f;
    sound.maxBack = 10.0f;
    sound.maxFront = 10.0f;
    sound.minBack = 1.0f;
    sound.minFront = 1.0f;
    sound.spatialize = 1;
}

static void setTimeSensorDefaults(TimeSensorRecord& sensor)
{
    std::memset(&sensor, 0, sizeof sensor);
    sensor.cycleInterval = 1.0f;
    sensor.enabled = 1;
}

// "TRUE" sets 1, "FALSE" sets 0 (and wins when both stand on the line).
static void readFlag(const Line& line, const char* field, u32& flag)
{
    if (!has(line, field)) return;
    const i32 value = booleanIn(line);
    if (value >= 0) flag = static_cast<u32>(value);
}

static void readClipLine(World& world, const Line& line, AudioClipRecord& clip)
{
    if (has(line, "DEF"))
        cutDefName(line, "AudioClip_", world.audioClipCount, clip.name, sizeof clip.name);
    if (has(line, "url")) urlText(line, clip.url, sizeof clip.url);
    if (has(line, "description")) quotedText(line, clip.description, sizeof clip.description);
    readValue(line, "pitch", clip.pitch);
    readValue(line, "startTime", clip.startTime);
    readValue(line, "stopTime", clip.stopTime);
    readFlag(line, "loop", clip.loop);
}

i32 readAudioClip(World& world, LineReader& in, Line line)
{
    const i32 row =
        appendRow(world.audioClips, world.audioClipCapacity, world.audioClipCount, setClipDefaults);
    // The line holding "}" is not examined.
    while (!has(line, "}")) {
        if (row >= 0) readClipLine(world, line, world.audioClips[row]);
        if (!nextLine(in, line)) break;
    }
    if (row < 0) return 0;
    world.audioClipCount = static_cast<i16>(row + 1);
    return row + 1;
}

// The fields of one Sound line, in order; a nested clip is read to its end here.
static void readSoundLine(World& world, LineReader& in, const Line& line, i32 row, bool& named)
{
    SoundRecord* sound = row >= 0 ? &world.sounds[row] : nullptr;
    // Only the first DEF line names the Sound, even when it is its nested clip's.
    if (has(line, "DEF") && !named) {
        named = true;
        if (sound) cutDefName(line, "Sound_", world.soundCount, sound->name, sizeof sound->name);
    }
    if (sound) {
        readValue(line, "intensity", sound->intensity);
        readValue(line, "maxBack", sound->maxBack);
        readValue(line, "maxFront", sound->maxFront);
        readValue(line, "minBack", sound->minBack);
        readValue(line, "minFront", sound->minFront);
        readValue(line, "priority", sound->priority);
        readValues(line, "direction", sound->direction, 3);
        readValues(line, "location", sound->location, 3);
        readFlag(line, "spatialize", sound->spatialize);
    }
    if (!has(line, "source")) return;
    if (!has(line, "USE")) {
        const i32 clipNumber = readAudioClip(world, in, line);
        if (sound) sound->clipNumber = clipNumber;
    } else if (sound) {
        cutUseName(line, "USE", sound->sourceName, sizeof sound->sourceName);
        // The 1-based row of the last clip of that name; 0 (silent) when there is none.
        sound->clipNumber =
            findLastNamed(in.names, world, NamedTable::clipNames, sound->sourceName) + 1;
    }
}

void readSound(World& world, LineReader& in, Line line)
{
    const i32 row =
        appendRow(world.sounds, world.soundCapacity, world.soundCount, setSoundDefaults);
    bool named = false;
    while (!has(line, "}")) {
        readSoundLine(world, in, line, row, named);
        if (!nextLine(in, line)) break;
    }
    if (row >= 0) world.soundCount = static_cast<i16>(row + 1);
}

static void readTimeSensorLine(World& world, const Line& line, TimeSensorRecord& sensor)
{
    if (has(line, "DEF"))
        cutDefName(line, "TimeSensor_", world.timeSensorCount, sensor.name, sizeof sensor.name);
    readValue(line, "cycleInterval", sensor.cycleInterval);
    readValue(line, "startTime", sensor.startTime);
    readValue(line, "stopTime", sensor.stopTime);
    readFlag(line, "enabled", sensor.enabled);
    readFlag(line, "loop", sensor.loop);
}

void readTimeSensor(World& world, LineReader& in, Line line)
{
    const i32 row = appendRow(world.timeSensors, world.timeSensorCapacity, world.timeSensorCount,
                              setTimeSensorDefaults);
    while (!has(line, "}")) {
        if (row >= 0) readTimeSensorLine(world, line, world.timeSensors[row]);
        if (!nextLine(in, line)) break;
    }
    if (row >= 0) world.timeSensorCount = static_cast<i16>(row + 1);
}
