// tests/sound/sound_fixture.h - what the sound engine's tests share: the engine registered
// for loopback on a clean platform, its objects made and called as the plug-in does (by
// slot number, records built byte by byte at their offsets), tone clips written into the
// temporary folder, and the loudness of what the loopback output renders.
#pragma once

#include "base/types.h"
#include "platform/sound/sound.h"
#include "platform/windows.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

// The library's identifiers, parsed from their registry text.
GUID guidOf(const char* text);
extern const char* const kUnknownInterface; // IUnknown
extern const char* const kMainClass;
extern const char* const kSecondInterface;
extern const char* const kListenerClass;
extern const char* const kListenerInterface;
extern const char* const kEmitterClass;
extern const char* const kEmitterInterface;

// Calls slot `slot` of the object's table with the object first, as the plug-in does.
// The argument types must be the slot's own (u32, f32, pointers).
template <class Result, class... Arguments>
Result callSlot(void* object, int slot, Arguments... arguments)
{
    using Function = Result(STDMETHODCALLTYPE*)(void*, Arguments...);
    const char* table = nullptr;
    std::memcpy(&table, object, sizeof table);
    Function function = nullptr;
    std::memcpy(&function, table + static_cast<std::size_t>(slot) * sizeof(void*), sizeof function);
    return function(object, arguments...);
}
inline ULONG addRef(void* object)
{
    return callSlot<ULONG>(object, 1);
}
inline ULONG release(void* object)
{
    return callSlot<ULONG>(object, 2);
}

// The records, byte for byte.
using ModelBytes = std::array<u8, 24>;
using DescriptionBytes = std::array<u8, 280>;
ModelBytes modelRecord(f32 minBack, f32 minFront, f32 maxBack, f32 maxFront, f32 intensity);

// A sine tone of `seconds` written with libsndfile as `format` (SF_FORMAT_* major | minor)
// into the temporary folder; its full path, or "" when libsndfile cannot write it.
struct ToneClip {
    int format;
    int rate = 44100;
    int channels = 1;
    f64 seconds = 0.5;
    f64 hertz = 441.0; // a whole number of periods in every 0.1 s
    f64 amplitude = 0.5;
};
std::string writeTone(const std::string& name, const ToneClip& tone);
std::string writeWavTone(const std::string& name, f64 seconds);

// Root-mean-square level of each channel of rendered sound, full scale 1.
struct ChannelLevels {
    f64 left;
    f64 right;
};
f64 decibels(f64 level, f64 reference);

struct Vector {
    f32 x, y, z;
    const f32* data() const { return &x; }
};

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // CoCreateInstance of the class for the interface, both given as registry text.
    static HRESULT create(const char* classId, const char* interfaceId, void** object);
    // The main object, asked for IUnknown.
    void* makeMain();
    // A listener initialised with the main object (made on first need), at the origin,
    // looking down -z with y up. Null (after a failed expectation) when it fails.
    void* makeListener();
    // An emitter initialised on `fileName` with these flags; its status in `result`.
    void* makeEmitter(const std::string& fileName, u32 flags, HRESULT* result);
    // makeEmitter, expected to succeed, then placed, modelled and started at once.
    void* playingEmitter(const std::string& fileName, Vector location, Vector direction,
                         const ModelBytes& model, u32 repeatCount = 0, u32 flags = 0);
    // Renders `seconds` of sound and measures them.
    ChannelLevels listen(f64 seconds);
    // Renders `seconds` of sound and throws it away (gain ramps, time passing).
    void skip(f64 seconds);
    void moveListener(Vector position);

    // Every object still alive at TearDown is freed by platformReset.
    void* main = nullptr;
    void* listener = nullptr;
};
