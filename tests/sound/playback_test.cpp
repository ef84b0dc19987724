// What each emitter plays and when: looping, once or N times, start times, the clip
// formats decoded, and clips that cannot be played.
#include "tests/sound/sound_fixture.h"

#include "tests/support/test_support.h"

#include <sndfile.h>

#include <cmath>

class Playback : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        listener = makeListener();
        ASSERT_NE(listener, nullptr);
    }
    // Straight ahead, inside the default ellipsoids: heard at full intensity.
    void* ahead(const std::string& clip, u32 repeatCount)
    {
        return playingEmitter(clip, {0, 0, -0.5f}, {0, 0, 1}, modelRecord(1, 1, 10, 10, 1),
                              repeatCount);
    }
    static u32 playState(void* emitter)
    {
        u32 state = 99;
        EXPECT_EQ(callSlot<HRESULT>(emitter, 8, &state), S_OK);
        return state;
    }
};

constexpr f64 kAudible = 0.01; // the tones play at 0.5; silence renders as exact zeros
constexpr u32 kPlaying = 2, kFinished = 3, kWaiting = 1;

// A 0.25 s clip: looping, it still sounds after its length; once, it does not; three
// times, it sounds until 0.75 s and then stops.
TEST_F(Playback, RepeatCountLoopsPlaysOnceOrNTimes)
{
    const struct {
        u32 repeatCount;
        f64 listenFrom; // seconds after the start
        bool audible;
        u32 stateAfter;
    } cases[] = {
        {0, 0.5, true, kPlaying}, {1, 0.0, true, kPlaying},   {1, 0.3, false, kFinished},
        {3, 0.6, true, kPlaying}, {3, 0.8, false, kFinished},
    };
    const std::string clip = writeWavTone("quarter.wav", 0.25);
    for (const auto& c : cases) {
        void* emitter = ahead(clip, c.repeatCount);
        ASSERT_NE(emitter, nullptr);
        if (c.listenFrom > 0) skip(c.listenFrom);
        const f64 level = listen(0.1).left;
        if (c.audible)
            EXPECT_GT(level, kAudible) << c.repeatCount << " from " << c.listenFrom;
        else
            EXPECT_LT(level, 1e-6) << c.repeatCount << " from " << c.listenFrom;
        EXPECT_EQ(playState(emitter), c.stateAfter) << c.repeatCount << " from " << c.listenFrom;
        release(emitter);
    }
}

TEST_F(Playback, PlayingAgainRestartsTheClip)
{
    void* emitter = ahead(writeWavTone("again.wav", 0.25), 1);
    ASSERT_NE(emitter, nullptr);
    skip(0.3);
    ASSERT_EQ(playState(emitter), kFinished);
    EXPECT_EQ(callSlot<HRESULT>(emitter, 17, u32{16}, u32{1}, 0.0f), S_OK);
    EXPECT_GT(listen(0.1).left, kAudible);
}

// Start times count from 1970 as VRML's clock does: 0 and the past start at once; a time
// in 2100 waits (and is silent).
TEST_F(Playback, AStartTimeInThePastStartsAtOnceAndOneToComeWaits)
{
    const struct {
        f32 startTime;
        bool audibleAtOnce;
        u32 state;
    } cases[] = {{0.0f, true, kPlaying},
                 {1.0e9f, true, kPlaying}, // September 2001
                 {-5.0f, true, kPlaying},
                 {4.1e9f, false, kWaiting}}; // the year 2099
    const std::string clip = writeWavTone("start.wav", 0.5);
    for (const auto& c : cases) {
        HRESULT result = E_FAIL;
        void* emitter = makeEmitter(clip, 0, &result);
        ASSERT_EQ(result, S_OK) << platformSoundError();
        EXPECT_EQ(callSlot<HRESULT>(emitter, 16, Vector{0, 0, -0.5f}.data()), S_OK);
        EXPECT_EQ(callSlot<HRESULT>(emitter, 17, u32{16}, u32{0}, c.startTime), S_OK);
        const f64 level = listen(0.1).left;
        if (c.audibleAtOnce)
            EXPECT_GT(level, kAudible) << c.startTime;
        else
            EXPECT_LT(level, 1e-6) << c.startTime;
        EXPECT_EQ(playState(emitter), c.state) << c.startTime;
        release(emitter);
    }
}

// Each format the engine promises, written by libsndfile at other rates and channel
// counts than the output's (so resampling and the mix-down to one channel run too).
TEST_F(Playback, DecodesWavAiffFlacOggVorbisAndMp3)
{
    const struct {
        const char* name;
        int format;
        int rate;
        int channels;
    } cases[] = {
        {"tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 2},
        {"tone-float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 1},
        {"tone.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 44100, 1},
        {"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 32000, 2},
        {"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2},
        {"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 1},
    };
    for (const auto& c : cases) {
        ToneClip tone{c.format};
        tone.rate = c.rate;
        tone.channels = c.channels;
        const std::string path = writeTone(c.name, tone);
        if (path.empty() && (c.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG) {
            ADD_FAILURE() << "this libsndfile cannot write MP3, so its reading goes untested";
            continue;
        }
        ASSERT_FALSE(path.empty()) << c.name;
        void* emitter = ahead(path, 0);
        ASSERT_NE(emitter, nullptr) << c.name;
        skip(0.1); // past any encoder's leading silence
        EXPECT_GT(listen(0.1).left, kAudible) << c.name;
        release(emitter);
    }
}

TEST_F(Playback, AClipThatCannotBePlayedFailsWithTheFileAndTheReason)
{
    const std::string folder = testing_support::tempDir();
    const std::string garbage = testing_support::writeTempFile("garbage.wav", "not a sound at all");
    ToneClip empty{SF_FORMAT_WAV | SF_FORMAT_PCM_16};
    empty.seconds = 0.0;
    const std::string silent = writeTone("empty.wav", empty);
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {folder + "missing.wav", folder + "missing.wav: cannot open: No such file or directory"},
        {folder, folder + ": cannot open: Is a directory"},
        {garbage, garbage + ": cannot decode: "},
        {silent, silent + ": holds no sound"},
    };
    for (const auto& c : cases) {
        HRESULT result = S_OK;
        void* emitter = makeEmitter(c.path, 0, &result);
        ASSERT_NE(emitter, nullptr);
        EXPECT_TRUE(FAILED(result)) << c.path;
        const std::string error = platformSoundError();
        EXPECT_EQ(error.substr(0, c.reason.size()), c.reason);
        EXPECT_GT(error.size(), c.path.size() + 2) << "a reason follows the name: " << error;
        // Failed, the emitter is still a well-behaved object: it plays nothing and goes.
        EXPECT_EQ(callSlot<HRESULT>(emitter, 17, u32{16}, u32{0}, 0.0f), E_FAIL);
        EXPECT_EQ(release(emitter), 0u);
    }
}
