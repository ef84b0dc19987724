// sound_engine_tests: the sound engine NPTARNE.DLL falls back on, through its own class
// factory as the plug-in reaches it, playing on DirectSound 3-D where the tests run (Wine,
// whose ALSA default is a null device): the device opens, clips played once, centred or
// repeated finish, a loop goes on, and loopback rendering is refused with a reason.
#include "platform/sound/records.h"
#include "platform/sound/sound.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using soundengine::EmitterDescriptionRecord;
using soundengine::EmitterModelRecord;
using soundengine::EnvironmentRecord;
using soundengine::ListenerDescriptionRecord;

constexpr CLSID kMainClass = {
    0xE78F7620, 0x96CB, 0x11CF, {0xA0, 0x0B, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID kSecondInterface = {
    0xB5B40681, 0x1AC8, 0x11D0, {0x98, 0x5D, 0x00, 0xAA, 0x00, 0x3B, 0x43, 0xAF}};
constexpr CLSID kListenerClass = {
    0x4B2CE922, 0x1C45, 0x11D0, {0x98, 0x5D, 0x00, 0xAA, 0x00, 0x3B, 0x43, 0xAF}};
constexpr IID kListenerInterface = {
    0xE78F7634, 0x96CB, 0x11CF, {0xA0, 0x0B, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr CLSID kEmitterClass = {
    0x4B2CE920, 0x1C45, 0x11D0, {0x98, 0x5D, 0x00, 0xAA, 0x00, 0x3B, 0x43, 0xAF}};
constexpr IID kEmitterInterface = {
    0xE78F762D, 0x96CB, 0x11CF, {0xA0, 0x0B, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// Slots, and the answers of GetPlayState.
enum : int {
    kQueryInterface = 0,
    kRelease = 2,
    kSetEnvironment = 6,
    kMixRate = 5,
    kSetListenerPosition = 7,
    kInitializeListener = 10,
    kPlayState = 8,
    kSetModel = 12,
    kSetEmitterPosition = 16,
    kPlay = 17,
    kInitializeEmitter = 22,
};
enum : u32 { kNotStarted = 0, kPlaying = 2, kFinished = 3 };

template <class... Arguments> HRESULT call(void* object, int slot, Arguments... arguments)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(void*, Arguments...);
    return reinterpret_cast<Method>((*static_cast<void***>(object))[slot])(object, arguments...);
}

void release(void*& object)
{
    if (!object) return;
    using Release = ULONG(STDMETHODCALLTYPE*)(void*);
    reinterpret_cast<Release>((*static_cast<void***>(object))[kRelease])(object);
    object = nullptr;
}

// A 440 Hz tone at half scale, one channel, 22050 frames a second, in the temporary folder.
std::string writeTone(const char* name, double seconds)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << path;
    if (!file) return path;
    std::vector<float> samples(static_cast<std::size_t>(seconds * info.samplerate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5f * static_cast<float>(std::sin(2.0 * 3.14159265 * 440.0 * i / 22050.0));
    sf_write_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return path;
}

class SoundEngine : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(platformCreateSoundObject(kMainClass, IID_IUnknown, &main), S_OK);
        ASSERT_EQ(call(main, kQueryInterface, &kSecondInterface, &second), S_OK);
        EnvironmentRecord environment{16, 0, 1.5f, 0.1f};
        EXPECT_EQ(call(second, kSetEnvironment, &environment), S_OK);
        ASSERT_EQ(platformCreateSoundObject(kListenerClass, kListenerInterface, &listener), S_OK);
        ListenerDescriptionRecord description{16, 0, 0, 0};
        ASSERT_EQ(call(listener, kInitializeListener, &description, main), S_OK)
            << platformSoundError();
        u32 hertz = 0;
        EXPECT_EQ(call(listener, kMixRate, &hertz), S_OK);
        EXPECT_GT(hertz, 0u) << "the device's mix rate";
    }

    void TearDown() override
    {
        for (void*& emitter : emitters) release(emitter);
        release(listener);
        release(second);
        release(main);
    }

    // An initialised emitter of the clip at `path`, at full intensity beside the listener.
    void* emitterOf(const std::string& path, u32 flags = 0)
    {
        void* emitter = nullptr;
        EXPECT_EQ(platformCreateSoundObject(kEmitterClass, kEmitterInterface, &emitter), S_OK);
        if (!emitter) return nullptr;
        emitters.push_back(emitter);
        EmitterDescriptionRecord description{};
        description.size = sizeof description;
        description.flags = flags;
        std::strncpy(description.fileName, path.c_str(), sizeof description.fileName - 1);
        description.lastWord = 50;
        EXPECT_EQ(call(emitter, kInitializeEmitter, &description, main), S_OK)
            << platformSoundError();
        EmitterModelRecord model{24, 1.0f, 1.0f, 10.0f, 10.0f, 1.0f};
        EXPECT_EQ(call(emitter, kSetModel, &model), S_OK);
        const f32 beside[3] = {0.5f, 0.0f, -0.5f};
        EXPECT_EQ(call(emitter, kSetEmitterPosition, beside), S_OK);
        return emitter;
    }

    // The emitter's state once it has left `from`, moving the listener as frames do; gives
    // up after 10 s.
    u32 stateAfter(void* emitter, u32 from)
    {
        u32 state = from;
        const f32 here[3] = {0.0f, 0.0f, 0.0f};
        for (int wait = 0; wait < 500 && state == from; ++wait) {
            Sleep(20);
            call(listener, kSetListenerPosition, here);
            call(emitter, kPlayState, &state);
        }
        return state;
    }

    void* main = nullptr;
    void* second = nullptr;
    void* listener = nullptr;
    std::vector<void*> emitters;
};

TEST_F(SoundEngine, ClipsPlayedOnceOrRepeatedFinish)
{
    const std::string path = writeTone("tarne-once.wav", 0.2);
    struct Case {
        u32 flags;
        u32 repeats;
    };
    const Case cases[] = {{0, 1}, {soundengine::kEmitterNotSpatialized, 1}, {0, 3}};
    for (const Case& c : cases) {
        void* emitter = emitterOf(path, c.flags);
        ASSERT_NE(emitter, nullptr);
        u32 state = 99;
        call(emitter, kPlayState, &state);
        EXPECT_EQ(state, kNotStarted);
        ASSERT_EQ(call(emitter, kPlay, u32{16}, c.repeats, 0.0f), S_OK);
        call(emitter, kPlayState, &state);
        EXPECT_EQ(state, kPlaying) << "flags " << c.flags << ", repeats " << c.repeats;
        EXPECT_EQ(stateAfter(emitter, kPlaying), kFinished)
            << "flags " << c.flags << ", repeats " << c.repeats;
    }
}

TEST_F(SoundEngine, ALoopPlaysOnUntilPlayedOnce)
{
    void* emitter = emitterOf(writeTone("tarne-loop.wav", 0.05));
    ASSERT_NE(emitter, nullptr);
    ASSERT_EQ(call(emitter, kPlay, u32{16}, u32{0}, 0.0f), S_OK);
    Sleep(300); // six times the clip
    u32 state = 0;
    call(emitter, kPlayState, &state);
    EXPECT_EQ(state, kPlaying);
    ASSERT_EQ(call(emitter, kPlay, u32{16}, u32{1}, 0.0f), S_OK);
    EXPECT_EQ(stateAfter(emitter, kPlaying), kFinished);
}

// What the engine's objects do besides playing (states, start times, errors, the
// output's holders) is the same code on every system and is tested on Linux; here only
// what is Windows' own: no loopback rendering.
TEST_F(SoundEngine, LoopbackIsRefusedWithAReason)
{
    EXPECT_FALSE(platformRegisterSoundEngine("loopback"));
    EXPECT_NE(std::strstr(platformSoundError(), "loopback"), nullptr) << platformSoundError();
}

} // namespace
