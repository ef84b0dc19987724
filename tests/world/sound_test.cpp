// Sound, AudioClip and TimeSensor rows: names, strings, defaults and the clip a Sound
// plays.
#include "tests/world/world_reading.h"

#include <sstream>

class SoundReaders : public WorldReading {
protected:
    // Every clip, Sound and TimeSensor row on a line of its own, as "kind name: fields".
    std::string rows() const
    {
        std::ostringstream out;
        for (i16 c = 0; c < world.audioClipCount; ++c) {
            const AudioClipRecord& clip = world.audioClips[c];
            out << "clip " << clip.name << ": url '" << clip.url << "' description '"
                << clip.description << "' loop " << clip.loop << " pitch " << clip.pitch
                << " start " << clip.startTime << "\n";
        }
        for (i16 s = 0; s < world.soundCount; ++s) {
            const SoundRecord& sound = world.sounds[s];
            out << "sound " << sound.name << ": clip " << sound.clipNumber << " source '"
                << sound.sourceName << "' at " << sound.location[0] << ' ' << sound.location[1]
                << ' ' << sound.location[2] << " toward " << sound.direction[0] << ' '
                << sound.direction[1] << ' ' << sound.direction[2] << " intensity "
                << sound.intensity << " front " << sound.minFront << '-' << sound.maxFront
                << " back " << sound.minBack << '-' << sound.maxBack << " spatialize "
                << sound.spatialize << "\n";
        }
        for (i16 t = 0; t < world.timeSensorCount; ++t) {
            const TimeSensorRecord& sensor = world.timeSensors[t];
            out << "sensor " << sensor.name << ": cycle " << sensor.cycleInterval << " enabled "
                << sensor.enabled << " loop " << sensor.loop << "\n";
        }
        return out.str();
    }
};

// A Sound row with VRML's defaults but for its name, clip and location.
static std::string soundRow(const std::string& name, int clip, const std::string& at = "0 0 0",
                            const std::string& source = "")
{
    return "sound " + name + ": clip " + std::to_string(clip) + " source '" + source + "' at " +
           at + " toward 0 0 1 intensity 1 front 1-10 back 1-10 spatialize 1\n";
}

TEST_F(SoundReaders, RowsTakeTheFieldsAsWrittenOverVrmlDefaults)
{
    const struct {
        const char* what;
        const char* text;
        std::string rows;
    } cases[] = {
        // A url in quotes is the name; in brackets alone, the text between them.
        {"clip fields",
         "AudioClip {\nurl [ \"door.wav\" ]\ndescription \"The \\\"door\\\"\"\n"
         "pitch 2\nloop TRUE\nstartTime 1.5\n}\nAudioClip {\nurl [ door.wav ]\n}\n",
         "clip : url 'door.wav' description 'The \\\"door\\\"' loop 1 pitch 2 start "
         "1.5\n"
         "clip : url ' door.wav ' description '' loop 0 pitch 1 start 0\n"},
        // A DEF names a clip only when a tab follows the name.
        {"clip names", "DEF Door\tAudioClip {\nurl \"door.wav\"\n}\nDEF Bell AudioClip {\n}\n",
         "clip Door: url 'door.wav' description '' loop 0 pitch 1 start 0\n"
         "clip AudioClip_1: url '' description '' loop 0 pitch 1 start 0\n"},
        {"a generated name counts from 0", "DEF Bell AudioClip {\n}\n",
         "clip AudioClip_0: url '' description '' loop 0 pitch 1 start 0\n"},
        // File units and order; without a source the Sound is silent.
        {"sound fields", "Sound {\nlocation 1 2 3\nminFront 4\n}\n",
         "sound : clip 0 source '' at 1 2 3 toward 0 0 1 intensity 1 front 4-10 back 1-10 "
         "spatialize 1\n"},
        // A nested clip is appended once, after the clips before it, and played.
        {"a nested clip",
         "AudioClip {\n}\nSound {\nsource AudioClip {\nurl \"hum.wav\"\n}\nintensity 0.5\n}\n",
         "clip : url '' description '' loop 0 pitch 1 start 0\n"
         "clip : url 'hum.wav' description '' loop 0 pitch 1 start 0\n"
         "sound : clip 2 source '' at 0 0 0 toward 0 0 1 intensity 0.5 front 1-10 back 1-10 "
         "spatialize 1\n"},
        // USE names the last clip of that name; an unknown one leaves the Sound silent.
        {"a source USE",
         "DEF Door\tAudioClip {\n}\nDEF Door\tAudioClip {\n}\n"
         "Sound {\nsource USE Door\n}\nSound {\nsource USE Nothing\n}\n",
         "clip Door: url '' description '' loop 0 pitch 1 start 0\n"
         "clip Door: url '' description '' loop 0 pitch 1 start 0\n" +
             soundRow("", 2, "0 0 0", "Door") + soundRow("", 0, "0 0 0", "Nothing")},
        // A Sound without a DEF of its own takes its clip's name.
        {"sound names", "Sound {\nsource DEF Chime\tAudioClip {\n}\n}\nDEF Hum\tSound {\n}\n",
         "clip Chime: url '' description '' loop 0 pitch 1 start 0\n" + soundRow("Chime", 1) +
             soundRow("Hum", 0)},
        {"time sensors",
         "DEF Clock\tTimeSensor {\ncycleInterval 4\nloop TRUE\n}\n"
         "TimeSensor {\nenabled FALSE\n}\n",
         "sensor Clock: cycle 4 enabled 1 loop 1\nsensor : cycle 1 enabled 0 loop 0\n"},
        // A node on one line still takes a row, and reads none of its fields.
        {"nodes on one line", "Sound { location 5 5 5 }\nTimeSensor { loop TRUE }\n",
         soundRow("", 0) + "sensor : cycle 1 enabled 1 loop 0\n"},
    };
    for (const auto& c : cases) {
        read(c.text);
        EXPECT_EQ(rows(), c.rows) << c.what;
    }
}
