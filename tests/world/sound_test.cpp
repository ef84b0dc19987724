// Sound, AudioClip and TimeSensor rows: names, strings, defaults and the clip a Sound
// plays.
#include "tests/world/world_reading.h"

class SoundReaders : public WorldReading {};

TEST_F(SoundReaders, AClipIsNamedByATabbedDefOrGetsTheGeneratedName)
{
    read("DEF Door\tAudioClip {\nurl \"door.wav\"\n}\nDEF Bell AudioClip {\n}\n");
    ASSERT_EQ(world.audioClipCount, 2);
    EXPECT_STREQ(world.audioClips[0].name, "Door");
    EXPECT_STREQ(world.audioClips[1].name, "AudioClip_1");
    read("DEF Bell AudioClip {\n}\n");
    EXPECT_STREQ(world.audioClips[0].name, "AudioClip_0");
}

TEST_F(SoundReaders, ClipUrlsAndFieldsAreReadAsWritten)
{
    read("AudioClip {\nurl [ \"door.wav\" ]\ndescription \"The \\\"door\\\"\"\npitch 2\n"
         "loop TRUE\nstartTime 1.5\n}\nAudioClip {\nurl [ door.wav ]\n}\n");
    ASSERT_EQ(world.audioClipCount, 2);
    const AudioClipRecord& clip = world.audioClips[0];
    EXPECT_STREQ(clip.url, "door.wav");
    EXPECT_STREQ(clip.description, "The \\\"door\\\"");
    EXPECT_FLOAT_EQ(clip.pitch, 2.0f);
    EXPECT_EQ(clip.loop, 1u);
    EXPECT_FLOAT_EQ(clip.startTime, 1.5f);
    EXPECT_STREQ(world.audioClips[1].url, " door.wav ");
    EXPECT_EQ(world.audioClips[1].loop, 0u); // VRML's default
    EXPECT_FLOAT_EQ(world.audioClips[1].pitch, 1.0f);
}

TEST_F(SoundReaders, ASoundKeepsFileUnitsAndOrder)
{
    read("Sound {\nlocation 1 2 3\nminFront 4\n}\n");
    ASSERT_EQ(world.soundCount, 1);
    const SoundRecord& sound = world.sounds[0];
    EXPECT_FLOAT_EQ(sound.location[0], 1.0f);
    EXPECT_FLOAT_EQ(sound.location[2], 3.0f);
    EXPECT_FLOAT_EQ(sound.minFront, 4.0f);
    EXPECT_FLOAT_EQ(sound.minBack, 1.0f);
    EXPECT_FLOAT_EQ(sound.maxFront, 10.0f);
    EXPECT_FLOAT_EQ(sound.intensity, 1.0f);
    EXPECT_FLOAT_EQ(sound.direction[2], 1.0f);
    EXPECT_EQ(sound.spatialize, 1u);
    EXPECT_EQ(sound.clipNumber, 0); // no source: silent
}

TEST_F(SoundReaders, ANestedClipIsAppendedOnceAndPlayed)
{
    read("AudioClip {\n}\nSound {\nsource AudioClip {\nurl \"hum.wav\"\n}\nintensity 0.5\n}\n");
    ASSERT_EQ(world.audioClipCount, 2);
    ASSERT_EQ(world.soundCount, 1);
    EXPECT_EQ(world.sounds[0].clipNumber, 2);
    EXPECT_STREQ(world.audioClips[1].url, "hum.wav");
    EXPECT_FLOAT_EQ(world.sounds[0].intensity, 0.5f);
}

TEST_F(SoundReaders, ASourceUseNamesTheLastClipOfThatName)
{
    read("DEF Door\tAudioClip {\n}\nDEF Door\tAudioClip {\n}\n"
         "Sound {\nsource USE Door\n}\nSound {\nsource USE Nothing\n}\n");
    EXPECT_EQ(world.audioClipCount, 2);
    ASSERT_EQ(world.soundCount, 2);
    EXPECT_STREQ(world.sounds[0].sourceName, "Door");
    EXPECT_EQ(world.sounds[0].clipNumber, 2);
    EXPECT_EQ(world.sounds[1].clipNumber, 0);
}

TEST_F(SoundReaders, ASoundWithoutItsOwnDefTakesItsClipsName)
{
    read("Sound {\nsource DEF Chime\tAudioClip {\n}\n}\nDEF Hum\tSound {\n}\n");
    ASSERT_EQ(world.soundCount, 2);
    EXPECT_STREQ(world.sounds[0].name, "Chime");
    EXPECT_STREQ(world.audioClips[0].name, "Chime");
    EXPECT_STREQ(world.sounds[1].name, "Hum");
}

TEST_F(SoundReaders, AOneLineNodeStillTakesARow)
{
    read("Sound { location 5 5 5 }\nTimeSensor { loop TRUE }\n");
    ASSERT_EQ(world.soundCount, 1);
    EXPECT_FLOAT_EQ(world.sounds[0].location[0], 0.0f);
    EXPECT_STREQ(world.sounds[0].name, "");
    ASSERT_EQ(world.timeSensorCount, 1);
    EXPECT_EQ(world.timeSensors[0].loop, 0u);
}

TEST_F(SoundReaders, TimeSensorsReadTheirFieldsOverDefaults)
{
    read("DEF Clock\tTimeSensor {\ncycleInterval 4\nloop TRUE\n}\nTimeSensor {\n"
         "enabled FALSE\n}\n");
    ASSERT_EQ(world.timeSensorCount, 2);
    EXPECT_STREQ(world.timeSensors[0].name, "Clock");
    EXPECT_FLOAT_EQ(world.timeSensors[0].cycleInterval, 4.0f);
    EXPECT_EQ(world.timeSensors[0].loop, 1u);
    EXPECT_EQ(world.timeSensors[0].enabled, 1u);
    EXPECT_EQ(world.timeSensors[1].enabled, 0u);
    EXPECT_FLOAT_EQ(world.timeSensors[1].cycleInterval, 1.0f);
}
