// The sound set-up, listener and release, against a recording stand-in of the 3-D audio
// library registered under its class identifiers: which calls, in which order, with
// which records.
#include "audio/records.h"
#include "audio/sound_setup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Every call the library receives, as "object slot: arguments".
std::vector<std::string> calls;
bool refuseEmitterInit = false;

struct FakeObject {
    void** table;
    const char* kind;
    ULONG references = 1;
};

void log(void* self, int slot, const std::string& arguments = "")
{
    calls.push_back(std::string(static_cast<FakeObject*>(self)->kind) + " " + std::to_string(slot) +
                    (arguments.empty() ? "" : ": " + arguments));
}

std::string vector3(const f32* v)
{
    char text[96];
    std::snprintf(text, sizeof text, "(%g %g %g)", v[0], v[1], v[2]);
    return text;
}

HRESULT STDMETHODCALLTYPE queryInterface(void* self, REFIID, void** out);
ULONG STDMETHODCALLTYPE addRef(void* self)
{
    return ++static_cast<FakeObject*>(self)->references;
}
ULONG STDMETHODCALLTYPE release(void* self)
{
    log(self, 2);
    auto* object = static_cast<FakeObject*>(self);
    const ULONG left = --object->references;
    if (left == 0) delete object;
    return left;
}
HRESULT STDMETHODCALLTYPE setEnvironment(void* self, const EnvironmentRecord* record)
{
    log(self, 6,
        std::to_string(record->size) + " " + std::to_string(record->flags) + " " +
            std::to_string(record->first) + " " + std::to_string(record->second));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE listenerPair(void* self, f32*, f32*)
{
    log(self, 3);
    return S_OK;
}
HRESULT STDMETHODCALLTYPE listenerGet(void* self, f32*)
{
    log(self, 4);
    return S_OK;
}
HRESULT STDMETHODCALLTYPE listenerValue(void* self, u32* value)
{
    *value = 77;
    log(self, 5);
    return S_OK;
}
HRESULT STDMETHODCALLTYPE listenerOrientation(void* self, const f32* front, const f32* up)
{
    log(self, 6, vector3(front) + " " + vector3(up));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE listenerPosition(void* self, const f32* position)
{
    log(self, 7, vector3(position));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE listenerInit(void* self, const ListenerDescriptionRecord* record, void*)
{
    log(self, 10, std::to_string(record->size) + " " + std::to_string(record->window));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE emitterModelGet(void* self, EmitterModelRecord*)
{
    log(self, 4);
    return S_OK;
}
HRESULT STDMETHODCALLTYPE emitterVector(void* self, f32*)
{
    log(self, 0); // slots 6 and 9 look alike here; the order tells them apart
    return S_OK;
}
HRESULT STDMETHODCALLTYPE emitterState(void* self, u32* value)
{
    log(self, 8, std::to_string(*value));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE emitterModel(void* self, const EmitterModelRecord* model)
{
    log(self, 12,
        std::to_string(model->size) + " " + std::to_string(model->minBack) + " " +
            std::to_string(model->minFront) + " " + std::to_string(model->maxBack) + " " +
            std::to_string(model->maxFront) + " " + std::to_string(model->intensity));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE emitterOrientation(void* self, const f32* v)
{
    log(self, 14, vector3(v));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE emitterPosition(void* self, const f32* v)
{
    log(self, 16, vector3(v));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE emitterPlay(void* self, u32 mode, u32 repeats, f32 start)
{
    log(self, 17,
        std::to_string(mode) + " " + std::to_string(repeats) + " " + std::to_string(start));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE emitterInit(void* self, const EmitterDescriptionRecord* record, void*)
{
    log(self, 22,
        std::to_string(record->size) + " " + std::to_string(record->flags) + " " +
            record->fileName + " " + std::to_string(record->lastWord));
    return refuseEmitterInit ? E_FAIL : S_OK;
}

void* table(std::initializer_list<std::pair<int, void*>> slots)
{
    static std::vector<std::vector<void*>> tables;
    auto& entries = tables.emplace_back(23, nullptr);
    entries[0] = reinterpret_cast<void*>(&queryInterface);
    entries[1] = reinterpret_cast<void*>(&addRef);
    entries[2] = reinterpret_cast<void*>(&release);
    for (const auto& [slot, function] : slots) entries[static_cast<std::size_t>(slot)] = function;
    return entries.data();
}

template <class F> void* fn(F function)
{
    return reinterpret_cast<void*>(function);
}

void** mainTable()
{
    static void* entries = table({});
    return static_cast<void**>(entries);
}
void** secondTable()
{
    static void* entries = table({{6, fn(&setEnvironment)}});
    return static_cast<void**>(entries);
}

HRESULT STDMETHODCALLTYPE queryInterface(void* self, REFIID, void** out)
{
    log(self, 0);
    *out = new FakeObject{secondTable(), "second"};
    return S_OK;
}

template <const char* Kind> HRESULT make(REFIID, void** out, void** entries)
{
    *out = new FakeObject{entries, Kind};
    return S_OK;
}
constexpr char kMain[] = "main", kListener[] = "listener", kEmitter[] = "emitter";
HRESULT makeMain(REFIID iid, void** out)
{
    calls.push_back("create main");
    return make<kMain>(iid, out, mainTable());
}
HRESULT makeListener(REFIID iid, void** out)
{
    static void* entries = table({{3, fn(&listenerPair)},
                                  {4, fn(&listenerGet)},
                                  {5, fn(&listenerValue)},
                                  {6, fn(&listenerOrientation)},
                                  {7, fn(&listenerPosition)},
                                  {10, fn(&listenerInit)}});
    calls.push_back("create listener");
    return make<kListener>(iid, out, static_cast<void**>(entries));
}
HRESULT makeEmitter(REFIID iid, void** out)
{
    static void* entries = table({{4, fn(&emitterModelGet)},
                                  {6, fn(&emitterVector)},
                                  {8, fn(&emitterState)},
                                  {9, fn(&emitterVector)},
                                  {12, fn(&emitterModel)},
                                  {14, fn(&emitterOrientation)},
                                  {16, fn(&emitterPosition)},
                                  {17, fn(&emitterPlay)},
                                  {22, fn(&emitterInit)}});
    calls.push_back("create emitter");
    return make<kEmitter>(iid, out, static_cast<void**>(entries));
}

GUID guid(const char* text)
{
    GUID id{};
    GuidFromString(text, &id);
    return id;
}

class SoundSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        platformReset();
        calls.clear();
        refuseEmitterInit = false;
        ASSERT_TRUE(initWorldTables(world));
        CoInitialize(nullptr);
        RegisterInprocClass(guid("{E78F7620-96CB-11CF-A00B-444553540000}"), makeMain);
        RegisterInprocClass(guid("{4B2CE922-1C45-11D0-985D-00AA003B43AF}"), makeListener);
        RegisterInprocClass(guid("{4B2CE920-1C45-11D0-985D-00AA003B43AF}"), makeEmitter);
    }
    void TearDown() override
    {
        releaseSounds(sounds);
        freeWorldTables(world);
        platformReset();
    }
    // A Sound row playing clip `clip` (1-based; 0 none) at (1, 2, 3).
    void addSound(i32 clip, u32 spatialize = 1)
    {
        world.sounds = static_cast<SoundRecord*>(std::realloc(
            world.sounds, sizeof(SoundRecord) * static_cast<std::size_t>(world.soundCount + 1)));
        SoundRecord& sound = world.sounds[world.soundCount++];
        sound = SoundRecord{};
        sound.clipNumber = clip;
        sound.location[0] = 1, sound.location[1] = 2, sound.location[2] = 3;
        sound.direction[2] = 1;
        sound.minBack = 1, sound.minFront = 2, sound.maxBack = 10, sound.maxFront = 20;
        sound.intensity = 0.5f;
        sound.spatialize = spatialize;
    }
    void addClip(const char* url, u32 loop)
    {
        world.audioClips = static_cast<AudioClipRecord*>(
            std::realloc(world.audioClips, sizeof(AudioClipRecord) *
                                               static_cast<std::size_t>(world.audioClipCount + 1)));
        AudioClipRecord& clip = world.audioClips[world.audioClipCount++];
        clip = AudioClipRecord{};
        std::snprintf(clip.url, sizeof clip.url, "%s", url);
        clip.loop = loop;
    }
    bool called(const std::string& text) const
    {
        for (const std::string& call : calls)
            if (call == text) return true;
        return false;
    }

    World world;
    RenderState render;
    SoundObjects sounds;
};

} // namespace

TEST_F(SoundSetup, AWorldWithoutSoundsNeverCallsTheLibrary)
{
    setUpSounds(sounds, world, render, nullptr);
    moveListener(sounds, world, render);
    releaseSounds(sounds);
    EXPECT_TRUE(calls.empty());
}

TEST_F(SoundSetup, CallsGoInOrderWithTheRecordsByteForByte)
{
    addClip("/D|/media/bird.wav", 1);
    addSound(1);
    world.camera.eyePoint[0] = 50000, world.camera.eyePoint[1] = 5000,
    world.camera.eyePoint[2] = 10000;
    world.camera.targetPoint[0] = 60000, world.camera.targetPoint[1] = 5000,
    world.camera.targetPoint[2] = 10000;
    setUpSounds(sounds, world, render, nullptr);
    const std::vector<std::string> expected = {
        "create main",
        "main 0",
        "second 6: 16 0 1.500000 0.100000",
        "create listener",
        "listener 10: 16 0",
        "listener 5",
        "listener 7: (1 2 10)",        // the eye in file order and units
        "listener 6: (0 0 1) (0 1 0)", // front along the view, up the view's up row
        "listener 4",
        "listener 3",
        "create emitter",
        "emitter 22: 280 0 D:\\media\\bird.wav 50",
        "emitter 12: 24 1.000000 2.000000 10.000000 20.000000 0.500000", // max distances at 12, 16
        "emitter 16: (1 2 3)",
        "emitter 14: (0 0 1)",
        "emitter 17: 16 0 0.000000", // loop TRUE: repeat without end
        "emitter 0",
        "emitter 0",
        "emitter 8: 77",
        "emitter 4",
    };
    EXPECT_EQ(calls, expected);
    calls.clear();
    releaseSounds(sounds);
    EXPECT_EQ(calls, (std::vector<std::string>{"listener 2", "emitter 2", "second 2", "main 2"}));
}

TEST_F(SoundSetup, ClipsPlayOnceOrForeverAndNamesKeepTheirPath)
{
    EXPECT_EQ(clipFileName("/D|/media/bird.wav"), "D:\\media\\bird.wav");
    EXPECT_EQ(clipFileName("/E|/snd/a.wav"), "E:\\snd\\a.wav");
    EXPECT_EQ(clipFileName("bird.wav"), "bird.wav");
    addClip("/C|/once.wav", 0);
    addSound(1, 0);
    setUpSounds(sounds, world, render, nullptr);
    EXPECT_TRUE(called("emitter 17: 16 1 0.000000")) << "loop FALSE plays once";
    EXPECT_TRUE(called("emitter 22: 280 1 C:\\once.wav 50")) << "spatialize FALSE: flags 1";
}

TEST_F(SoundSetup, AnUnregisteredLibraryShowsOneMessageAndIsNotCalledAgain)
{
    addClip("/D|/a.wav", 1);
    addSound(1);
    UnregisterInprocClass(guid("{E78F7620-96CB-11CF-A00B-444553540000}"));
    platformClearMessageBoxes();
    setUpSounds(sounds, world, render, nullptr);
    moveListener(sounds, world, render);
    releaseSounds(sounds);
    EXPECT_TRUE(calls.empty());
    ASSERT_EQ(platformMessageBoxCount(), 1u);
    EXPECT_STREQ(platformMessageBoxText(0),
                 "Failed to Create RSX Object.\nCoCreateInstanceFailed - Please run RSX Setup\n");
}

TEST_F(SoundSetup, TheListenerStaysUprightAndFacesAlongTheViewWhenEyeIsOnTarget)
{
    addClip("/D|/a.wav", 1);
    addSound(1);
    // The last frame looked up at 45 degrees: its rows, in internal order (z, x, y).
    const f32 r = 0.70710678f;
    render.forward[0] = r, render.forward[1] = 0, render.forward[2] = r;
    render.up[0] = -r, render.up[1] = 0, render.up[2] = r;
    world.camera.targetPoint[0] = 0; // eye and target both at the origin
    setUpSounds(sounds, world, render, nullptr);
    EXPECT_TRUE(called("listener 6: (0 0.707107 0.707107) (0 0.707107 -0.707107)"));
}

TEST_F(SoundSetup, ASecondWorldReleasesTheFirstsObjectsAndOddRowsStaySilent)
{
    addClip("/D|/a.wav", 1);
    for (int row = 0; row < 1200; ++row)
        addSound(row == 5 ? 0 : row == 6 ? 9 : 1); // more than 1000
    setUpSounds(sounds, world, render, nullptr);
    EXPECT_EQ(sounds.emitters.size(), 1200u);
    std::size_t initialised = 0;
    for (const std::string& call : calls) initialised += call.rfind("emitter 22", 0) == 0;
    EXPECT_EQ(initialised, 1198u); // clip 0 and clip 9 name no clip of the world
    calls.clear();
    world.soundCount = 1;
    setUpSounds(sounds, world, render, nullptr);
    EXPECT_EQ(calls.front(), "listener 2"); // the first world's objects go first
    EXPECT_EQ(sounds.emitters.size(), 1u);
}
