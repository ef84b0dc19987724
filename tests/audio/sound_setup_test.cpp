// The sound set-up, listener and release, against a recording stand-in of the 3-D audio
// library registered under its class identifiers: which calls, in which order, with
// which records.
#include "audio/records.h"
#include "audio/sound_setup.h"
#include "platform/sound/sound.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Every call the library receives, as "object slot: arguments".
std::vector<std::string> calls;

struct FakeObject {
    void** table;
    const char* kind;
    ULONG references = 1;
};

// How an argument shows in the log: values and the records the library reads in full,
// output pointers (the getters') not at all. A u32 out value shows what it held when
// passed and is then answered with 77, so a value handed on from one call to the next
// can be followed.
struct Shown {
    static std::string of(u32 value) { return std::to_string(value); }
    static std::string of(f32 value) { return std::to_string(value); }
    static std::string of(const char* text) { return text; }
    static std::string of(const f32* v)
    {
        char text[96];
        std::snprintf(text, sizeof text, "(%g %g %g)", v[0], v[1], v[2]);
        return text;
    }
    static std::string of(f32*) { return ""; }
    static std::string of(void*) { return ""; }
    static std::string of(EmitterModelRecord*) { return ""; }
    static std::string of(u32* value)
    {
        const std::string before = std::to_string(*value);
        *value = 77;
        return before;
    }
    template <class... Values> static std::string joined(const Values&... values)
    {
        std::string text;
        for (const std::string& piece : {of(values)...})
            if (!piece.empty()) text += (text.empty() ? "" : " ") + piece;
        return text;
    }
    static std::string of(const EnvironmentRecord* r)
    {
        return joined(r->size, r->flags, r->first, r->second);
    }
    static std::string of(const ListenerDescriptionRecord* r) { return joined(r->size, r->window); }
    static std::string of(const EmitterDescriptionRecord* r)
    {
        return joined(r->size, r->flags, static_cast<const char*>(r->fileName), r->lastWord);
    }
    static std::string of(const EmitterModelRecord* r)
    {
        return joined(r->size, r->minBack, r->minFront, r->maxBack, r->maxFront, r->intensity);
    }
};

void log(void* self, int slot, const std::string& arguments = "")
{
    calls.push_back(std::string(static_cast<FakeObject*>(self)->kind) + " " + std::to_string(slot) +
                    (arguments.empty() ? "" : ": " + arguments));
}

// Every slot the set-up calls: logs its number and arguments and answers S_OK. The
// argument types are the slot's own, so values arrive where the caller put them.
template <int Slot, class... Arguments>
HRESULT STDMETHODCALLTYPE logged(void* self, Arguments... arguments)
{
    log(self, Slot, Shown::joined(arguments...));
    return S_OK;
}
template <int Slot, class... Arguments> std::pair<int, void*> slot()
{
    return {Slot, reinterpret_cast<void*>(&logged<Slot, Arguments...>)};
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

void** table(std::initializer_list<std::pair<int, void*>> slots)
{
    static std::vector<std::vector<void*>> tables;
    auto& entries = tables.emplace_back(23, nullptr);
    entries[0] = reinterpret_cast<void*>(&queryInterface);
    entries[1] = reinterpret_cast<void*>(&addRef);
    entries[2] = reinterpret_cast<void*>(&release);
    for (const auto& [number, function] : slots)
        entries[static_cast<std::size_t>(number)] = function;
    return entries.data();
}

HRESULT STDMETHODCALLTYPE queryInterface(void* self, REFIID, void** out)
{
    log(self, 0);
    static void** second = table({slot<6, const EnvironmentRecord*>()});
    *out = new FakeObject{second, "second"};
    return S_OK;
}

// The three classes' factories: each logs its creation and makes an object of its slots.
HRESULT make(void** out, void** entries, const char* kind)
{
    calls.push_back(std::string("create ") + kind);
    *out = new FakeObject{entries, kind};
    return S_OK;
}
HRESULT makeMain(REFIID, void** out)
{
    static void** entries = table({});
    return make(out, entries, "main");
}
HRESULT makeListener(REFIID, void** out)
{
    static void** entries = table({slot<3, f32*, f32*>(), slot<4, f32*>(), slot<5, u32*>(),
                                   slot<6, const f32*, const f32*>(), slot<7, const f32*>(),
                                   slot<10, const ListenerDescriptionRecord*, void*>()});
    return make(out, entries, "listener");
}
HRESULT makeEmitter(REFIID, void** out)
{
    static void** entries = table(
        {slot<4, EmitterModelRecord*>(), slot<6, f32*>(), slot<8, u32*>(), slot<9, f32*>(),
         slot<12, const EmitterModelRecord*>(), slot<14, const f32*>(), slot<16, const f32*>(),
         slot<17, u32, u32, f32>(), slot<22, const EmitterDescriptionRecord*, void*>()});
    return make(out, entries, "emitter");
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
    // A fresh row at the end of a table the test grows one row at a time.
    template <class Row> static Row& appendRow(Row*& rows, i16& count)
    {
        rows = static_cast<Row*>(
            std::realloc(rows, sizeof(Row) * static_cast<std::size_t>(count + 1)));
        return rows[count++] = Row{};
    }
    // A Sound row playing clip `clip` (1-based; 0 none) at (1, 2, 3).
    void addSound(i32 clip, u32 spatialize = 1)
    {
        SoundRecord& sound = appendRow(world.sounds, world.soundCount);
        sound.clipNumber = clip;
        sound.location[0] = 1, sound.location[1] = 2, sound.location[2] = 3;
        sound.direction[2] = 1;
        sound.minBack = 1, sound.minFront = 2, sound.maxBack = 10, sound.maxFront = 20;
        sound.intensity = 0.5f;
        sound.spatialize = spatialize;
    }
    void addClip(const char* url, u32 loop)
    {
        AudioClipRecord& clip = appendRow(world.audioClips, world.audioClipCount);
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
        "listener 5: 0",               // the mix value, answered 77, is handed to each emitter (8)
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
        "emitter 9",
        "emitter 6",
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

// With the library's classes gone but the built-in engine on, the engine's own factory
// makes the objects: no "Please run RSX Setup", only the clip's own complaint.
TEST_F(SoundSetup, AnUnregisteredLibraryFallsBackOnTheBuiltInEngineWhenItIsOn)
{
    addClip("missing.wav", 1);
    addSound(1);
    ASSERT_TRUE(platformRegisterSoundEngine("loopback"));
    UnregisterInprocClass(guid("{E78F7620-96CB-11CF-A00B-444553540000}"));
    UnregisterInprocClass(guid("{4B2CE922-1C45-11D0-985D-00AA003B43AF}"));
    UnregisterInprocClass(guid("{4B2CE920-1C45-11D0-985D-00AA003B43AF}"));
    platformClearMessageBoxes();
    setUpSounds(sounds, world, render, nullptr);
    EXPECT_TRUE(calls.empty());
    EXPECT_NE(sounds.mainObject, nullptr);
    EXPECT_NE(sounds.listener, nullptr);
    ASSERT_EQ(platformMessageBoxCount(), 1u);
    EXPECT_STREQ(platformMessageBoxText(0), "missing.wav: sound clip not played: not found");
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
